#include "raster/transformation.h"

namespace vesk::raster {

namespace {

// x / 65536 as a single: the quotient is exact in extended precision and
// rounds once.
float FixedToSingle(TFixed x) noexcept { return static_cast<float>(x / 65536.0L); }

}  // namespace

void TTransformation::Changed() {
  TransformValid_ = false;
  TNotifiablePersistent::Changed();
}

void TTransformation::SetSrcRect(const TFloatRect& r) {
  SrcRect_ = r;
  Changed();
}

TPoint TTransformation::ReverseTransformInt(std::int32_t x, std::int32_t y) {
  const TFixedPoint p = ReverseTransformFixed(IntToFixed(x), IntToFixed(y));
  return TPoint{FixedRound(p.X), FixedRound(p.Y)};
}

TFixedPoint TTransformation::ReverseTransformFixed(TFixed x, TFixed y) {
  const TFloatPoint p = ReverseTransformFloat(FixedToSingle(x), FixedToSingle(y));
  return TFixedPoint{FloatToFixed(p.X), FloatToFixed(p.Y)};
}

TFloatPoint TTransformation::ReverseTransformFloat(float, float) {
  throw ETransformNotImplemented("Reverse transformation is not implemented in " + ClassName() +
                                 ".");
}

TPoint TTransformation::TransformInt(std::int32_t x, std::int32_t y) {
  const TFixedPoint p = TransformFixed(IntToFixed(x), IntToFixed(y));
  return TPoint{FixedRound(p.X), FixedRound(p.Y)};
}

TFixedPoint TTransformation::TransformFixed(TFixed x, TFixed y) {
  const TFloatPoint p = TransformFloat(FixedToSingle(x), FixedToSingle(y));
  return TFixedPoint{FloatToFixed(p.X), FloatToFixed(p.Y)};
}

TFloatPoint TTransformation::TransformFloat(float, float) {
  throw ETransformNotImplemented("Forward transformation is not implemented in " + ClassName() +
                                 ".");
}

TRect TTransformation::GetTransformedBounds(const TFloatRect& r) {
  return TRect{RoundHalfEven(r.Left), RoundHalfEven(r.Top), RoundHalfEven(r.Right),
               RoundHalfEven(r.Bottom)};
}

TPoint TTransformation::ReverseTransform(const TPoint& p) {
  if (!TransformValid_) PrepareTransform();
  return ReverseTransformInt(p.X, p.Y);
}

TFixedPoint TTransformation::ReverseTransform(const TFixedPoint& p) {
  if (!TransformValid_) PrepareTransform();
  return ReverseTransformFixed(p.X, p.Y);
}

TFloatPoint TTransformation::ReverseTransform(const TFloatPoint& p) {
  if (!TransformValid_) PrepareTransform();
  return ReverseTransformFloat(p.X, p.Y);
}

TPoint TTransformation::Transform(const TPoint& p) {
  if (!TransformValid_) PrepareTransform();
  return TransformInt(p.X, p.Y);
}

TFixedPoint TTransformation::Transform(const TFixedPoint& p) {
  if (!TransformValid_) PrepareTransform();
  return TransformFixed(p.X, p.Y);
}

TFloatPoint TTransformation::Transform(const TFloatPoint& p) {
  if (!TransformValid_) PrepareTransform();
  return TransformFloat(p.X, p.Y);
}

}  // namespace vesk::raster
