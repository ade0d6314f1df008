// The vector result set, row forms: four pixels per SSE2 pass where the build
// targets SSE2, pixel by pixel otherwise. Both give the bytes of
// BlendRowPortable / BlendRowExPortable.
#include <algorithm>

#include "raster/blend_tables.h"
#include "raster/blend_vector.h"

#if defined(__SSE2__)
#include <emmintrin.h>

#include "raster/blend_vector_sse2.h"
#define VESK_BLEND_SSE2 1
#endif

namespace vesk::raster::blend_vector {

#if defined(VESK_BLEND_SSE2)

using namespace sse2;

void BlendRowSse2(const TColor32* Src, TColor32* Dst, std::int32_t Count) noexcept {
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
    // Over four cleared pixels (a freshly cleared target) the mix needs no
    // background terms, and a transparent pixel mixes to 0, which is what
    // it leaves there.
    if (_mm_movemask_epi8(_mm_cmpeq_epi32(b, zero)) == 0xFFFF) {
      _mm_storeu_si128(d, Select(solid, f, Mix4OwnOverZero(f)));
      continue;
    }
    _mm_storeu_si128(d, Select(clear, b, Select(solid, f, Mix4Own(f, b))));
  }
  BlendRowPortable(Src + i, Dst + i, Count - i);
}

void BlendRowExSse2(const TColor32* Src, TColor32* Dst, std::int32_t Count, std::uint32_t M) noexcept {
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

#else

void BlendRowSse2(const TColor32* Src, TColor32* Dst, std::int32_t Count) noexcept {
  BlendRowPortable(Src, Dst, Count);
}

void BlendRowExSse2(const TColor32* Src, TColor32* Dst, std::int32_t Count, std::uint32_t M) noexcept {
  BlendRowExPortable(Src, Dst, Count, M);
}

#endif

}  // namespace vesk::raster::blend_vector
