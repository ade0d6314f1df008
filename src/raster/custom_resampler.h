#pragma once
// A resampler: a sampler with a kernel radius that can also draw a bitmap
// stretched into a rectangle of another size.
#include "raster/bitmap32.h"
#include "raster/custom_sampler.h"

namespace vesk::raster {

class TCustomResampler : public TCustomSampler {
 public:
  [[nodiscard]] std::string_view ClassName() const override { return "TCustomResampler"; }

  // The kernel radius in source pixels.
  [[nodiscard]] virtual float GetWidth() const = 0;

  // Draws source rectangle src_rect of src into dst_rect of dst, where the two
  // rectangles differ in size, writing only inside dst_clip (already the
  // intersection of dst_rect with the destination's clip and bounds), with the
  // given draw mode. The base raises EBitmapException: a resampler class that
  // supports stretching overrides it.
  virtual void Resample(TBitmap32& dst, const TRect& dst_rect, const TRect& dst_clip, TBitmap32& src,
                        const TRect& src_rect, TDrawMode mode, const TPixelCombineEvent& combine);
};

}  // namespace vesk::raster
