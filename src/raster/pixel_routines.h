#pragma once
// The pixel routines of the process, in one table: the blend family and the
// merge family in their six shapes, each shape indexed by TCombineMode
// (cmBlend: the bound blend result set; cmMerge: the merge family), the
// weighted mix, and filling and copying runs of words. Drawing code indexes
// the table with the source bitmap's CombineMode; blend.h, merge.h and
// lowlevel.h call through it under the routines' own names.
//
// The table is made once, on its first use: from the plain routines (the
// vector result set, pixel by pixel in general-purpose registers), then
// overridden per feature of the processor (cpu.h): without MMX the blend
// family is the scalar result set and the merge row goes pixel by pixel
// (its opaque-background case follows the blend set); with SSE2 the rows
// run four pixels per pass, with AVX2 eight, and the fill stores wide. Every
// override gives the plain routine's bytes, except the scalar set, whose
// bytes are its own (docs/rounding.md). The routines are pure: once the
// table is made they may run on any number of threads.
#include <cstdint>

#include "raster/color32.h"
#include "raster/cpu.h"
#include "raster/modes.h"

namespace vesk::raster {

// F is the foreground (source) colour, B the background (destination), M a
// master alpha 0..255 (larger values are taken as 255), Count a pixel count
// (0 or less processes nothing). Rows must not overlap partially (Src == Dst
// is fine).
using TBlendReg = TColor32 (*)(TColor32 F, TColor32 B);
using TBlendMem = void (*)(TColor32 F, TColor32& B);
using TBlendRegEx = TColor32 (*)(TColor32 F, TColor32 B, std::uint32_t M);
using TBlendMemEx = void (*)(TColor32 F, TColor32& B, std::uint32_t M);
using TBlendLine = void (*)(const TColor32* Src, TColor32* Dst, std::int32_t Count);
using TBlendLineEx = void (*)(const TColor32* Src, TColor32* Dst, std::int32_t Count, std::uint32_t M);
// CombinePixel(X, Y, W) mixes X over Y with weight W 0..255 (larger: 255).
using TCombineReg = TColor32 (*)(TColor32 X, TColor32 Y, std::uint32_t W);
using TCombineMem = void (*)(TColor32 X, TColor32& Y, std::uint32_t W);
// Writes Value into Count consecutive words from Dst; Count <= 0 writes
// nothing.
using TFillLongword = void (*)(TColor32* Dst, std::int32_t Count, TColor32 Value);
// Copies Count words from Src to Dst; Count <= 0 or Src == Dst does nothing.
// Overlapping runs are copied as if through a temporary buffer.
using TMoveLongword = void (*)(const TColor32* Src, TColor32* Dst, std::int32_t Count);

// The two result sets of the blend family.
enum class TBlendImplementation : std::uint8_t { biVector = 0, biScalar = 1 };

// The index of a combine mode's entry in each shape of the table.
[[nodiscard]] constexpr int Column(TCombineMode mode) noexcept { return static_cast<int>(mode); }

struct TPixelRoutines {
  // Which result set the cmBlend column holds.
  TBlendImplementation Blend = TBlendImplementation::biVector;
  // [cmBlend] BlendPixel, [cmMerge] MergePixel, and so on for each shape.
  TBlendReg Pixel[2];
  TBlendMem PixelInPlace[2];
  TBlendRegEx PixelEx[2];
  TBlendMemEx PixelExInPlace[2];
  TBlendLine Row[2];
  TBlendLineEx RowEx[2];
  TCombineReg Combine;
  TCombineMem CombineInPlace;
  TFillLongword Fill;
  TMoveLongword Move;
};

// The table for a processor with these CPUID results.
[[nodiscard]] TPixelRoutines MakePixelRoutines(const TCpuidResults& cpu) noexcept;

// The process's table, made for the running processor on the first call.
[[nodiscard]] TPixelRoutines& PixelRoutines() noexcept;

// For tests and benchmarks that compare both result sets: the table made
// anew with the given blend set (the scalar set as on a processor without
// MMX), and the table for the running processor again. Not thread-safe.
void BindBlendImplementation(TBlendImplementation impl) noexcept;
void RestoreStartupBlendBinding() noexcept;

[[nodiscard]] inline TBlendImplementation BoundBlendImplementation() noexcept { return PixelRoutines().Blend; }
// Whether the vector result set is bound (true on every x86-64 processor,
// which always has MMX).
[[nodiscard]] inline bool BlendVectorActive() noexcept {
  return BoundBlendImplementation() == TBlendImplementation::biVector;
}

}  // namespace vesk::raster
