#include "raster/transform.h"

#include <memory>

#include "raster/bitmap32_resampler.h"
#include "raster/blend.h"
#include "raster/transformer.h"

namespace vesk::raster {

void Transform(TBitmap32& dst, TBitmap32& src, TTransformation& transformation) {
  std::unique_ptr<TRasterizer> rasterizer = DefaultRasterizerClass();
  Transform(dst, src, transformation, *rasterizer);
}

void Transform(TBitmap32& dst, TBitmap32& src, TTransformation& transformation, TRasterizer& rasterizer) {
  Transform(dst, src, transformation, dst.BoundsRect(), rasterizer);
}

void Transform(TBitmap32& dst, TBitmap32& src, TTransformation& transformation, const TRect& clip,
               TRasterizer& rasterizer) {
  TRect r = transformation.GetTransformedBounds();
  r = IntersectRect(r, dst.ClipRect());
  r = IntersectRect(r, clip);
  if (r.Right < r.Left || r.Bottom < r.Top) return;

  if (!dst.Measuring()) {
    auto* resampler = dynamic_cast<TBitmap32Resampler*>(src.Resampler());
    if (resampler == nullptr) throw EInvalidCast("Invalid class typecast");
    std::unique_ptr<TTransformer> transformer = resampler->TransformerClass()(resampler, &transformation);
    struct TRelease {
      TRasterizer& rasterizer;
      TTransformer* transformer;
      ~TRelease() {
        if (rasterizer.Sampler() == transformer) rasterizer.ReleaseSampler();
      }
    } release{rasterizer, transformer.get()};
    rasterizer.SetSampler(transformer.get());
    rasterizer.Rasterize(dst, r, src);
  }
  dst.Changed(r, kAreaInfoRect);
}

}  // namespace vesk::raster
