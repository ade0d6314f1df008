#pragma once
// The per-sample arithmetic that turns decoded PNG samples into the skin's
// premultiplied 32-bit pixels, and the gamma table of a gAMA chunk.
//
// A pixel with an alpha channel is first drawn over black, then premultiplied
// by the same alpha again, so a half-transparent colour is scaled twice:
// white with alpha 128 becomes 64, not 128.
#include <array>
#include <cstdint>

#include "raster/color32.h"

namespace vesk::imaging {

// Colour sample c drawn with alpha a over black: (c * a + 255) >> 8.
// Rounds up slightly so that a = 255 reproduces c exactly and a = 0 gives 0.
[[nodiscard]] constexpr std::uint32_t OverBlack(std::uint32_t c, std::uint32_t a) noexcept {
  return (c * a + 255u) >> 8;
}

// The stored channel of a premultiplied pixel: c1 * a div 255, truncating.
[[nodiscard]] constexpr std::uint32_t PremultiplyChannel(std::uint32_t c1, std::uint32_t a) noexcept {
  return c1 * a / 255u;
}

// One pixel of an image that has an alpha channel (colour types 6 and 4):
// each colour channel drawn over black and premultiplied, alpha kept.
[[nodiscard]] constexpr raster::TColor32 SkinPixelWithAlpha(std::uint32_t r, std::uint32_t g,
                                                            std::uint32_t b, std::uint32_t a) noexcept {
  return raster::Color32Argb(a, PremultiplyChannel(OverBlack(r, a), a),
                             PremultiplyChannel(OverBlack(g, a), a),
                             PremultiplyChannel(OverBlack(b, a), a));
}

// One pixel of an image without an alpha channel (colour types 0, 2, 3): the
// colour drawn over black with the transparency of a tRNS chunk (255 where
// none applies), and alpha 0, so the image adds nothing when blended.
[[nodiscard]] constexpr raster::TColor32 SkinPixelWithoutAlpha(std::uint32_t r, std::uint32_t g,
                                                               std::uint32_t b,
                                                               std::uint32_t trns_alpha) noexcept {
  return raster::Color32Argb(0, OverBlack(r, trns_alpha), OverBlack(g, trns_alpha),
                             OverBlack(b, trns_alpha));
}

static_assert(OverBlack(200, 255) == 200 && OverBlack(255, 255) == 255 && OverBlack(255, 0) == 0);
static_assert(SkinPixelWithAlpha(255, 255, 255, 128) == 0x80404040u);
static_assert(SkinPixelWithAlpha(200, 100, 50, 255) == 0xFFC86432u);
static_assert(SkinPixelWithAlpha(255, 17, 3, 0) == 0u);

using GammaTable = std::array<std::uint8_t, 256>;

// The table of a gAMA value g (> 0, the gamma times 100000): sample s maps to
// 255 * (s / 255) ^ (1 / (g / 100000 * 2.2)), computed in extended precision
// and rounded to the nearest integer, ties to even.
[[nodiscard]] GammaTable MakeGammaTable(std::uint32_t gama);

}  // namespace vesk::imaging
