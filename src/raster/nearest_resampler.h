#pragma once
// The default resampler of every bitmap: the colour of the nearest pixel.
#include "raster/bitmap32_resampler.h"

namespace vesk::raster {

class TNearestResampler : public TBitmap32Resampler {
 public:
  TNearestResampler() = default;
  // Makes a nearest resampler for the bitmap and installs it as its Resampler.
  static TNearestResampler* Create(TBitmap32& bitmap) { return CreateFor<TNearestResampler>(bitmap); }

  [[nodiscard]] std::string_view ClassName() const override { return "TNearestResampler"; }
  [[nodiscard]] float GetWidth() const override { return 1.0f; }
  // TNearestTransformer: transformed positions are rounded to whole pixels.
  [[nodiscard]] TTransformerClass TransformerClass() const override;

  // Copies the clip rectangle and binds the pixel read of PixelAccessMode:
  // pamUnsafe the unchecked read, pamSafe OuterColor outside the clip
  // rectangle (right and bottom exclusive), pamWrap coordinates folded by the
  // bitmap's WrapMode, pamTransparentEdge coordinates clamped into the clip
  // rectangle with alpha 0 where anything was clamped. Until the first
  // preparation the safe read is bound.
  void PrepareSampling() override;

  // The pixel at (x, y).
  [[nodiscard]] TColor32 GetSampleInt(std::int32_t x, std::int32_t y) override;
  // The pixel at (FixedRound(x), FixedRound(y)): exact halves round down.
  [[nodiscard]] TColor32 GetSampleFixed(TFixed x, TFixed y) override;
  // The pixel at (Round(x), Round(y)), halves to even.
  [[nodiscard]] TColor32 GetSampleFloat(float x, float y) override;

 private:
  using PixelRead = TColor32 (TNearestResampler::*)(std::int32_t x, std::int32_t y) const;
  TColor32 ReadUnsafe(std::int32_t x, std::int32_t y) const;
  TColor32 ReadSafe(std::int32_t x, std::int32_t y) const;
  TColor32 ReadWrap(std::int32_t x, std::int32_t y) const;
  TColor32 ReadTransparentEdge(std::int32_t x, std::int32_t y) const;

  PixelRead read_ = &TNearestResampler::ReadSafe;
};

}  // namespace vesk::raster
