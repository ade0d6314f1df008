// TBitmap32: untransformed drawing into another bitmap.
#include "raster/blend.h"
#include "raster/bitmap32.h"
#include "raster/custom_resampler.h"
#include "raster/exceptions.h"
#include "raster/lowlevel.h"

namespace vesk::raster {

namespace {
std::int64_t Width64(const TRect& r) { return std::int64_t{r.Right} - r.Left; }
std::int64_t Height64(const TRect& r) { return std::int64_t{r.Bottom} - r.Top; }
}  // namespace

void TBitmap32::DrawTo(TBitmap32& destination, const TRect& dst_rect) {
  TransferRect(&destination, dst_rect, destination.ClipRect(), this, BoundsRect(), resampler_.get(), draw_mode_,
               OnPixelCombine);
}

void TBitmap32::DrawTo(TBitmap32& destination, std::int32_t x, std::int32_t y) {
  DrawTo(destination, TRect{x, y, x + width_, y + height_});
}

void TransferRect(TBitmap32* dst, const TRect& dst_rect, const TRect& dst_clip, TBitmap32* src,
                  const TRect& src_rect, TCustomResampler* resampler, TDrawMode mode,
                  const TPixelCombineEvent& combine) {
  if (dst == nullptr) throw EBitmapException("Destination bitmap is nil");
  if (src == nullptr) throw EBitmapException("Source bitmap is nil");
  if (src->Empty()) return;
  if (dst->Empty() || (mode == dmBlend && src->MasterAlpha() == 0) || IsRectEmpty(src_rect)) return;
  if (src_rect.Left < 0 || src_rect.Top < 0 || src_rect.Right > src->Width() || src_rect.Bottom > src->Height()) {
    throw ESrcInvalidException("Source rectangle is invalid");
  }

  if (!dst->Measuring()) {
    const TRect clip = IntersectRect(IntersectRect(dst_clip, dst->BoundsRect()), dst_rect);
    if (IsRectEmpty(clip)) return;
    if (mode == dmCustom && !combine) mode = dmOpaque;
    if (Width64(src_rect) == Width64(dst_rect) && Height64(src_rect) == Height64(dst_rect)) {
      // clip lies inside dst_rect, so the source block lies inside src_rect.
      BlockCombine(*dst, clip, *src, src_rect.Left + (clip.Left - dst_rect.Left),
                   src_rect.Top + (clip.Top - dst_rect.Top), mode, combine);
    } else {
      if (resampler == nullptr) throw EBitmapException("Source bitmap has no resampler");
      resampler->Resample(*dst, dst_rect, clip, *src, src_rect, mode, combine);
    }
  }
  dst->Changed(dst_rect, kAreaInfoRect);
}

void BlockCombine(TBitmap32& dst, const TRect& r, const TBitmap32& src, std::int32_t src_x, std::int32_t src_y,
                  TDrawMode mode, const TPixelCombineEvent& combine) {
  const std::int32_t w = r.Right - r.Left;
  if (w <= 0) return;
  const std::uint32_t master = src.MasterAlpha();
  const int cm = Column(src.CombineMode());
  const TColor32 outer = src.OuterColor();
  for (std::int32_t y = r.Top; y < r.Bottom; ++y) {
    const TColor32* s = src.PixelPtr(src_x, src_y + (y - r.Top));
    TColor32* d = dst.PixelPtr(r.Left, y);
    switch (mode) {
      case dmOpaque:
        MoveLongword(s, d, w);
        break;
      case dmBlend:
        if (master >= 255) {
          PixelRoutines().Row[cm](s, d, w);
        } else {
          PixelRoutines().RowEx[cm](s, d, w, master);
        }
        break;
      case dmTransparent:
        for (std::int32_t i = 0; i < w; ++i) {
          if (s[i] != outer) d[i] = s[i];
        }
        break;
      case dmCustom:
        for (std::int32_t i = 0; i < w; ++i) combine(s[i], d[i], master);
        break;
    }
  }
}

}  // namespace vesk::raster
