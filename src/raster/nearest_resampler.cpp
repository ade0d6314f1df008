#include "raster/nearest_resampler.h"

#include <cmath>

#include "raster/transformer.h"
#include "raster/wrap.h"

namespace vesk::raster {

namespace {
// Nearest integer, halves to even (the default rounding mode), saturated to
// the 32-bit range so far-away or non-finite coordinates stay well defined.
std::int32_t RoundToInt(float v) noexcept {
  const double r = std::nearbyint(static_cast<double>(v));
  if (!(r >= -2147483648.0)) return INT32_MIN;  // also NaN
  if (r > 2147483647.0) return INT32_MAX;
  return static_cast<std::int32_t>(r);
}
}  // namespace

void TNearestResampler::PrepareSampling() {
  TBitmap32Resampler::PrepareSampling();
  switch (pixel_access_mode_) {
    case pamUnsafe: read_ = &TNearestResampler::ReadUnsafe; break;
    case pamWrap: read_ = &TNearestResampler::ReadWrap; break;
    case pamTransparentEdge: read_ = &TNearestResampler::ReadTransparentEdge; break;
    case pamSafe:
    default: read_ = &TNearestResampler::ReadSafe; break;
  }
}

TColor32 TNearestResampler::GetSampleInt(std::int32_t x, std::int32_t y) {
  if (bitmap_ == nullptr) return 0;
  return (this->*read_)(x, y);
}

TColor32 TNearestResampler::GetSampleFixed(TFixed x, TFixed y) {
  return GetSampleInt(FixedRound(x), FixedRound(y));
}

TColor32 TNearestResampler::GetSampleFloat(float x, float y) {
  return GetSampleInt(RoundToInt(x), RoundToInt(y));
}

TColor32 TNearestResampler::ReadUnsafe(std::int32_t x, std::int32_t y) const { return bitmap_->Pixel(x, y); }

TColor32 TNearestResampler::ReadSafe(std::int32_t x, std::int32_t y) const { return bitmap_->PixelS(x, y); }

TColor32 TNearestResampler::ReadWrap(std::int32_t x, std::int32_t y) const { return bitmap_->PixelW(x, y); }

TColor32 TNearestResampler::ReadTransparentEdge(std::int32_t x, std::int32_t y) const {
  const TRect& c = clip_rect_;
  if (IsRectEmpty(c)) return 0;
  const std::int32_t cx = WrapClamp(x, c.Left, c.Right - 1);
  const std::int32_t cy = WrapClamp(y, c.Top, c.Bottom - 1);
  const TColor32 p = bitmap_->Pixel(cx, cy);
  return (cx == x && cy == y) ? p : (p & 0x00FFFFFFu);
}

TTransformerClass TNearestResampler::TransformerClass() const { return &MakeTransformer<TNearestTransformer>; }

}  // namespace vesk::raster
