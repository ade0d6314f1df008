#pragma once
// Row routines in 256-bit registers for processors with AVX2; see
// blend_rows_avx2.cpp. Each gives the bytes of its SSE2 and portable
// counterparts.
#include <cstdint>

#include "raster/color32.h"

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__)) && !defined(_WIN32)
#define VESK_ROWS_AVX2 1
#else
#define VESK_ROWS_AVX2 0
#endif

namespace vesk::raster::avx2 {

#if VESK_ROWS_AVX2
// blend_vector::BlendRow's result set (vector mix, opaque copied,
// transparent kept).
void BlendRow(const TColor32* Src, TColor32* Dst, std::int32_t Count) noexcept;
// MergeRow while the vector blend set is bound.
void MergeRowVector(const TColor32* Src, TColor32* Dst, std::int32_t Count) noexcept;
#endif

}  // namespace vesk::raster::avx2
