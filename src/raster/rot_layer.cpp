#include "raster/rot_layer.h"

#include "raster/layer_collection.h"

namespace vesk::raster {

void TRotLayer::SetAngle(float value) {
  angle_ = value;
  Changed();
}

void TRotLayer::SetBitmapCenter(const TFloatPoint& value) {
  bitmap_center_ = value;
  Changed();
}

void TRotLayer::SetBitmapCenterX(float value) { SetBitmapCenter(TFloatPoint{value, bitmap_center_.Y}); }

void TRotLayer::SetBitmapCenterY(float value) { SetBitmapCenter(TFloatPoint{bitmap_center_.X, value}); }

void TRotLayer::SetPosition(const TFloatPoint& value) {
  position_ = value;
  Changed();
}

void TRotLayer::SetPositionX(float value) { SetPosition(TFloatPoint{value, position_.Y}); }

void TRotLayer::SetPositionY(float value) { SetPosition(TFloatPoint{position_.X, value}); }

void TRotLayer::SetScaled(bool value) {
  scaled_ = value;
  Changed();
}

void TRotLayer::AdjustTransformation() {
  TAffineTransformation& t = Transformation();
  t.Clear();
  t.Translate(-bitmap_center_.X, -bitmap_center_.Y);
  t.Rotate(0.0f, 0.0f, angle_);
  t.Translate(position_.X, position_.Y);
  if (scaled_ && LayerCollection() != nullptr) {
    float sx = 1.0f;
    float sy = 1.0f;
    float tx = 0.0f;
    float ty = 0.0f;
    LayerCollection()->GetViewportScale(sx, sy);
    LayerCollection()->GetViewportShift(tx, ty);
    t.Scale(sx, sy);
    t.Translate(tx, ty);
  }
}

}  // namespace vesk::raster
