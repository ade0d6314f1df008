#pragma once
// Combining two TColor32 values, to the byte. Two families exist, one per
// TCombineMode: the blend family (cmBlend: the foreground is laid over the
// background with the foreground alpha as weight, all four channels mixed)
// and the merge family (cmMerge, see merge.h: two translucent colours are
// composited). Each family comes in six shapes; drawing code indexes the
// process's pixel-routine table (pixel_routines.h) with the source bitmap's
// CombineMode instead of naming a family.
//
// The blend family has two result sets, chosen once per process by the
// processor test: the vector one (the reference; bound whenever the
// processor has MMX) and the scalar one. Their bytes differ in rounding and
// in the result alpha of the master-alpha forms; docs/rounding.md explains
// both. The functions below call the bound set.
#include <cstdint>

#include "raster/color32.h"
#include "raster/merge.h"
#include "raster/modes.h"
#include "raster/pixel_routines.h"

namespace vesk::raster {

[[nodiscard]] inline TColor32 BlendPixel(TColor32 F, TColor32 B) noexcept {
  return PixelRoutines().Pixel[Column(cmBlend)](F, B);
}
inline void BlendPixelInPlace(TColor32 F, TColor32& B) noexcept { PixelRoutines().PixelInPlace[Column(cmBlend)](F, B); }
[[nodiscard]] inline TColor32 BlendPixelEx(TColor32 F, TColor32 B, std::uint32_t M) noexcept {
  return PixelRoutines().PixelEx[Column(cmBlend)](F, B, M);
}
inline void BlendPixelExInPlace(TColor32 F, TColor32& B, std::uint32_t M) noexcept {
  PixelRoutines().PixelExInPlace[Column(cmBlend)](F, B, M);
}
inline void BlendRow(const TColor32* Src, TColor32* Dst, std::int32_t Count) noexcept {
  PixelRoutines().Row[Column(cmBlend)](Src, Dst, Count);
}
inline void BlendRowEx(const TColor32* Src, TColor32* Dst, std::int32_t Count, std::uint32_t M) noexcept {
  PixelRoutines().RowEx[Column(cmBlend)](Src, Dst, Count, M);
}
// CombinePixel(X, Y, W) mixes X over Y with weight W 0..255 (larger: 255).
[[nodiscard]] inline TColor32 CombinePixel(TColor32 X, TColor32 Y, std::uint32_t W) noexcept {
  return PixelRoutines().Combine(X, Y, W);
}
inline void CombinePixelInPlace(TColor32 X, TColor32& Y, std::uint32_t W) noexcept { PixelRoutines().CombineInPlace(X, Y, W); }

}  // namespace vesk::raster
