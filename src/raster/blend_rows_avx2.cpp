// The blend and merge rows eight pixels per pass in 256-bit registers, for
// processors with AVX2 (bound in the pixel-routine table where the processor
// has it, pixel_routines.cpp). The arithmetic is the SSE2 rows'
// (blend_vector_sse2.h) on twice the pixels: every unpack, shuffle and pack works inside one 128-bit
// half, so each half holds four whole pixels in order. The results are the
// portable rows' bytes; tests compare them.
//
// Built only for targets that keep 32-byte stack alignment: GCC for 64-bit
// Windows does not, and spilled 256-bit registers would fault there.
#include "raster/blend_avx2.h"

#if VESK_ROWS_AVX2

#include <immintrin.h>

#include "raster/blend_vector.h"
#include "raster/merge.h"

namespace vesk::raster::avx2 {

namespace {

#define VESK_AVX2 [[gnu::target("avx2"), gnu::always_inline]] inline

VESK_AVX2 __m256i BroadcastAlpha16(__m256i p16) noexcept {
  return _mm256_shufflehi_epi16(_mm256_shufflelo_epi16(p16, 0xFF), 0xFF);
}

// ((B.c shl 8) + 128 + (F.c - B.c) * w) shr 8 in wrapping 16-bit lanes.
VESK_AVX2 __m256i MixHalf(__m256i f16, __m256i b16, __m256i w16) noexcept {
  const __m256i bias = _mm256_set1_epi16(128);
  const __m256i diff = _mm256_mullo_epi16(_mm256_sub_epi16(f16, b16), w16);
  return _mm256_srli_epi16(_mm256_add_epi16(_mm256_add_epi16(_mm256_slli_epi16(b16, 8), bias), diff), 8);
}

// Eight pixels of F over B, each weighted by its own alpha.
VESK_AVX2 __m256i Mix8Own(__m256i f, __m256i b) noexcept {
  const __m256i zero = _mm256_setzero_si256();
  const __m256i flo = _mm256_unpacklo_epi8(f, zero);
  const __m256i fhi = _mm256_unpackhi_epi8(f, zero);
  const __m256i lo = MixHalf(flo, _mm256_unpacklo_epi8(b, zero), BroadcastAlpha16(flo));
  const __m256i hi = MixHalf(fhi, _mm256_unpackhi_epi8(b, zero), BroadcastAlpha16(fhi));
  return _mm256_packus_epi16(lo, hi);
}

// Mix8Own(f, 0) = (F.c * F.a + 128) shr 8.
VESK_AVX2 __m256i Mix8OwnOverZero(__m256i f) noexcept {
  const __m256i zero = _mm256_setzero_si256();
  const __m256i bias = _mm256_set1_epi16(128);
  const __m256i flo = _mm256_unpacklo_epi8(f, zero);
  const __m256i fhi = _mm256_unpackhi_epi8(f, zero);
  const __m256i lo = _mm256_srli_epi16(_mm256_add_epi16(_mm256_mullo_epi16(flo, BroadcastAlpha16(flo)), bias), 8);
  const __m256i hi = _mm256_srli_epi16(_mm256_add_epi16(_mm256_mullo_epi16(fhi, BroadcastAlpha16(fhi)), bias), 8);
  return _mm256_packus_epi16(lo, hi);
}

// keep ? b : x per pixel (keep all ones or all zeros per 32-bit lane).
VESK_AVX2 __m256i Select(__m256i keep, __m256i b, __m256i x) noexcept { return _mm256_blendv_epi8(x, b, keep); }

VESK_AVX2 bool All(__m256i mask) noexcept { return _mm256_movemask_epi8(mask) == -1; }

#undef VESK_AVX2

}  // namespace

[[gnu::target("avx2")]] void BlendRow(const TColor32* Src, TColor32* Dst, std::int32_t Count) noexcept {
  const __m256i zero = _mm256_setzero_si256();
  const __m256i opaque = _mm256_set1_epi32(255);
  std::int32_t i = 0;
  for (; i + 8 <= Count; i += 8) {
    const __m256i f = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(Src + i));
    const __m256i a = _mm256_srli_epi32(f, 24);
    const __m256i clear = _mm256_cmpeq_epi32(a, zero);
    if (All(clear)) continue;  // eight transparent pixels: nothing to do
    const __m256i solid = _mm256_cmpeq_epi32(a, opaque);
    auto* d = reinterpret_cast<__m256i*>(Dst + i);
    if (All(solid)) {  // eight opaque pixels: copy
      _mm256_storeu_si256(d, f);
      continue;
    }
    const __m256i b = _mm256_loadu_si256(d);
    if (All(_mm256_cmpeq_epi32(b, zero))) {  // over cleared pixels; transparent ones mix to 0
      _mm256_storeu_si256(d, Select(solid, f, Mix8OwnOverZero(f)));
      continue;
    }
    _mm256_storeu_si256(d, Select(clear, b, Select(solid, f, Mix8Own(f, b))));
  }
  blend_vector::BlendRowSse2(Src + i, Dst + i, Count - i);
}

[[gnu::target("avx2")]] void MergeRowVector(const TColor32* Src, TColor32* Dst, std::int32_t Count) noexcept {
  const __m256i zero = _mm256_setzero_si256();
  const __m256i opaque = _mm256_set1_epi32(255);
  const __m256i alpha = _mm256_set1_epi32(static_cast<int>(0xFF000000u));
  std::int32_t i = 0;
  for (; i + 8 <= Count; i += 8) {
    // Thirty-two transparent pixels are passed over at once.
    while (i + 32 <= Count) {
      const auto* p = reinterpret_cast<const __m256i*>(Src + i);
      const __m256i any = _mm256_or_si256(_mm256_or_si256(_mm256_loadu_si256(p), _mm256_loadu_si256(p + 1)),
                                          _mm256_or_si256(_mm256_loadu_si256(p + 2), _mm256_loadu_si256(p + 3)));
      if (!All(_mm256_cmpeq_epi32(_mm256_and_si256(any, alpha), zero))) break;
      i += 32;
    }
    if (i + 8 > Count) break;
    const __m256i f = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(Src + i));
    const __m256i clear = _mm256_cmpeq_epi32(_mm256_srli_epi32(f, 24), zero);
    if (All(clear)) continue;
    auto* d = reinterpret_cast<__m256i*>(Dst + i);
    const __m256i b = _mm256_loadu_si256(d);
    const __m256i solid_background = _mm256_cmpeq_epi32(_mm256_srli_epi32(b, 24), opaque);
    const __m256i fast = _mm256_or_si256(clear, solid_background);
    _mm256_storeu_si256(d, Select(clear, b, _mm256_or_si256(Mix8Own(f, b), alpha)));
    // The other pixels of the group (a translucent background) one by one,
    // from the background read above.
    for (int rest = ~_mm256_movemask_ps(_mm256_castsi256_ps(fast)) & 0xFF; rest != 0; rest &= rest - 1) {
      const int k = i + __builtin_ctz(static_cast<unsigned>(rest));
      Dst[k] = MergePixel(Src[k], static_cast<TColor32>(_mm256_cvtsi256_si32(
                                      _mm256_permutevar8x32_epi32(b, _mm256_set1_epi32(k - i)))));
    }
  }
  for (; i < Count; ++i) Dst[i] = MergePixel(Src[i], Dst[i]);
}

}  // namespace vesk::raster::avx2

#endif
