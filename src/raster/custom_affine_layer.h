#pragma once
// TCustomAffineLayer: a layer that owns a bitmap and draws it into the paint
// target through its own affine transformation.
#include <memory>

#include "raster/affine_transformation.h"
#include "raster/bitmap32.h"
#include "raster/custom_layer.h"

namespace vesk::raster {

class TCustomAffineLayer : public TCustomLayer {
 public:
  // Joins the collection, then makes the bitmap (with its nearest resampler;
  // its changes run BitmapChanged) and the transformation.
  explicit TCustomAffineLayer(TLayerCollection* collection);
  // Frees the transformation, then the bitmap, then leaves the collection.
  ~TCustomAffineLayer() override;

  [[nodiscard]] TBitmap32& Bitmap() const noexcept { return *bitmap_; }
  [[nodiscard]] TAffineTransformation& Transformation() const noexcept { return *transformation_; }
  [[nodiscard]] const TFloatPoint& BitmapCenter() const noexcept { return bitmap_center_; }

  // Whether the hit test ignores fully transparent pixels.
  [[nodiscard]] bool AlphaHit() const noexcept { return alpha_hit_; }
  void SetAlphaHit(bool value) noexcept { alpha_hit_ = value; }

  // (u, v) := the transformation's reverse mapping of the integer point (x,
  // y); a hit when 0 <= u < width and 0 <= v < height and, with AlphaHit,
  // the bitmap's PixelS(u, v) has a non-zero alpha.
  [[nodiscard]] bool DoHitTest(std::int32_t x, std::int32_t y) override;
  // AdjustTransformation, then the transformed drawing of the bitmap into
  // buffer.
  void Paint(TBitmap32& buffer) override;
  // Builds the transformation before each paint; nothing here.
  virtual void AdjustTransformation() {}

 protected:
  // The bitmap reported a change: SrcRect := (0, 0, width, height), then the
  // layer's Changed.
  void BitmapChanged();

  TFloatPoint bitmap_center_{};

 private:
  bool alpha_hit_ = false;
  std::unique_ptr<TBitmap32> bitmap_;
  std::unique_ptr<TAffineTransformation> transformation_;
};

}  // namespace vesk::raster
