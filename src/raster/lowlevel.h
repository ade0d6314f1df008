#pragma once
// Filling and copying runs of 32-bit words (pixels), through the process's
// pixel-routine table (pixel_routines.h): a portable form and a wide one
// (sixteen-byte stores for the fill where the build targets SSE2, chosen
// when the processor has MMX); both give the same words.
#include <cstdint>

#include "raster/color32.h"
#include "raster/pixel_routines.h"

namespace vesk::raster {

inline void FillLongword(TColor32* Dst, std::int32_t Count, TColor32 Value) {
  PixelRoutines().Fill(Dst, Count, Value);
}
inline void MoveLongword(const TColor32* Src, TColor32* Dst, std::int32_t Count) {
  PixelRoutines().Move(Src, Dst, Count);
}

// The two forms of each.
namespace lowlevel {
void FillLongwordPortable(TColor32* Dst, std::int32_t Count, TColor32 Value) noexcept;
void FillLongwordWide(TColor32* Dst, std::int32_t Count, TColor32 Value) noexcept;
void MoveLongwordPortable(const TColor32* Src, TColor32* Dst, std::int32_t Count) noexcept;
void MoveLongwordWide(const TColor32* Src, TColor32* Dst, std::int32_t Count) noexcept;
}  // namespace lowlevel

}  // namespace vesk::raster
