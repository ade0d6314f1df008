#pragma once
// The scalar result set of the blend family (bound on processors without
// MMX). Two channels per 32-bit word; for a weight w:
//
//   Scale(X, w).c = (X.c * w + 128) shr 8
//   result        = Scale(F, w) + Scale(B, 255 - w)
//
// Rounding happens twice, once per operand, so results can differ from the
// vector set by one. The master-alpha forms keep only red, green and blue of
// both scaled operands: their result alpha is 0. docs/rounding.md has the why.
#include <cstdint>

#include "raster/color32.h"

namespace vesk::raster::blend_scalar {

// Each channel of X scaled by w/256 with +128 rounding. The red/blue and
// alpha/green pairs are scaled in separate words; per lane the product plus
// bias is at most 255 * 255 + 128 < 65536, so lanes never carry into each
// other, and the rounded byte sits in the high byte of each 16-bit lane.
[[nodiscard]] constexpr TColor32 Scale(TColor32 X, std::uint32_t w) noexcept {
  const std::uint32_t rb = (((X & 0x00FF00FFu) * w + 0x00800080u) & 0xFF00FF00u) >> 8;
  const std::uint32_t ag = (((X & 0xFF00FF00u) >> 8) * w + 0x00800080u) & 0xFF00FF00u;
  return rb | ag;
}

// Scale(F, w) + Scale(B, 255 - w). Per channel each term is a floor of at
// most x * w / 256 + 1/2, so the two add up to at most 255: the word
// addition never carries between channels.
[[nodiscard]] constexpr TColor32 Weigh(TColor32 F, TColor32 B, std::uint32_t w) noexcept {
  return Scale(F, w) + Scale(B, 255 - w);
}

// The same with the alpha byte of both scaled operands dropped (alpha 0).
[[nodiscard]] constexpr TColor32 WeighColour(TColor32 F, TColor32 B, std::uint32_t w) noexcept {
  return (Scale(F, w) & 0x00FFFFFFu) + (Scale(B, 255 - w) & 0x00FFFFFFu);
}

static_assert(Scale(0xFFFFFFFFu, 128) == 0x80808080u);
static_assert(Weigh(0x80FF0000u, 0u, 0x80) == 0x40800000u);

// M and W above 255 are taken as 255.
[[nodiscard]] TColor32 BlendPixel(TColor32 F, TColor32 B) noexcept;
void BlendPixelInPlace(TColor32 F, TColor32& B) noexcept;
[[nodiscard]] TColor32 BlendPixelEx(TColor32 F, TColor32 B, std::uint32_t M) noexcept;
void BlendPixelExInPlace(TColor32 F, TColor32& B, std::uint32_t M) noexcept;
void BlendRow(const TColor32* Src, TColor32* Dst, std::int32_t Count) noexcept;
void BlendRowEx(const TColor32* Src, TColor32* Dst, std::int32_t Count, std::uint32_t M) noexcept;
[[nodiscard]] TColor32 CombinePixel(TColor32 X, TColor32 Y, std::uint32_t W) noexcept;
void CombinePixelInPlace(TColor32 X, TColor32& Y, std::uint32_t W) noexcept;

}  // namespace vesk::raster::blend_scalar
