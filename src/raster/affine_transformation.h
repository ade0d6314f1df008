#pragma once
// TAffineTransformation: a 3 x 3 single-precision matrix built from
// translate, rotate and scale steps, with its inverse and 16.16 fixed-point
// copies of both for per-pixel reverse mapping (two FixedMul and two
// additions per coordinate, no floating point).
//
// Every building step makes an elementary matrix T and replaces Matrix by
// Mult(T, Matrix), so a step applies after all earlier ones: Clear, then
// Translate, then Rotate moves a point first and turns it second.
#include "raster/float_matrix.h"
#include "raster/transformation.h"

namespace vesk::raster {

class TAffineTransformation : public TTransformation {
 public:
  // The matrix starts as the identity (through Clear).
  TAffineTransformation();
  ~TAffineTransformation() override = default;

  [[nodiscard]] std::string ClassName() const override { return "TAffineTransformation"; }

  // Inverse := Invert(Matrix); both are converted entry by entry with
  // FloatToFixed; TransformValid := true.
  void PrepareTransform() override;

  // Through the inverse fixed matrix; sums wrap in 32-bit two's complement.
  [[nodiscard]] TFixedPoint ReverseTransformFixed(TFixed x, TFixed y) override;
  // Through the inverse matrix; each coordinate in extended precision,
  // rounded to single.
  [[nodiscard]] TFloatPoint ReverseTransformFloat(float x, float y) override;
  // Through the fixed matrix.
  [[nodiscard]] TFixedPoint TransformFixed(TFixed x, TFixed y) override;
  // Through Matrix.
  [[nodiscard]] TFloatPoint TransformFloat(float x, float y) override;

  // The four corners of r mapped forward with Matrix (no preparation
  // needed), then Left/Top := Round(min - 0.5), Right/Bottom :=
  // Round(max + 0.5), halves to even.
  [[nodiscard]] TRect GetTransformedBounds(const TFloatRect& r) override;
  using TTransformation::GetTransformedBounds;

  // Matrix := identity; Changed.
  void Clear();
  // Moves by (dx, dy); Changed.
  void Translate(float dx, float dy);
  // Scales x by sx and y by sy about the origin; Changed.
  void Scale(float sx, float sy);
  // Turns by alpha degrees about (cx, cy). With y growing downwards a
  // positive angle turns counter-clockwise on screen: alpha = 90 maps (1, 0)
  // to (0, -1). A centre other than (0, 0) is applied by Translate(-cx, -cy)
  // before and Translate(cx, cy) after the turn. The angle in radians and its
  // sine and cosine are each rounded to single.
  void Rotate(float cx, float cy, float alpha);

  [[nodiscard]] const TFloatMatrix& InverseMatrix() const noexcept { return InverseMatrix_; }
  [[nodiscard]] const TFixedMatrix& FixedMatrix() const noexcept { return FixedMatrix_; }
  [[nodiscard]] const TFixedMatrix& InverseFixedMatrix() const noexcept {
    return InverseFixedMatrix_;
  }

 private:
  void Apply(const TFloatMatrix& t) noexcept { Matrix = Mult(t, Matrix); }

  TFloatMatrix InverseMatrix_ = IdentityMatrix;
  TFixedMatrix FixedMatrix_{};
  TFixedMatrix InverseFixedMatrix_{};

 public:
  // The forward transformation. Writing it directly does not call Changed:
  // call Changed afterwards so the derived data is rebuilt.
  TFloatMatrix Matrix = IdentityMatrix;
};

}  // namespace vesk::raster
