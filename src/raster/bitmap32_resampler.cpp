#include "raster/bitmap32_resampler.h"

#include "raster/transformer.h"

namespace vesk::raster {

void TBitmap32Resampler::SetPixelAccessMode(TPixelAccessMode value) {
  if (pixel_access_mode_ == value) return;
  pixel_access_mode_ = value;
  Changed();
}

void TBitmap32Resampler::Changed() {
  if (bitmap_ != nullptr) bitmap_->Changed();
}

void TBitmap32Resampler::PrepareSampling() {
  if (bitmap_ != nullptr) clip_rect_ = bitmap_->ClipRect();
}

TRect TBitmap32Resampler::GetSampleBounds() const {
  if (bitmap_ == nullptr) return TRect{};
  TRect r = bitmap_->ClipRect();
  if (pixel_access_mode_ == pamTransparentEdge) {
    --r.Left;
    --r.Top;
    ++r.Right;
    ++r.Bottom;
  }
  return r;
}

void TBitmap32Resampler::Assign(const TCustomSampler& source) {
  if (const auto* other = dynamic_cast<const TBitmap32Resampler*>(&source)) {
    SetPixelAccessMode(other->PixelAccessMode());
  }
}

TTransformerClass TBitmap32Resampler::TransformerClass() const { return &MakeTransformer<TTransformer>; }

}  // namespace vesk::raster
