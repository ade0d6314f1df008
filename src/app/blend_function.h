#pragma once
// The layered window's four-byte blend record, laid out as the window
// manager expects it: operation, flags, constant alpha, alpha format. Only
// the constant alpha (the fade level) ever changes.
#include <cstdint>

namespace vesk::app {

inline constexpr std::uint8_t kBlendOpSourceOver = 0;  // AC_SRC_OVER
inline constexpr std::uint8_t kAlphaFormatSourceAlpha = 1;  // AC_SRC_ALPHA: premultiplied per-pixel alpha

struct TBlendFunction {
  std::uint8_t BlendOp = kBlendOpSourceOver;
  std::uint8_t BlendFlags = 0;
  std::uint8_t SourceConstantAlpha = 0;
  std::uint8_t AlphaFormat = kAlphaFormatSourceAlpha;
  friend constexpr bool operator==(const TBlendFunction&, const TBlendFunction&) = default;
};

static_assert(sizeof(TBlendFunction) == 4);

// The record read as one little-endian 32-bit value: operation in the low
// byte, alpha format in the high byte.
[[nodiscard]] constexpr std::uint32_t BlendFunctionAsUInt32(const TBlendFunction& b) noexcept {
  return static_cast<std::uint32_t>(b.BlendOp) | static_cast<std::uint32_t>(b.BlendFlags) << 8 |
         static_cast<std::uint32_t>(b.SourceConstantAlpha) << 16 | static_cast<std::uint32_t>(b.AlphaFormat) << 24;
}

static_assert(BlendFunctionAsUInt32(TBlendFunction{0, 0, 0x80, 1}) == 0x01800000u);

}  // namespace vesk::app
