// The vector result set, row forms: four pixels per SSE2 pass where the build
// targets SSE2, pixel by pixel otherwise. Both give the bytes of
// BlendRowPortable / BlendRowExPortable.
#include <algorithm>

#include "raster/blend_tables.h"
#include "raster/blend_vector.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#define VESK_BLEND_SSE2 1
#endif

namespace vesk::raster::blend_vector {

#if defined(VESK_BLEND_SSE2)

namespace {

// Two pixels unpacked to 16-bit lanes, mixed with the weight held in each
// pixel's alpha lane of wpix:
//   ((B.c shl 8) + 128 + (F.c - B.c) * w) shr 8
// in 16-bit lanes that wrap modulo 65536, with a logical shift. The exact
// value F.c * w + B.c * (256 - w) + 128 lies in 128..65408, so the wrapped
// sum equals it and the shifted lane is the byte of the mix.
inline __m128i MixHalf(__m128i f16, __m128i b16, __m128i w16) noexcept {
  const __m128i bias = _mm_set1_epi64x(static_cast<long long>(RoundingBias));
  // Broadcast each pixel's alpha lane (lane 3 of each half) to its four lanes.
  const __m128i w = _mm_shufflehi_epi16(_mm_shufflelo_epi16(w16, 0xFF), 0xFF);
  const __m128i diff = _mm_mullo_epi16(_mm_sub_epi16(f16, b16), w);
  return _mm_srli_epi16(_mm_add_epi16(_mm_add_epi16(_mm_slli_epi16(b16, 8), bias), diff), 8);
}

// Four pixels of F over four of B, each with the weight in the alpha byte of
// the matching pixel of wpix.
inline __m128i Mix4(__m128i f, __m128i b, __m128i wpix) noexcept {
  const __m128i zero = _mm_setzero_si128();
  const __m128i lo = MixHalf(_mm_unpacklo_epi8(f, zero), _mm_unpacklo_epi8(b, zero),
                             _mm_unpacklo_epi8(wpix, zero));
  const __m128i hi = MixHalf(_mm_unpackhi_epi8(f, zero), _mm_unpackhi_epi8(b, zero),
                             _mm_unpackhi_epi8(wpix, zero));
  return _mm_packus_epi16(lo, hi);  // every lane is 0..255: packing is exact
}

// keep ? b : x, per 32-bit lane (keep is all ones or all zeros per lane).
inline __m128i Select(__m128i keep, __m128i b, __m128i x) noexcept {
  return _mm_or_si128(_mm_and_si128(keep, b), _mm_andnot_si128(keep, x));
}

}  // namespace

void BlendRow(const TColor32* Src, TColor32* Dst, std::int32_t Count) noexcept {
  const __m128i zero = _mm_setzero_si128();
  const __m128i opaque = _mm_set1_epi32(255);
  std::int32_t i = 0;
  for (; i + 4 <= Count; i += 4) {
    const __m128i f = _mm_loadu_si128(reinterpret_cast<const __m128i*>(Src + i));
    const __m128i a = _mm_srli_epi32(f, 24);
    const __m128i clear = _mm_cmpeq_epi32(a, zero);
    const int clear_mask = _mm_movemask_epi8(clear);
    if (clear_mask == 0xFFFF) continue;  // four transparent pixels: nothing to do
    const __m128i solid = _mm_cmpeq_epi32(a, opaque);
    __m128i* d = reinterpret_cast<__m128i*>(Dst + i);
    if (_mm_movemask_epi8(solid) == 0xFFFF) {  // four opaque pixels: copy
      _mm_storeu_si128(d, f);
      continue;
    }
    const __m128i b = _mm_loadu_si128(d);
    const __m128i mixed = Select(solid, f, Mix4(f, b, f));
    _mm_storeu_si128(d, Select(clear, b, mixed));
  }
  BlendRowPortable(Src + i, Dst + i, Count - i);
}

void BlendRowEx(const TColor32* Src, TColor32* Dst, std::int32_t Count, std::uint32_t M) noexcept {
  M = std::min<std::uint32_t>(M, 255);
  const __m128i zero = _mm_setzero_si128();
  const __m128i one = _mm_set1_epi32(1);
  const __m128i master = _mm_set1_epi32(static_cast<int>(M));
  std::int32_t i = 0;
  for (; i + 4 <= Count; i += 4) {
    const __m128i f = _mm_loadu_si128(reinterpret_cast<const __m128i*>(Src + i));
    const __m128i a = _mm_srli_epi32(f, 24);
    // w = ((F.a + 1) * M) shr 8. The product is at most 256 * 255 = 65280 and
    // the upper 16 bits of each 32-bit lane are zero on both sides, so a
    // 16-bit multiply gives the whole product.
    const __m128i w = _mm_srli_epi32(_mm_mullo_epi16(_mm_add_epi32(a, one), master), 8);
    // F.a = 0 gives w = 0 as well ((0 + 1) * M shr 8 = 0), so one test keeps
    // both kinds of pixel unchanged.
    const __m128i keep = _mm_cmpeq_epi32(w, zero);
    if (_mm_movemask_epi8(keep) == 0xFFFF) continue;
    __m128i* d = reinterpret_cast<__m128i*>(Dst + i);
    const __m128i b = _mm_loadu_si128(d);
    _mm_storeu_si128(d, Select(keep, b, Mix4(f, b, _mm_slli_epi32(w, 24))));
  }
  BlendRowExPortable(Src + i, Dst + i, Count - i, M);
}

bool RowsUseSse2() noexcept { return true; }

#else

void BlendRow(const TColor32* Src, TColor32* Dst, std::int32_t Count) noexcept {
  BlendRowPortable(Src, Dst, Count);
}

void BlendRowEx(const TColor32* Src, TColor32* Dst, std::int32_t Count, std::uint32_t M) noexcept {
  BlendRowExPortable(Src, Dst, Count, M);
}

bool RowsUseSse2() noexcept { return false; }

#endif

}  // namespace vesk::raster::blend_vector
