#pragma once
// A top-down DIB section selected into its own memory device context: the
// pixel store of every surface and platform bitmap on Windows.
#include <windows.h>

#include <cstdint>

namespace vesk::platform {

struct DibSection {
  HBITMAP bitmap = nullptr;
  HDC dc = nullptr;
  void* bits = nullptr;
};

// Creates the section (bit_count bits a pixel, BI_RGB) and its memory DC and
// selects one into the other. Raises SurfaceError with the DIB, DC or select
// error text and releases what was already made; the size is checked first.
[[nodiscard]] DibSection CreateSelectedDibSection(std::int32_t width, std::int32_t height, WORD bit_count);

}  // namespace vesk::platform
