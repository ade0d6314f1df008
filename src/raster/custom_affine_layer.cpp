#include "raster/custom_affine_layer.h"

#include "raster/transform.h"

namespace vesk::raster {

TCustomAffineLayer::TCustomAffineLayer(TLayerCollection* collection)
    : TCustomLayer(collection), bitmap_(std::make_unique<TBitmap32>()) {
  bitmap_->OnChange = [this](TObject*) { BitmapChanged(); };
  transformation_ = std::make_unique<TAffineTransformation>();
}

TCustomAffineLayer::~TCustomAffineLayer() {
  transformation_.reset();
  // The bitmap's last reports would find no transformation any more.
  bitmap_->OnChange = nullptr;
  bitmap_.reset();
}

void TCustomAffineLayer::BitmapChanged() {
  if (transformation_) {
    transformation_->SetSrcRect(
        TFloatRect{0.0f, 0.0f, static_cast<float>(bitmap_->Width()), static_cast<float>(bitmap_->Height())});
  }
  Changed();
}

bool TCustomAffineLayer::DoHitTest(std::int32_t x, std::int32_t y) {
  const TPoint p = transformation_->ReverseTransform(TPoint{x, y});
  const bool inside = p.X >= 0 && p.X < bitmap_->Width() && p.Y >= 0 && p.Y < bitmap_->Height();
  if (!inside) return false;
  return !alpha_hit_ || (bitmap_->PixelS(p.X, p.Y) >> 24) != 0;
}

void TCustomAffineLayer::Paint(TBitmap32& buffer) {
  AdjustTransformation();
  Transform(buffer, *bitmap_, *transformation_);
}

}  // namespace vesk::raster
