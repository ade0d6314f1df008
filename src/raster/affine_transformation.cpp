#include "raster/affine_transformation.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>

namespace vesk::raster {

namespace {

using Ext = long double;

// x*m[0][0] + y*m[1][0] + m[2][0] (and the same for y') in extended
// precision, each coordinate rounded to single.
TFloatPoint MapFloat(const TFloatMatrix& m, float x, float y) noexcept {
  return TFloatPoint{static_cast<float>(Ext{x} * m[0][0] + Ext{y} * m[1][0] + m[2][0]),
                     static_cast<float>(Ext{x} * m[0][1] + Ext{y} * m[1][1] + m[2][1])};
}

// FixedMul(x, f[0][0]) + FixedMul(y, f[1][0]) + f[2][0] with 32-bit
// wrap-around sums (done in unsigned arithmetic, where wrapping is defined).
TFixed MapFixedCoord(TFixed x, TFixed y, TFixed fx, TFixed fy, TFixed f0) noexcept {
  const std::uint32_t sum = static_cast<std::uint32_t>(FixedMul(x, fx)) +
                            static_cast<std::uint32_t>(FixedMul(y, fy)) +
                            static_cast<std::uint32_t>(f0);
  return static_cast<TFixed>(sum);
}

TFixedPoint MapFixed(const TFixedMatrix& f, TFixed x, TFixed y) noexcept {
  return TFixedPoint{MapFixedCoord(x, y, f[0][0], f[1][0], f[2][0]),
                     MapFixedCoord(x, y, f[0][1], f[1][1], f[2][1])};
}

}  // namespace

TAffineTransformation::TAffineTransformation() { Clear(); }

void TAffineTransformation::PrepareTransform() {
  InverseMatrix_ = Invert(Matrix);
  InverseFixedMatrix_ = ToFixedMatrix(InverseMatrix_);
  FixedMatrix_ = ToFixedMatrix(Matrix);
  TransformValid_ = true;
}

TFixedPoint TAffineTransformation::ReverseTransformFixed(TFixed x, TFixed y) {
  return MapFixed(InverseFixedMatrix_, x, y);
}

TFloatPoint TAffineTransformation::ReverseTransformFloat(float x, float y) {
  return MapFloat(InverseMatrix_, x, y);
}

TFixedPoint TAffineTransformation::TransformFixed(TFixed x, TFixed y) {
  return MapFixed(FixedMatrix_, x, y);
}

TFloatPoint TAffineTransformation::TransformFloat(float x, float y) {
  return MapFloat(Matrix, x, y);
}

TRect TAffineTransformation::GetTransformedBounds(const TFloatRect& r) {
  const TFloatPoint c[4] = {MapFloat(Matrix, r.Left, r.Top), MapFloat(Matrix, r.Right, r.Top),
                            MapFloat(Matrix, r.Left, r.Bottom),
                            MapFloat(Matrix, r.Right, r.Bottom)};
  float min_x = c[0].X, max_x = c[0].X, min_y = c[0].Y, max_y = c[0].Y;
  for (const TFloatPoint& p : c) {
    min_x = std::min(min_x, p.X);
    max_x = std::max(max_x, p.X);
    min_y = std::min(min_y, p.Y);
    max_y = std::max(max_y, p.Y);
  }
  // A single plus or minus 0.5 is exact in extended precision.
  return TRect{RoundHalfEven(Ext{min_x} - 0.5L), RoundHalfEven(Ext{min_y} - 0.5L),
               RoundHalfEven(Ext{max_x} + 0.5L), RoundHalfEven(Ext{max_y} + 0.5L)};
}

void TAffineTransformation::Clear() {
  Matrix = IdentityMatrix;
  Changed();
}

void TAffineTransformation::Translate(float dx, float dy) {
  TFloatMatrix t = IdentityMatrix;
  t[2][0] = dx;
  t[2][1] = dy;
  Apply(t);
  Changed();
}

void TAffineTransformation::Scale(float sx, float sy) {
  TFloatMatrix t = IdentityMatrix;
  t[0][0] = sx;
  t[1][1] = sy;
  Apply(t);
  Changed();
}

void TAffineTransformation::Rotate(float cx, float cy, float alpha) {
  const bool centred = cx != 0.0f || cy != 0.0f;
  if (centred) Translate(-cx, -cy);
  // Degrees to radians: alpha * pi, then / 180, in extended precision.
  const float a = static_cast<float>(Ext{alpha} * std::numbers::pi_v<Ext> / 180.0L);
  const float sa = static_cast<float>(std::sin(Ext{a}));
  const float ca = static_cast<float>(std::cos(Ext{a}));
  TFloatMatrix t = IdentityMatrix;
  t[0][0] = ca;
  t[1][0] = sa;
  t[0][1] = -sa;
  t[1][1] = ca;
  Apply(t);
  if (centred) Translate(cx, cy);
  Changed();
}

}  // namespace vesk::raster
