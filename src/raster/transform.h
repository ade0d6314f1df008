#pragma once
// Transformed drawing: every target pixel inside the transformed bounds of
// the source is mapped back into source coordinates through the
// transformation, sampled there by the source bitmap's resampler, and stored
// with the source's draw mode.
#include "raster/bitmap32.h"
#include "base/errors.h"
#include "raster/rasterizer.h"
#include "raster/transformation.h"

namespace vesk::raster {

// A source whose resampler is not a bitmap resampler cannot be drawn
// transformed.
class EInvalidCast : public Exception {
 public:
  using Exception::Exception;
};

// With a new rasterizer of DefaultRasterizerClass, freed afterwards (also on
// failure).
void Transform(TBitmap32& dst, TBitmap32& src, TTransformation& transformation);
// Clipped to the target's bounds (0, 0, width, height).
void Transform(TBitmap32& dst, TBitmap32& src, TTransformation& transformation, TRasterizer& rasterizer);
// The drawing:
//  1. R := the transformed bounds of the transformation's SrcRect, within
//     the target's ClipRect and within clip; nothing happens when R has
//     right < left or bottom < top.
//  2. Unless the target is measuring: the source resampler's transformer
//     class makes a transformer over the resampler and the transformation
//     (raising EInvalidCast when the resampler is not a bitmap resampler);
//     the rasterizer samples through it into R with the source's combine
//     settings; the transformer is freed (also on failure) and the
//     rasterizer forgets it.
//  3. The target reports R as changed (also when measuring).
void Transform(TBitmap32& dst, TBitmap32& src, TTransformation& transformation, const TRect& clip,
               TRasterizer& rasterizer);

}  // namespace vesk::raster
