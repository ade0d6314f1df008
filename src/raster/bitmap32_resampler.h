#pragma once
// A resampler that reads the pixels of one bitmap. The bitmap owns it; the
// resampler keeps a plain pointer back to its bitmap.
#include <cstdint>
#include <memory>

#include "raster/bitmap32.h"
#include "raster/custom_resampler.h"

namespace vesk::raster {

class TTransformer;
class TTransformation;

// A transformer class: makes a transformer of that class over a sampler and
// a transformation (transformer.h).
using TTransformerClass = std::unique_ptr<TTransformer> (*)(TCustomSampler* sampler,
                                                            TTransformation* transformation);

// How a resampler reads pixels at or beyond the edges of the clip rectangle.
enum class TPixelAccessMode : std::uint8_t { pamUnsafe = 0, pamSafe = 1, pamWrap = 2, pamTransparentEdge = 3 };
using enum TPixelAccessMode;

class TBitmap32Resampler : public TCustomResampler {
 public:
  [[nodiscard]] std::string_view ClassName() const override { return "TBitmap32Resampler"; }

  [[nodiscard]] TBitmap32* Bitmap() const noexcept { return bitmap_; }
  // The bitmap's clip rectangle as copied by PrepareSampling.
  [[nodiscard]] const TRect& ClipRect() const noexcept { return clip_rect_; }

  [[nodiscard]] TPixelAccessMode PixelAccessMode() const noexcept { return pixel_access_mode_; }
  // Stores a different value and calls Changed.
  void SetPixelAccessMode(TPixelAccessMode value);

  // Reports to the bitmap (its Changed).
  void Changed() override;
  // Copies the bitmap's clip rectangle.
  void PrepareSampling() override;
  [[nodiscard]] bool HasBounds() const override { return true; }
  // The bitmap's clip rectangle, one pixel larger on every side for
  // pamTransparentEdge.
  [[nodiscard]] TRect GetSampleBounds() const override;
  // Takes PixelAccessMode from another bitmap resampler.
  void Assign(const TCustomSampler& source) override;

  // The class of transformer that transformed drawing builds for this
  // resampler: TTransformer unless a subclass says otherwise.
  [[nodiscard]] virtual TTransformerClass TransformerClass() const;

 protected:
  TBitmap32Resampler() = default;

  // Makes a resampler of class R for the bitmap and installs it as the
  // bitmap's Resampler (the bitmap frees its previous one and reports a
  // change). The object is complete before the bitmap sees it.
  template <class R>
  static R* CreateFor(TBitmap32& bitmap) {
    auto resampler = std::make_unique<R>();
    resampler->bitmap_ = &bitmap;
    R* raw = resampler.get();
    bitmap.SetResampler(std::move(resampler));
    return raw;
  }

  TBitmap32* bitmap_ = nullptr;
  TRect clip_rect_;
  TPixelAccessMode pixel_access_mode_ = pamSafe;
};

}  // namespace vesk::raster
