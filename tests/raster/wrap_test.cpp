#include <gtest/gtest.h>

#include <algorithm>
#include <array>

#include "raster/bitmap32.h"
#include "raster/wrap.h"

namespace vesk::raster {
namespace {

// Plain definitions: repeat is v - lo taken modulo d (always non-negative);
// mirror repeats the range followed by its reverse, a period of 2d.
std::int64_t EuclidMod(std::int64_t a, std::int64_t m) { return ((a % m) + m) % m; }

std::int32_t PlainRepeat(std::int64_t v, std::int64_t lo, std::int64_t hi) {
  return static_cast<std::int32_t>(lo + EuclidMod(v - lo, hi - lo + 1));
}

std::int32_t PlainMirror(std::int64_t v, std::int64_t lo, std::int64_t hi) {
  const std::int64_t d = hi - lo + 1;
  const std::int64_t m = EuclidMod(v - lo, 2 * d);
  return static_cast<std::int32_t>(m < d ? lo + m : lo + 2 * d - 1 - m);
}

TEST(Wrap, RulesAgreeWithPlainDefinitions) {
  const std::pair<int, int> ranges[] = {{0, 0}, {0, 9}, {3, 7}, {-5, 2}, {-20, -11}, {0, 1}};
  for (auto [lo, hi] : ranges) {
    for (int v = -70; v <= 70; ++v) {
      ASSERT_EQ(WrapClamp(v, lo, hi), std::clamp(v, lo, hi)) << v << " in " << lo << ".." << hi;
      ASSERT_EQ(WrapRepeat(v, lo, hi), PlainRepeat(v, lo, hi)) << v << " in " << lo << ".." << hi;
      ASSERT_EQ(WrapMirror(v, lo, hi), PlainMirror(v, lo, hi)) << v << " in " << lo << ".." << hi;
    }
  }
  // The ends of the 32-bit range do not overflow.
  for (std::int32_t v : {INT32_MIN, INT32_MIN + 1, INT32_MAX - 1, INT32_MAX}) {
    EXPECT_EQ(WrapRepeat(v, -3, 12), PlainRepeat(v, -3, 12)) << v;
    EXPECT_EQ(WrapMirror(v, -3, 12), PlainMirror(v, -3, 12)) << v;
    EXPECT_EQ(WrapMirror(v, INT32_MIN, INT32_MAX), v);
  }
}

TEST(Wrap, PixelWFoldsIntoTheClipRect) {
  TBitmap32 b;
  b.SetSize(5, 3);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x) b.SetPixel(x, y, static_cast<TColor32>(y * 10 + x));
  b.SetClipRect(TRect{1, 0, 4, 2});  // columns 1..3, rows 0..1
  const std::pair<TWrapMode, std::array<TColor32, 4>> cases[] = {
      // reads at (0, 0), (4, 1), (-1, 2), (7, -1)
      {wmClamp, {1, 13, 11, 3}},
      {wmRepeat, {3, 11, 2, 11}},
      {wmMirror, {1, 13, 12, 1}},
  };
  for (const auto& [mode, want] : cases) {
    b.SetWrapMode(mode);
    EXPECT_EQ(b.PixelW(0, 0), want[0]) << int(mode);
    EXPECT_EQ(b.PixelW(4, 1), want[1]) << int(mode);
    EXPECT_EQ(b.PixelW(-1, 2), want[2]) << int(mode);
    EXPECT_EQ(b.PixelW(7, -1), want[3]) << int(mode);
  }
  TBitmap32 empty;
  empty.SetOuterColor(0xABCDu);
  EXPECT_EQ(empty.PixelW(3, 3), 0xABCDu);
}

}  // namespace
}  // namespace vesk::raster
