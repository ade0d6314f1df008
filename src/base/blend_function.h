#pragma once
// The four-byte blend record of a constant-alpha source-over blend, laid
// out as the window manager and the system's AlphaBlend expect it:
// operation, flags, constant alpha, alpha format. The layered window
// presents its composition with it (its constant alpha is the fade level)
// and the text renderer blends with the same record.
#include <cstdint>

namespace vesk {

inline constexpr std::uint8_t kBlendOpSourceOver = 0;       // AC_SRC_OVER
inline constexpr std::uint8_t kAlphaFormatSourceAlpha = 1;  // AC_SRC_ALPHA: premultiplied per-pixel alpha

struct TBlendFunction {
  std::uint8_t BlendOp = kBlendOpSourceOver;
  std::uint8_t BlendFlags = 0;
  std::uint8_t SourceConstantAlpha = 255;  // k: scales the whole source
  std::uint8_t AlphaFormat = kAlphaFormatSourceAlpha;
  friend constexpr bool operator==(const TBlendFunction&, const TBlendFunction&) = default;
};

static_assert(sizeof(TBlendFunction) == 4);

// A source-over record with constant alpha k.
[[nodiscard]] constexpr TBlendFunction SourceOver(std::uint8_t k) noexcept {
  return TBlendFunction{kBlendOpSourceOver, 0, k, kAlphaFormatSourceAlpha};
}

// The record read as one little-endian 32-bit value: operation in the low
// byte, alpha format in the high byte.
[[nodiscard]] constexpr std::uint32_t BlendFunctionAsUInt32(const TBlendFunction& b) noexcept {
  return static_cast<std::uint32_t>(b.BlendOp) | static_cast<std::uint32_t>(b.BlendFlags) << 8 |
         static_cast<std::uint32_t>(b.SourceConstantAlpha) << 16 | static_cast<std::uint32_t>(b.AlphaFormat) << 24;
}

static_assert(BlendFunctionAsUInt32(SourceOver(0x80)) == 0x01800000u);

}  // namespace vesk
