#pragma once
// Rasterizers walk the pixels of a target rectangle, ask a sampler for each
// pixel's colour and store it with the source bitmap's draw mode.
#include <cstdint>
#include <memory>
#include <string_view>

#include "raster/bitmap32.h"
#include "raster/blend.h"
#include "raster/custom_sampler.h"
#include "raster/notifiable_persistent.h"

namespace vesk::raster {

class TRasterizer : public TThreadPersistent {
 public:
  TRasterizer() = default;

  [[nodiscard]] virtual std::string_view ClassName() const { return "TRasterizer"; }

  // The sampler (not owned). The setter stores a different value and calls
  // Changed.
  [[nodiscard]] TCustomSampler* Sampler() const noexcept { return sampler_; }
  void SetSampler(TCustomSampler* value);
  // Forgets the sampler without reporting a change, for the moment the
  // sampler itself is freed.
  void ReleaseSampler() noexcept { sampler_ = nullptr; }

  // Takes the source's combine settings (MasterAlpha, DrawMode, CombineMode,
  // OnPixelCombine, OuterColor as the transparent colour), then rasterizes r.
  void Rasterize(TBitmap32& target, const TRect& r, const TBitmap32& source);
  // Nothing without a sampler. Otherwise: remember the target's UpdateCount,
  // PrepareSampling, W := r within the target's bounds and, when the sampler
  // has bounds, within those; DoRasterize(target, W). Afterwards, also when it
  // fails, EndUpdate on the target until its UpdateCount is back, then
  // FinalizeSampling.
  void Rasterize(TBitmap32& target, const TRect& r);

  [[nodiscard]] std::uint32_t SrcAlpha() const noexcept { return src_alpha_; }
  [[nodiscard]] TColor32 TransparentColor() const noexcept { return transparent_color_; }
  // The draw mode AssignColor stores with (dmCustom without a callback is
  // dmOpaque).
  [[nodiscard]] TDrawMode AssignMode() const noexcept { return mode_; }

 protected:
  // Walks W (already clipped) of the target.
  virtual void DoRasterize(TBitmap32& target, const TRect& w) = 0;

  // Stores one sample into a target pixel:
  //   dmOpaque: the sample;
  //   dmBlend: BlendPixelExInPlace (cmBlend) or MergePixelExInPlace (cmMerge)
  //     with master alpha SrcAlpha;
  //   dmTransparent: the sample unless it equals TransparentColor;
  //   dmCustom: the callback (sample, pixel, SrcAlpha).
  void AssignColor(TColor32& pixel, TColor32 sample);
  // AssignColor for count consecutive pixels, left to right. Samples with
  // alpha 0 leave the pixel as it is in dmBlend (both families keep B for a
  // transparent foreground), so they are skipped; runs of other samples are
  // merged with MergeRowEx in cmMerge (the per-pixel merge, row by row) and
  // blended pixel by pixel in cmBlend (whose row form weighs differently).
  void AssignRow(TColor32* pixels, const TColor32* samples, std::int32_t count);

 private:
  TCustomSampler* sampler_ = nullptr;
  std::uint32_t src_alpha_ = 255;
  TBlendMemEx blend_ = nullptr;
  TCombineMode combine_ = cmBlend;
  TPixelCombineEvent callback_;
  TDrawMode mode_ = dmOpaque;
  TColor32 transparent_color_ = 0;
};

// Walks the rectangle row by row, top to bottom and left to right. After
// every UpdateRowCount rows (0: never) the rows written since the last report
// are reported to the target (Changed with the rectangle); the rows after the
// last report are reported at the end, so UpdateRowCount 0 gives exactly one
// report covering the whole rectangle.
class TRegularRasterizer : public TRasterizer {
 public:
  [[nodiscard]] std::string_view ClassName() const override { return "TRegularRasterizer"; }

  [[nodiscard]] std::int32_t UpdateRowCount() const noexcept { return update_row_count_; }
  void SetUpdateRowCount(std::int32_t value) noexcept { update_row_count_ = value; }

 protected:
  void DoRasterize(TBitmap32& target, const TRect& w) override;

 private:
  std::int32_t update_row_count_ = 0;
};

// A rasterizer class: makes a new rasterizer of that class.
using TRasterizerClass = std::unique_ptr<TRasterizer> (*)();

template <class R>
std::unique_ptr<TRasterizer> MakeRasterizer() {
  return std::make_unique<R>();
}

// The class the three-argument Transform makes: TRegularRasterizer.
extern TRasterizerClass DefaultRasterizerClass;

}  // namespace vesk::raster
