#pragma once
// The program's one geometry vocabulary: points, sizes and rectangles in
// whole pixels, and points and rectangles in single-precision floats.
// Rectangles are left, top, right, bottom with right and bottom exclusive;
// a rectangle is empty when left >= right or top >= bottom. The window
// system's own POINT, SIZE and RECT are converted in one place, at the
// Windows backend.
#include <algorithm>
#include <cstdint>

namespace vesk {

struct TPoint {
  std::int32_t X = 0;
  std::int32_t Y = 0;
  friend constexpr bool operator==(const TPoint&, const TPoint&) = default;
};

struct TSize {
  std::int32_t cx = 0;
  std::int32_t cy = 0;
  friend constexpr bool operator==(const TSize&, const TSize&) = default;
};

struct TRect {
  std::int32_t Left = 0;
  std::int32_t Top = 0;
  std::int32_t Right = 0;
  std::int32_t Bottom = 0;
  friend constexpr bool operator==(const TRect&, const TRect&) = default;
};

[[nodiscard]] constexpr bool IsRectEmpty(const TRect& r) noexcept {
  return r.Left >= r.Right || r.Top >= r.Bottom;
}

// Larger left and top, smaller right and bottom; a result with right < left
// or bottom < top becomes (0, 0, 0, 0). (right == left stays as it is: an
// empty but positioned rectangle.)
[[nodiscard]] constexpr TRect IntersectRect(const TRect& a, const TRect& b) noexcept {
  TRect r{std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right),
          std::min(a.Bottom, b.Bottom)};
  if (r.Right < r.Left || r.Bottom < r.Top) return TRect{};
  return r;
}

// The smallest rectangle holding both (smaller left and top, larger right
// and bottom); callers pass non-empty rectangles.
[[nodiscard]] constexpr TRect UnionRect(const TRect& a, const TRect& b) noexcept {
  return TRect{std::min(a.Left, b.Left), std::min(a.Top, b.Top), std::max(a.Right, b.Right),
               std::max(a.Bottom, b.Bottom)};
}

[[nodiscard]] constexpr std::int32_t RectWidth(const TRect& r) noexcept { return r.Right - r.Left; }
[[nodiscard]] constexpr std::int32_t RectHeight(const TRect& r) noexcept { return r.Bottom - r.Top; }

// Whether the point lies in the rectangle (right and bottom exclusive).
[[nodiscard]] constexpr bool PointInRect(const TRect& r, TPoint p) noexcept {
  return p.X >= r.Left && p.X < r.Right && p.Y >= r.Top && p.Y < r.Bottom;
}

struct TFloatPoint {
  float X = 0.0f;
  float Y = 0.0f;
  friend constexpr bool operator==(const TFloatPoint&, const TFloatPoint&) = default;
};

struct TFloatRect {
  float Left = 0.0f;
  float Top = 0.0f;
  float Right = 0.0f;
  float Bottom = 0.0f;
  friend constexpr bool operator==(const TFloatRect&, const TFloatRect&) = default;
};

static_assert(IntersectRect({0, 0, 10, 10}, {20, 20, 30, 30}) == TRect{});
static_assert(IntersectRect({0, 0, 10, 10}, {5, -5, 30, 7}) == TRect{5, 0, 10, 7});

}  // namespace vesk
