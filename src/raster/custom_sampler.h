#pragma once
// A sampler answers "which colour is at (x, y)" in integer, 16.16 fixed or
// single-precision coordinates. The three forms forward to each other by
// default; every concrete sampler overrides the fixed or the float form.
#include <cstdint>
#include <limits>
#include <string_view>

#include "raster/color32.h"
#include "raster/fixed.h"
#include "raster/notifiable_persistent.h"
#include "base/geometry.h"

namespace vesk::raster {

class TCustomSampler : public TNotifiablePersistent {
 public:
  // The registered class name ("TNearestResampler", ...).
  [[nodiscard]] virtual std::string_view ClassName() const { return "TCustomSampler"; }

  // Default: GetSampleFixed(x * 65536, y * 65536).
  [[nodiscard]] virtual TColor32 GetSampleInt(std::int32_t x, std::int32_t y) {
    return GetSampleFixed(IntToFixed(x), IntToFixed(y));
  }
  // Default: GetSampleFloat(x / 65536, y / 65536), each rounded to single.
  [[nodiscard]] virtual TColor32 GetSampleFixed(TFixed x, TFixed y) {
    return GetSampleFloat(static_cast<float>(static_cast<long double>(x) / 65536.0L),
                          static_cast<float>(static_cast<long double>(y) / 65536.0L));
  }
  // Default: GetSampleFixed(FloatToFixed(x), FloatToFixed(y)).
  [[nodiscard]] virtual TColor32 GetSampleFloat(float x, float y) {
    return GetSampleFixed(FloatToFixed(x), FloatToFixed(y));
  }

  // Every run of samples is bracketed by these two.
  virtual void PrepareSampling() {}
  virtual void FinalizeSampling() {}

  [[nodiscard]] virtual bool HasBounds() const { return false; }
  [[nodiscard]] virtual TRect GetSampleBounds() const {
    constexpr auto lo = std::numeric_limits<std::int32_t>::min();
    constexpr auto hi = std::numeric_limits<std::int32_t>::max();
    return TRect{lo, lo, hi, hi};
  }

  // Takes over the settings of another sampler of a compatible class;
  // settings of an unrelated class are ignored.
  virtual void Assign(const TCustomSampler& source) { static_cast<void>(source); }
};

}  // namespace vesk::raster
