#include <gtest/gtest.h>

#include "bitmap_events.h"
#include "platform/surface.h"
#include "raster/bitmap32.h"

namespace vesk::raster {
namespace {

// A face that is installed (fonts-dejavu-core), so nothing falls back.
constexpr const char* kFace = "DejaVu Sans";

TEST(Bitmap32Text, EmptyBitmapMeasuresLikeASizedOne) {
  TBitmap32 empty, sized;
  sized.SetSize(300, 40);
  for (TBitmap32* b : {&empty, &sized}) {
    b->Font().SetName(kFace);
    b->Font().SetSize(14);
  }
  ASSERT_EQ(sized.Surface()->TextFace(sized.Font().Desc()), kFace);
  for (const char* text : {"88:88:88", "clock", "07 Dec", "W"}) {
    const TSize e = empty.TextExtent(text);
    const TSize s = sized.TextExtent(text);
    EXPECT_EQ(e, s) << text;
    EXPECT_GT(s.cx, 0) << text;
    EXPECT_EQ(empty.TextWidth(text), s.cx);
  }
  EXPECT_EQ(empty.TextWidth(""), 0);
}

TEST(Bitmap32Text, ExtentFollowsSizeAndText) {
  TBitmap32 b;
  b.SetSize(8, 8);
  b.Font().SetName(kFace);
  b.Font().SetSize(14);  // 19 px em height
  const TSize eight = b.TextExtent("8");
  const TSize row = b.TextExtent("88888888");
  EXPECT_EQ(row.cx, 8 * eight.cx);  // whole-pixel advances, no kerning
  EXPECT_EQ(row.cy, eight.cy);
  EXPECT_GE(eight.cy, 19);
  EXPECT_LE(eight.cy, 25);
  b.Font().SetSize(7);  // 9 px
  const TSize small = b.TextExtent("8");
  EXPECT_LT(small.cx, eight.cx);
  EXPECT_LT(small.cy, eight.cy);
  EXPECT_GE(small.cy, 9);
}

TEST(Bitmap32Text, FontChangeNotifiesNothingButTakesEffect) {
  TBitmap32 b;
  b.SetSize(8, 8);
  b.Font().SetName(kFace);
  b.Font().SetSize(10);
  const std::int32_t w10 = b.TextWidth("mmmm");
  testing::EventLog log(b);
  b.Font().SetSize(20);
  EXPECT_TRUE(log.lines.empty());
  EXPECT_GT(b.TextWidth("mmmm"), w10);
  // After a size change the font is selected afresh.
  b.SetSize(9, 9);
  EXPECT_GT(b.TextWidth("mmmm"), w10);
}

TEST(Bitmap32Text, TextoutDrawsInTheFontColour) {
  TBitmap32 b;
  b.SetSize(40, 30);
  b.Clear(0xFF000000u);
  b.Font().SetName(kFace);
  b.Font().SetSize(14);
  b.Font().SetColor(0x0000FF);  // red in GDI order
  testing::EventLog log(b);
  b.Textout(2, 2, "H");
  EXPECT_EQ(log.lines, (std::vector<std::string>{"area(0,0,40,30)", "change"}));
  int full = 0, touched = 0;
  for (int y = 0; y < 30; ++y) {
    for (int x = 0; x < 40; ++x) {
      const TColor32 p = b.Pixel(x, y);
      if (p == 0xFF000000u) continue;
      ++touched;
      EXPECT_EQ(GreenOf(p) | BlueOf(p), 0u) << std::hex << p;
      if ((p & 0x00FFFFFFu) == 0x00FF0000u) ++full;
    }
  }
  EXPECT_GT(full, 10);  // the stems of the H are fully covered
  EXPECT_GT(touched, full);
}

}  // namespace
}  // namespace vesk::raster
