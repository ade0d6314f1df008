#pragma once
// The vector result set of the blend family (the reference). Every operation
// reduces to one mix of all four lanes (a, r, g, b) with a weight w 0..255:
//
//   Mix(F, B, w).c = (F.c * w + B.c * (256 - w) + 128) shr 8
//
// Note 256 - w, not 255 - w: w = 255 does not return F exactly
// (0xFFFFFFFF over 0 gives 0xFEFEFEFE), which is why the in-place and row
// forms copy an opaque F instead of mixing it. docs/rounding.md has the why.
#include <cstdint>

#include "raster/color32.h"

namespace vesk::raster::blend_vector {

// Two lanes per 32-bit word: a lane's sum is at most 255 * 256 + 128 = 65408,
// so it never carries into the lane 16 bits above it.
[[nodiscard]] constexpr TColor32 Mix(TColor32 F, TColor32 B, std::uint32_t w) noexcept {
  const std::uint32_t v = 256 - w;
  const std::uint32_t rb = ((F & 0x00FF00FFu) * w + (B & 0x00FF00FFu) * v + 0x00800080u) >> 8;
  const std::uint32_t ag = ((F >> 8) & 0x00FF00FFu) * w + ((B >> 8) & 0x00FF00FFu) * v + 0x00800080u;
  return (rb & 0x00FF00FFu) | (ag & 0xFF00FF00u);
}

// The weight of the pixel forms with master alpha: ((M + 1) * F.a) shr 8.
[[nodiscard]] constexpr std::uint32_t PixelExWeight(TColor32 F, std::uint32_t M) noexcept {
  return ((M + 1) * (F >> 24)) >> 8;
}

// The weight of the row form with master alpha: ((F.a + 1) * M) shr 8.
[[nodiscard]] constexpr std::uint32_t RowExWeight(TColor32 F, std::uint32_t M) noexcept {
  return (((F >> 24) + 1) * M) >> 8;
}

static_assert(Mix(0x80FF0000u, 0u, 0x80) == 0x40800000u);
static_assert(Mix(0xFFFFFFFFu, 0u, 255) == 0xFEFEFEFEu);
static_assert(PixelExWeight(0xFE000000u, 1) == 1 && RowExWeight(0xFE000000u, 1) == 0);

// M and W above 255 are taken as 255.
[[nodiscard]] TColor32 BlendPixel(TColor32 F, TColor32 B) noexcept;
void BlendPixelInPlace(TColor32 F, TColor32& B) noexcept;
[[nodiscard]] TColor32 BlendPixelEx(TColor32 F, TColor32 B, std::uint32_t M) noexcept;
void BlendPixelExInPlace(TColor32 F, TColor32& B, std::uint32_t M) noexcept;
[[nodiscard]] TColor32 CombinePixel(TColor32 X, TColor32 Y, std::uint32_t W) noexcept;
void CombinePixelInPlace(TColor32 X, TColor32& Y, std::uint32_t W) noexcept;

// The rows pixel by pixel in general-purpose registers.
void BlendRowPortable(const TColor32* Src, TColor32* Dst, std::int32_t Count) noexcept;
void BlendRowExPortable(const TColor32* Src, TColor32* Dst, std::int32_t Count,
                        std::uint32_t M) noexcept;

// The rows four pixels per SSE2 pass (the portable rows where the build does
// not target SSE2), equal to those byte for byte. The AVX2 row
// (blend_avx2.h) does eight.
void BlendRowSse2(const TColor32* Src, TColor32* Dst, std::int32_t Count) noexcept;
void BlendRowExSse2(const TColor32* Src, TColor32* Dst, std::int32_t Count, std::uint32_t M) noexcept;

// The rows of the vector set as this build makes them without asking the
// processor: the SSE2 forms where the build targets SSE2 (always on x86-64).
inline void BlendRow(const TColor32* Src, TColor32* Dst, std::int32_t Count) noexcept { BlendRowSse2(Src, Dst, Count); }
inline void BlendRowEx(const TColor32* Src, TColor32* Dst, std::int32_t Count, std::uint32_t M) noexcept {
  BlendRowExSse2(Src, Dst, Count, M);
}

}  // namespace vesk::raster::blend_vector
