#pragma once
// The vector mix in SSE2 registers, shared by the blend and merge rows:
//
//   Mix(F, B, w).c = ((B.c shl 8) + 128 + (F.c - B.c) * w) shr 8
//
// in 16-bit lanes that wrap modulo 65536, with a logical shift. The exact
// value F.c * w + B.c * (256 - w) + 128 lies in 128..65408, so the wrapped
// sum equals it and the shifted lane is the byte of the mix (blend_vector.h).
#include <emmintrin.h>

namespace vesk::raster::blend_vector::sse2 {

// Each pixel's alpha lane (lane 3 of each half) in all four of its lanes.
[[gnu::always_inline]] inline __m128i BroadcastAlpha16(__m128i p16) noexcept {
  return _mm_shufflehi_epi16(_mm_shufflelo_epi16(p16, 0xFF), 0xFF);
}

// Two pixels in 16-bit lanes mixed with the weights in w16 (already
// broadcast to all lanes of a pixel).
[[gnu::always_inline]] inline __m128i MixHalf(__m128i f16, __m128i b16, __m128i w16) noexcept {
  const __m128i bias = _mm_set1_epi16(128);
  const __m128i diff = _mm_mullo_epi16(_mm_sub_epi16(f16, b16), w16);
  return _mm_srli_epi16(_mm_add_epi16(_mm_add_epi16(_mm_slli_epi16(b16, 8), bias), diff), 8);
}

// Four pixels of F over four of B, each with the weight in the alpha byte of
// the matching pixel of wpix.
[[gnu::always_inline]] inline __m128i Mix4(__m128i f, __m128i b, __m128i wpix) noexcept {
  const __m128i zero = _mm_setzero_si128();
  const __m128i lo = MixHalf(_mm_unpacklo_epi8(f, zero), _mm_unpacklo_epi8(b, zero),
                             BroadcastAlpha16(_mm_unpacklo_epi8(wpix, zero)));
  const __m128i hi = MixHalf(_mm_unpackhi_epi8(f, zero), _mm_unpackhi_epi8(b, zero),
                             BroadcastAlpha16(_mm_unpackhi_epi8(wpix, zero)));
  return _mm_packus_epi16(lo, hi);  // every lane is 0..255: packing is exact
}

// Mix4(f, b, f): each pixel weighted by its own alpha.
[[gnu::always_inline]] inline __m128i Mix4Own(__m128i f, __m128i b) noexcept {
  const __m128i zero = _mm_setzero_si128();
  const __m128i flo = _mm_unpacklo_epi8(f, zero);
  const __m128i fhi = _mm_unpackhi_epi8(f, zero);
  const __m128i lo = MixHalf(flo, _mm_unpacklo_epi8(b, zero), BroadcastAlpha16(flo));
  const __m128i hi = MixHalf(fhi, _mm_unpackhi_epi8(b, zero), BroadcastAlpha16(fhi));
  return _mm_packus_epi16(lo, hi);
}

// Mix4Own(f, 0): with B = 0 the mix is (F.c * F.a + 128) shr 8, at most
// 65153, so the 16-bit lanes do not wrap.
[[gnu::always_inline]] inline __m128i Mix4OwnOverZero(__m128i f) noexcept {
  const __m128i zero = _mm_setzero_si128();
  const __m128i bias = _mm_set1_epi16(128);
  const __m128i flo = _mm_unpacklo_epi8(f, zero);
  const __m128i fhi = _mm_unpackhi_epi8(f, zero);
  const __m128i lo = _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(flo, BroadcastAlpha16(flo)), bias), 8);
  const __m128i hi = _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(fhi, BroadcastAlpha16(fhi)), bias), 8);
  return _mm_packus_epi16(lo, hi);
}

// keep ? b : x, per 32-bit lane (keep is all ones or all zeros per lane).
[[gnu::always_inline]] inline __m128i Select(__m128i keep, __m128i b, __m128i x) noexcept {
  return _mm_or_si128(_mm_and_si128(keep, b), _mm_andnot_si128(keep, x));
}

}  // namespace vesk::raster::blend_vector::sse2
