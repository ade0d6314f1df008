#pragma once
// The merge family: two translucent colours composited. The result alpha is
// Fa + Ba - Fa*Ba/255 and the colour the alpha-weighted average, all divisions
// done by lookups in ProductTable and QuotientTable (blend_tables.h). One
// implementation; a fully opaque background goes through the bound
// BlendPixel (blend.h), so that case follows the blend result set.
#include <cstdint>

#include "raster/color32.h"

namespace vesk::raster {

// F over B; see docs/rounding.md for the arithmetic.
[[nodiscard]] TColor32 MergePixel(TColor32 F, TColor32 B) noexcept;
void MergePixelInPlace(TColor32 F, TColor32& B) noexcept;
// F's alpha is first scaled by master alpha M (0..255; larger is taken as
// 255): F.a := ProductTable[M][F.a].
[[nodiscard]] TColor32 MergePixelEx(TColor32 F, TColor32 B, std::uint32_t M) noexcept;
void MergePixelExInPlace(TColor32 F, TColor32& B, std::uint32_t M) noexcept;
// Dst[i] := MergePixel(Src[i], Dst[i]) for i in 0..Count-1, in the form
// the pixel-routine table holds: while the vector blend set is bound, the
// widest vector form the processor has (AVX2, blend_avx2.h, or SSE2); with
// the scalar set, pixel by pixel.
void MergeRow(const TColor32* Src, TColor32* Dst, std::int32_t Count) noexcept;
void MergeRowEx(const TColor32* Src, TColor32* Dst, std::int32_t Count, std::uint32_t M) noexcept;

// The forms of MergeRow: pixel by pixel, and four pixels per SSE2 pass
// (x86-64 builds; its vector groups use the vector set's mix, so with the
// scalar set bound it goes pixel by pixel).
void MergeRowPortable(const TColor32* Src, TColor32* Dst, std::int32_t Count) noexcept;
#if defined(__SSE2__)
void MergeRowSse2(const TColor32* Src, TColor32* Dst, std::int32_t Count) noexcept;
#endif

}  // namespace vesk::raster
