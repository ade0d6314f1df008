#pragma once
// TColor32: one 32-bit ARGB pixel, alpha in bits 24-31, red 16-23, green 8-15,
// blue 0-7. Little-endian memory order is B, G, R, A: the layout of a 32-bpp
// BI_RGB device-independent bitmap, so GDI and the layered-window update read
// the pixels as they stand.
#include <cstdint>

namespace vesk::raster {

using TColor32 = std::uint32_t;
using PColor32 = TColor32*;

// A GDI colour: 0x00BBGGRR (red in the low byte); a value with the top bit set
// names a system colour.
using TGdiColor = std::int32_t;

[[nodiscard]] constexpr std::uint32_t AlphaOf(TColor32 c) noexcept { return c >> 24; }
[[nodiscard]] constexpr std::uint32_t RedOf(TColor32 c) noexcept { return (c >> 16) & 0xFFu; }
[[nodiscard]] constexpr std::uint32_t GreenOf(TColor32 c) noexcept { return (c >> 8) & 0xFFu; }
[[nodiscard]] constexpr std::uint32_t BlueOf(TColor32 c) noexcept { return c & 0xFFu; }

// Packs four channels (each 0..255) into a TColor32.
[[nodiscard]] constexpr TColor32 Color32Argb(std::uint32_t a, std::uint32_t r, std::uint32_t g,
                                             std::uint32_t b) noexcept {
  return (a << 24) | (r << 16) | (g << 8) | b;
}

static_assert(AlphaOf(0x80FF2010u) == 0x80 && RedOf(0x80FF2010u) == 0xFF);
static_assert(GreenOf(0x80FF2010u) == 0x20 && BlueOf(0x80FF2010u) == 0x10);
static_assert(Color32Argb(1, 2, 3, 4) == 0x01020304u);

}  // namespace vesk::raster
