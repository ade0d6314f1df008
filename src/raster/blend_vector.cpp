// The vector result set, pixel forms. See blend_vector.h for the mix.
#include "raster/blend_vector.h"

#include <algorithm>

namespace vesk::raster::blend_vector {

namespace {

constexpr std::uint32_t kOpaque = 255;

constexpr std::uint32_t ClampWeight(std::uint32_t m) noexcept { return std::min<std::uint32_t>(m, 255); }

}  // namespace

// No shortcut: an opaque F is mixed with weight 255 too.
TColor32 BlendPixel(TColor32 F, TColor32 B) noexcept { return Mix(F, B, F >> 24); }

void BlendPixelInPlace(TColor32 F, TColor32& B) noexcept {
  const std::uint32_t a = F >> 24;
  if (a == 0) return;
  B = (a == kOpaque) ? F : Mix(F, B, a);
}

TColor32 BlendPixelEx(TColor32 F, TColor32 B, std::uint32_t M) noexcept {
  const std::uint32_t w = PixelExWeight(F, ClampWeight(M));
  return w == 0 ? B : Mix(F, B, w);
}

void BlendPixelExInPlace(TColor32 F, TColor32& B, std::uint32_t M) noexcept {
  if ((F >> 24) == 0) return;
  const std::uint32_t w = PixelExWeight(F, ClampWeight(M));
  if (w != 0) B = Mix(F, B, w);
}

TColor32 CombinePixel(TColor32 X, TColor32 Y, std::uint32_t W) noexcept {
  return Mix(X, Y, ClampWeight(W));
}

void CombinePixelInPlace(TColor32 X, TColor32& Y, std::uint32_t W) noexcept {
  W = ClampWeight(W);
  if (W == 0) return;
  Y = (W == kOpaque) ? X : Mix(X, Y, W);
}

void BlendRowPortable(const TColor32* Src, TColor32* Dst, std::int32_t Count) noexcept {
  for (std::int32_t i = 0; i < Count; ++i) {
    const TColor32 f = Src[i];
    const std::uint32_t a = f >> 24;
    if (a == 0) continue;
    Dst[i] = (a == kOpaque) ? f : Mix(f, Dst[i], a);
  }
}

void BlendRowExPortable(const TColor32* Src, TColor32* Dst, std::int32_t Count,
                        std::uint32_t M) noexcept {
  M = ClampWeight(M);
  for (std::int32_t i = 0; i < Count; ++i) {
    const TColor32 f = Src[i];
    if ((f >> 24) == 0) continue;
    const std::uint32_t w = RowExWeight(f, M);
    if (w != 0) Dst[i] = Mix(f, Dst[i], w);
  }
}

}  // namespace vesk::raster::blend_vector
