#pragma once
// The program's value types and the window system's own, converted in one
// place: points, sizes and rectangles (the same fields in the same order)
// and the four-byte blend record.
#include <windows.h>

#include <cstring>

#include "base/blend_function.h"
#include "base/geometry.h"

namespace vesk::platform::win32 {

[[nodiscard]] inline POINT ToPOINT(TPoint p) noexcept { return POINT{p.X, p.Y}; }
[[nodiscard]] inline TPoint FromPOINT(const POINT& p) noexcept { return TPoint{p.x, p.y}; }
[[nodiscard]] inline SIZE ToSIZE(TSize s) noexcept { return SIZE{s.cx, s.cy}; }
[[nodiscard]] inline RECT ToRECT(const TRect& r) noexcept { return RECT{r.Left, r.Top, r.Right, r.Bottom}; }
[[nodiscard]] inline TRect FromRECT(const RECT& r) noexcept { return TRect{r.left, r.top, r.right, r.bottom}; }

// The records have the same four bytes in the same order.
static_assert(sizeof(BLENDFUNCTION) == sizeof(TBlendFunction));
[[nodiscard]] inline BLENDFUNCTION ToBLENDFUNCTION(const TBlendFunction& b) noexcept {
  BLENDFUNCTION f;
  std::memcpy(&f, &b, sizeof(f));
  return f;
}

}  // namespace vesk::platform::win32
