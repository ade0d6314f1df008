#pragma once
// Optional run interfaces of samplers. A sampler that also derives from one
// of these can answer a whole run of samples along a target row in one call,
// with exactly the colours its per-sample operations would give. The
// rasterizer uses a run interface when the sampler offers one and the
// sampled bitmap is not the target (a run reads all its samples before the
// caller writes the first pixel, so drawing a bitmap into itself goes pixel
// by pixel).
#include <cstdint>

#include "raster/color32.h"
#include "raster/fixed.h"

namespace vesk::raster {

class TBitmap32;

// Runs in target (integer) coordinates: GetSampleInt(x + i, y).
class TIntRowSampler {
 public:
  virtual ~TIntRowSampler() = default;
  // Writes GetSampleInt(x + i, y) to out[i] for i = 0 .. count - 1 and
  // returns true; returns false without writing when it cannot serve this
  // run (the caller then samples one by one).
  virtual bool SampleRowInt(std::int32_t x, std::int32_t y, std::int32_t count, TColor32* out) = 0;
  // When the samples GetSampleInt(x + i, y), i = 0 .. count - 1, are simply
  // count consecutive pixels of the sampled bitmap, those pixels; nullptr
  // otherwise (then SampleRowInt or single samples).
  [[nodiscard]] virtual const TColor32* PeekRowInt(std::int32_t x, std::int32_t y, std::int32_t count) {
    static_cast<void>(x);
    static_cast<void>(y);
    static_cast<void>(count);
    return nullptr;
  }
  // The bitmap the samples read, or nullptr when unknown.
  [[nodiscard]] virtual const TBitmap32* SampledBitmap() const = 0;
  // Drops whatever a run keeps of the source between calls. The rasterizer
  // calls it after reporting an area mid-way, since a change handler may
  // have drawn into the source.
  virtual void RestartRun() {}
};

// Runs along a line in source (16.16 fixed) coordinates: sample i is taken
// at (u + i * du, v + i * dv), the products and sums wrapping in 32 bits as
// the fixed reverse mapping does.
class TFixedRowSampler {
 public:
  virtual ~TFixedRowSampler() = default;
  // out[i] := GetSampleFixed(u_i, v_i). False when the run cannot be served.
  virtual bool SampleRowFixed(TFixed u, TFixed v, TFixed du, TFixed dv, std::int32_t count, TColor32* out) = 0;
  [[nodiscard]] virtual const TBitmap32* SampledBitmap() const = 0;
  virtual void RestartRun() {}
};

}  // namespace vesk::raster
