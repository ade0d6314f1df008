#pragma once
// TRotLayer: an affine layer that turns its bitmap about a pivot. Before
// every paint the transformation is rebuilt from the identity as
//   p' = shift + scale * (Position + R(Angle) * (p - BitmapCenter)),
// so the pivot BitmapCenter lands on Position; scale and shift are the image
// viewport's, and only when Scaled. A positive Angle (degrees) turns
// counter-clockwise on screen, a negative one clockwise.
#include "raster/custom_affine_layer.h"

namespace vesk::raster {

class TRotLayer : public TCustomAffineLayer {
 public:
  using TCustomAffineLayer::TCustomAffineLayer;

  // Every setter stores the value and calls Changed, also when the value is
  // unchanged.
  [[nodiscard]] float Angle() const noexcept { return angle_; }
  void SetAngle(float value);
  void SetBitmapCenter(const TFloatPoint& value);
  void SetBitmapCenterX(float value);
  void SetBitmapCenterY(float value);
  [[nodiscard]] const TFloatPoint& Position() const noexcept { return position_; }
  void SetPosition(const TFloatPoint& value);
  void SetPositionX(float value);
  void SetPositionY(float value);
  [[nodiscard]] bool Scaled() const noexcept { return scaled_; }
  void SetScaled(bool value);

  // Clear; Translate(-BitmapCenter); Rotate(0, 0, Angle); Translate(Position);
  // then, when Scaled and in a collection, Scale by the viewport scale and
  // Translate by the viewport shift.
  void AdjustTransformation() override;

 private:
  TFloatPoint position_{};
  bool scaled_ = false;
  float angle_ = 0.0f;
};

}  // namespace vesk::raster
