#include <gtest/gtest.h>

#include "bitmap_events.h"
#include "platform/sys_color.h"
#include "raster/bitmap32.h"

namespace vesk::raster {
namespace {

using testing::EventLog;
using Lines = std::vector<std::string>;

// Counts the pixels of the bitmap that equal value inside r and outside r.
std::pair<int, int> CountInOut(const TBitmap32& b, const TRect& r, TColor32 value) {
  int in = 0, out = 0;
  for (int y = 0; y < b.Height(); ++y) {
    for (int x = 0; x < b.Width(); ++x) {
      const bool inside = x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom;
      if (b.Pixel(x, y) == value) ++(inside ? in : out);
    }
  }
  return {in, out};
}

TEST(Bitmap32Fill, ClearOnEmptyBitmapDoesNothing) {
  TBitmap32 b;
  EventLog log(b);
  b.Clear(0xFFFFFFFFu);
  b.SetSize(0, 4);
  log.Clear();
  b.Clear(0xFFFFFFFFu);
  EXPECT_TRUE(log.lines.empty());
}

TEST(Bitmap32Fill, ClearFillsEverythingWithOneReport) {
  TBitmap32 b;
  b.SetSize(5, 4);
  EventLog log(b);
  b.Clear(0x80FF0010u);
  EXPECT_EQ(CountInOut(b, b.BoundsRect(), 0x80FF0010u), std::make_pair(20, 0));
  EXPECT_EQ(log.lines, (Lines{"area(0,0,5,4)", "change"}));
  b.Clear();
  EXPECT_EQ(b.Pixel(4, 3), 0xFF000000u);
}

TEST(Bitmap32Fill, ClearWithClipFillsClipAndReportsTwice) {
  TBitmap32 b;
  b.SetSize(6, 5);
  b.Clear(0);
  b.SetClipRect(TRect{1, 2, 4, 9});  // cut to the bounds
  EXPECT_EQ(b.ClipRect(), (TRect{1, 2, 4, 5}));
  EXPECT_TRUE(b.Clipping());
  EventLog log(b);
  b.Clear(0xFFABCDEFu);
  EXPECT_EQ(CountInOut(b, TRect{1, 2, 4, 5}, 0xFFABCDEFu), std::make_pair(9, 0));
  EXPECT_EQ(log.lines, (Lines{"area(1,2,4,5)", "change", "area(0,0,6,5)", "change"}));
}

TEST(Bitmap32Fill, ClipRectCopies) {
  TBitmap32 b;
  b.SetSize(40000, 2);
  b.SetClipRect(TRect{-3, 1, 3, 2});
  EXPECT_EQ(b.ClipRect(), (TRect{0, 1, 3, 2}));
  EXPECT_EQ(b.FixedClipRect(), (TRect{0, 65536, 3 * 65536, 2 * 65536}));
  EXPECT_EQ(b.ClipRect256(), (TRect{0, 256, 768, 512}));
  b.SetClipRect(TRect{0, 0, 40000, 2});
  EXPECT_FALSE(b.Clipping());
  // 40000 * 65536 wraps in 32 bits instead of overflowing.
  EXPECT_EQ(b.FixedClipRect().Right, static_cast<std::int32_t>(40000u << 16));
  b.SetClipRect(TRect{5, 5, 6, 6});  // outside: nothing is left
  EXPECT_EQ(b.ClipRect(), TRect{});
  EXPECT_TRUE(b.Clipping());
  b.ResetClipRect();
  EXPECT_FALSE(b.Clipping());
}

TEST(Bitmap32Fill, FillRectAndFillRectS) {
  TBitmap32 b;
  b.SetSize(8, 8);
  b.Clear(0);
  EventLog log(b);
  b.FillRect(1, 1, 3, 4, 0x01020304u);
  EXPECT_EQ(CountInOut(b, TRect{1, 1, 3, 4}, 0x01020304u), std::make_pair(6, 0));
  EXPECT_EQ(log.lines, (Lines{"area(1,1,3,4)", "change"}));

  b.Clear(0);
  b.SetClipRect(TRect{2, 2, 6, 6});
  log.Clear();
  b.FillRectS(-10, 3, 4, 100, 0xFFu);
  EXPECT_EQ(CountInOut(b, TRect{2, 3, 4, 6}, 0xFFu), std::make_pair(6, 0));
  // Entirely outside the clip rectangle, or empty: nothing drawn, the given
  // rectangle still reported.
  b.FillRectS(6, 0, 9, 9, 0xEEu);
  b.FillRectS(3, 3, 3, 5, 0xEEu);
  EXPECT_EQ(CountInOut(b, b.BoundsRect(), 0xEEu), std::make_pair(0, 0));
  EXPECT_EQ(log.lines, (Lines{"area(2,3,4,6)", "change", "area(2,3,4,6)", "change", "area(6,0,9,9)", "change",
                              "area(3,3,3,5)", "change"}));
}

TEST(Bitmap32Fill, ResetAlphaKeepsColour) {
  TBitmap32 b;
  b.SetSize(3, 1);
  b.SetPixel(0, 0, 0x00112233u);
  b.SetPixel(1, 0, 0x7F445566u);
  b.SetPixel(2, 0, 0xFF778899u);
  b.ResetAlpha();
  EXPECT_EQ(b.Pixel(0, 0), 0xFF112233u);
  EXPECT_EQ(b.Pixel(1, 0), 0xFF445566u);
  b.ResetAlpha(0x40);
  EXPECT_EQ(b.Pixel(2, 0), 0x40778899u);
}

TEST(Bitmap32Fill, PixelSAndSetPixelSHonourTheClip) {
  TBitmap32 b;
  b.SetSize(4, 4);
  b.Clear(0xFF000001u);
  b.SetOuterColor(0xDEADBEEFu);
  b.SetClipRect(TRect{1, 1, 3, 3});
  EXPECT_EQ(b.PixelS(1, 1), 0xFF000001u);
  EXPECT_EQ(b.PixelS(2, 2), 0xFF000001u);
  for (auto [x, y] : {std::pair{0, 1}, std::pair{3, 1}, std::pair{1, 0}, std::pair{1, 3}, std::pair{-9, 99}}) {
    EXPECT_EQ(b.PixelS(x, y), 0xDEADBEEFu) << x << "," << y;
  }
  b.SetPixelS(0, 0, 5);
  b.SetPixelS(2, 2, 6);
  EXPECT_EQ(b.Pixel(0, 0), 0xFF000001u);
  EXPECT_EQ(b.Pixel(2, 2), 6u);
}

TEST(Bitmap32Fill, Color32SwapsRedAndBlue) {
  EXPECT_EQ(Color32(0x00332211), 0xFF112233u);
  EXPECT_EQ(Color32(0x000000FF), 0xFFFF0000u);
  EXPECT_EQ(Color32(0x7F000000), 0xFF000000u);  // the top byte is dropped
  // A system colour: the window text colour resolved through the platform.
  const TColor32 text = Color32(static_cast<TGdiColor>(0x80000008u));
  EXPECT_EQ(text >> 24, 0xFFu);
  EXPECT_EQ(text, Color32(static_cast<TGdiColor>(platform::GetSysColor(8))));
}

}  // namespace
}  // namespace vesk::raster
