// TBitmap32: filling.
#include "raster/bitmap32.h"
#include "raster/lowlevel.h"

namespace vesk::raster {

void TBitmap32::Clear() { Clear(0xFF000000u); }

void TBitmap32::Clear(TColor32 fill_color) {
  if (Empty()) return;
  if (!measuring_) {
    if (clipping_) {
      FillRect(clip_rect_.Left, clip_rect_.Top, clip_rect_.Right, clip_rect_.Bottom, fill_color);
    } else {
      FillLongword(bits_, width_ * height_, fill_color);
    }
  }
  Changed();
}

void TBitmap32::FillRect(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2, TColor32 value) {
  for (std::int32_t y = y1; y < y2; ++y) FillLongword(PixelPtr(x1, y), x2 - x1, value);
  Changed(TRect{x1, y1, x2, y2}, kAreaInfoRect);
}

void TBitmap32::FillRectS(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2, TColor32 value) {
  const TRect& c = clip_rect_;
  if (!measuring_ && x2 > x1 && y2 > y1 && x1 < c.Right && y1 < c.Bottom && x2 > c.Left && y2 > c.Top) {
    if (x1 < c.Left) x1 = c.Left;
    if (y1 < c.Top) y1 = c.Top;
    if (x2 > c.Right) x2 = c.Right;
    if (y2 > c.Bottom) y2 = c.Bottom;
    FillRect(x1, y1, x2, y2, value);
  }
  Changed(TRect{x1, y1, x2, y2}, kAreaInfoRect);
}

void TBitmap32::ResetAlpha(std::uint8_t alpha) {
  if (!measuring_ && !Empty()) {
    const TColor32 a = static_cast<TColor32>(alpha) << 24;
    const std::ptrdiff_t n = static_cast<std::ptrdiff_t>(width_) * height_;
    for (std::ptrdiff_t i = 0; i < n; ++i) bits_[i] = (bits_[i] & 0x00FFFFFFu) | a;
  }
  Changed();
}

}  // namespace vesk::raster
