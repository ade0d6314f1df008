// The merge family. See merge.h; docs/rounding.md explains the lookups.
#include "raster/merge.h"

#include <algorithm>

#include "raster/blend.h"
#include "raster/blend_tables.h"
#include "raster/blend_vector.h"

#if defined(__SSE2__)
#include <emmintrin.h>

#include "raster/blend_vector_sse2.h"
#endif

namespace vesk::raster {

namespace {

// One colour channel (at bit offset shift) of the merge. Bp is the background
// channel weighted by its alpha; the foreground moves it towards F.c by
// F.a/255 of the distance, giving x, the result channel weighted by the
// result alpha (0 <= x <= ra); dividing by ra gives the channel.
inline std::uint32_t MergeChannel(TColor32 F, TColor32 B, std::uint32_t fa, std::uint32_t ba,
                                  std::uint32_t ra, unsigned shift) noexcept {
  const std::uint32_t fc = (F >> shift) & 0xFFu;
  const std::uint32_t bp = ProductTable[ba][(B >> shift) & 0xFFu];
  const std::uint32_t x =
      fc >= bp ? bp + ProductTable[fa][fc - bp] : bp - ProductTable[fa][bp - fc];
  return static_cast<std::uint32_t>(QuotientTable[ra][x]) << shift;
}

// The master alpha scales the foreground alpha: F.a := P[M][F.a].
inline TColor32 ScaleAlpha(TColor32 F, std::uint32_t M) noexcept {
  const std::uint32_t a = ProductTable[std::min<std::uint32_t>(M, 255)][F >> 24];
  return (F & 0x00FFFFFFu) | (a << 24);
}

}  // namespace

#if defined(__SSE2__)

namespace {

// Rows four pixels at a time while the vector blend set is bound. Where every
// pixel of a group either has a transparent foreground (the background
// stays) or an opaque background (the bound BlendPixel, that is the vector
// mix with the foreground's alpha, made opaque), the group is done in SSE2
// registers; any other group goes pixel by pixel through MergePixel.
void MergeRowSse2Vector(const TColor32* Src, TColor32* Dst, std::int32_t Count) noexcept {
  using namespace blend_vector::sse2;
  const __m128i zero = _mm_setzero_si128();
  const __m128i opaque = _mm_set1_epi32(255);
  const __m128i alpha = _mm_set1_epi32(static_cast<int>(0xFF000000u));
  std::int32_t i = 0;
  for (; i + 4 <= Count; i += 4) {
    // Sixteen transparent pixels are passed over at once.
    while (i + 16 <= Count) {
      const auto* p = reinterpret_cast<const __m128i*>(Src + i);
      const __m128i any = _mm_or_si128(_mm_or_si128(_mm_loadu_si128(p), _mm_loadu_si128(p + 1)),
                                       _mm_or_si128(_mm_loadu_si128(p + 2), _mm_loadu_si128(p + 3)));
      if (_mm_movemask_epi8(_mm_cmpeq_epi32(_mm_and_si128(any, alpha), zero)) != 0xFFFF) break;
      i += 16;
    }
    if (i + 4 > Count) break;
    const __m128i f = _mm_loadu_si128(reinterpret_cast<const __m128i*>(Src + i));
    const __m128i clear = _mm_cmpeq_epi32(_mm_srli_epi32(f, 24), zero);
    if (_mm_movemask_epi8(clear) == 0xFFFF) continue;
    auto* d = reinterpret_cast<__m128i*>(Dst + i);
    const __m128i b = _mm_loadu_si128(d);
    const __m128i solid_background = _mm_cmpeq_epi32(_mm_srli_epi32(b, 24), opaque);
    const int fast = _mm_movemask_ps(_mm_castsi128_ps(_mm_or_si128(clear, solid_background)));
    if (fast == 0xF) {
      _mm_storeu_si128(d, Select(clear, b, _mm_or_si128(Mix4Own(f, b), alpha)));
      continue;
    }
    for (std::int32_t k = i; k < i + 4; ++k) Dst[k] = MergePixel(Src[k], Dst[k]);
  }
  for (; i < Count; ++i) Dst[i] = MergePixel(Src[i], Dst[i]);
}

}  // namespace

// The vector groups are the vector set's mix; with the scalar set bound the
// row goes pixel by pixel.
void MergeRowSse2(const TColor32* Src, TColor32* Dst, std::int32_t Count) noexcept {
  if (BlendVectorActive()) {
    MergeRowSse2Vector(Src, Dst, Count);
  } else {
    MergeRowPortable(Src, Dst, Count);
  }
}

#endif


TColor32 MergePixel(TColor32 F, TColor32 B) noexcept {
  const std::uint32_t fa = F >> 24;
  if (fa == 0) return B;
  const std::uint32_t ba = B >> 24;
  if (ba == 255) return BlendPixel(F, B) | 0xFF000000u;
  if (fa == 255 || ba == 0) return F;
  // Fa + Ba - Fa*Ba/255, in 1..255 since both alphas are in 1..254.
  const std::uint32_t ra = fa + ba - ProductTable[ba][fa];
  return (ra << 24) | MergeChannel(F, B, fa, ba, ra, 16) | MergeChannel(F, B, fa, ba, ra, 8) |
         MergeChannel(F, B, fa, ba, ra, 0);
}

void MergePixelInPlace(TColor32 F, TColor32& B) noexcept { B = MergePixel(F, B); }

TColor32 MergePixelEx(TColor32 F, TColor32 B, std::uint32_t M) noexcept {
  return MergePixel(ScaleAlpha(F, M), B);
}

void MergePixelExInPlace(TColor32 F, TColor32& B, std::uint32_t M) noexcept {
  B = MergePixel(ScaleAlpha(F, M), B);
}

void MergeRowPortable(const TColor32* Src, TColor32* Dst, std::int32_t Count) noexcept {
  for (std::int32_t i = 0; i < Count; ++i) Dst[i] = MergePixel(Src[i], Dst[i]);
}

void MergeRow(const TColor32* Src, TColor32* Dst, std::int32_t Count) noexcept {
  PixelRoutines().Row[Column(cmMerge)](Src, Dst, Count);
}

void MergeRowEx(const TColor32* Src, TColor32* Dst, std::int32_t Count, std::uint32_t M) noexcept {
  M = std::min<std::uint32_t>(M, 255);
  if (M == 255) {  // P[255][F.a] = F.a: the plain row
    MergeRow(Src, Dst, Count);
    return;
  }
  for (std::int32_t i = 0; i < Count; ++i) Dst[i] = MergePixel(ScaleAlpha(Src[i], M), Dst[i]);
}

}  // namespace vesk::raster
