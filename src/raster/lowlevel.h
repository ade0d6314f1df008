#pragma once
// Filling and copying runs of 32-bit words (pixels). Both are routine
// variables bound once at start-up: a portable binding and a wide one (two
// pixels per 64-bit store for the fill, chosen when the processor has MMX).
// The bindings give identical results, so a call made by another static
// initialiser before the binding runs is served correctly by the portable
// routine the variables are constant-initialised with.
#include <cstdint>

#include "raster/color32.h"

namespace vesk::raster {

// Writes Value into Count consecutive words from Dst; Count <= 0 writes
// nothing.
using TFillLongword = void (*)(TColor32* Dst, std::int32_t Count, TColor32 Value);
// Copies Count words from Src to Dst; Count <= 0 or Src == Dst does nothing.
// Overlapping runs are copied as if through a temporary buffer.
using TMoveLongword = void (*)(const TColor32* Src, TColor32* Dst, std::int32_t Count);

extern TFillLongword FillLongword;
extern TMoveLongword MoveLongword;

// The two bindings of each, for tests and benchmarks.
namespace lowlevel {
void FillLongwordPortable(TColor32* Dst, std::int32_t Count, TColor32 Value) noexcept;
void FillLongwordWide(TColor32* Dst, std::int32_t Count, TColor32 Value) noexcept;
void MoveLongwordPortable(const TColor32* Src, TColor32* Dst, std::int32_t Count) noexcept;
void MoveLongwordWide(const TColor32* Src, TColor32* Dst, std::int32_t Count) noexcept;
}  // namespace lowlevel

}  // namespace vesk::raster
