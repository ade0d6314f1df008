// The scalar result set. See blend_scalar.h for the arithmetic.
#include "raster/blend_scalar.h"

#include <algorithm>

namespace vesk::raster::blend_scalar {

namespace {

constexpr std::uint32_t kOpaque = 255;

constexpr std::uint32_t ClampWeight(std::uint32_t m) noexcept { return std::min<std::uint32_t>(m, 255); }

// ((M + 1) * F.a) shr 8, the weight of every master-alpha form here (the row
// form goes pixel by pixel through the in-place form).
constexpr std::uint32_t ExWeight(TColor32 F, std::uint32_t M) noexcept {
  return ((M + 1) * (F >> 24)) >> 8;
}

}  // namespace

TColor32 BlendPixel(TColor32 F, TColor32 B) noexcept {
  const std::uint32_t a = F >> 24;
  if (a == kOpaque) return F;
  if (a == 0) return B;
  return Weigh(F, B, a);
}

void BlendPixelInPlace(TColor32 F, TColor32& B) noexcept {
  const std::uint32_t a = F >> 24;
  if (a == 0) return;
  B = (a == kOpaque) ? F : Weigh(F, B, a);
}

TColor32 BlendPixelEx(TColor32 F, TColor32 B, std::uint32_t M) noexcept {
  if ((F >> 24) == 0) return B;
  const std::uint32_t w = ExWeight(F, ClampWeight(M));
  return w == 0 ? B : WeighColour(F, B, w);
}

void BlendPixelExInPlace(TColor32 F, TColor32& B, std::uint32_t M) noexcept {
  if ((F >> 24) == 0) return;
  const std::uint32_t w = ExWeight(F, ClampWeight(M));
  if (w != 0) B = WeighColour(F, B, w);
}

void BlendRow(const TColor32* Src, TColor32* Dst, std::int32_t Count) noexcept {
  for (std::int32_t i = 0; i < Count; ++i) BlendPixelInPlace(Src[i], Dst[i]);
}

void BlendRowEx(const TColor32* Src, TColor32* Dst, std::int32_t Count, std::uint32_t M) noexcept {
  for (std::int32_t i = 0; i < Count; ++i) BlendPixelExInPlace(Src[i], Dst[i], M);
}

TColor32 CombinePixel(TColor32 X, TColor32 Y, std::uint32_t W) noexcept {
  W = ClampWeight(W);
  if (W == 0) return Y;
  if (W == kOpaque) return X;
  return Weigh(X, Y, W);
}

void CombinePixelInPlace(TColor32 X, TColor32& Y, std::uint32_t W) noexcept { Y = CombinePixel(X, Y, W); }

}  // namespace vesk::raster::blend_scalar
