// The merge family. See merge.h; docs/rounding.md explains the lookups.
#include "raster/merge.h"

#include <algorithm>

#include "raster/blend.h"
#include "raster/blend_tables.h"

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

void MergeRow(const TColor32* Src, TColor32* Dst, std::int32_t Count) noexcept {
  for (std::int32_t i = 0; i < Count; ++i) Dst[i] = MergePixel(Src[i], Dst[i]);
}

void MergeRowEx(const TColor32* Src, TColor32* Dst, std::int32_t Count, std::uint32_t M) noexcept {
  M = std::min<std::uint32_t>(M, 255);
  for (std::int32_t i = 0; i < Count; ++i) Dst[i] = MergePixel(ScaleAlpha(Src[i], M), Dst[i]);
}

}  // namespace vesk::raster
