#include <gtest/gtest.h>

#include "dejavu_font.h"
#include "platform/surface.h"

namespace vesk::platform {
namespace {

using testing::DejaVu;

std::uint32_t& At(Surface& s, int x, int y) { return s.Bits()[y * s.Width() + x]; }

TEST(SurfaceText, TheFaceIsReallyDejaVuSans) {
  EXPECT_EQ(testing::EnsureDejaVu(), "DejaVu Sans");
  auto s = CreateSurface(4, 4);
  EXPECT_EQ(s->TextFace(DejaVu(14)), "DejaVu Sans");
  // A face that does not exist is substituted, and the substitute is named.
  FontDesc missing = DejaVu(14);
  missing.Name = "No Such Face 7Q";
  EXPECT_NE(s->TextFace(missing), "No Such Face 7Q");
}

TEST(SurfaceText, ExtentOfDigitsAtTheClockSizes) {
  testing::EnsureDejaVu();
  auto s = CreateSurface(8, 8);
  const TSize big = s->MeasureText(DejaVu(14), "88:88:88");
  const TSize eight = s->MeasureText(DejaVu(14), "8");
  const TSize colon = s->MeasureText(DejaVu(14), ":");
  EXPECT_EQ(big.cx, 6 * eight.cx + 2 * colon.cx);
  EXPECT_EQ(big.cy, eight.cy);
  // 14 pt is a 19 px em; the line is the face's ascent plus descent.
  EXPECT_GE(big.cy, 19);
  EXPECT_LE(big.cy, 24);
  EXPECT_GE(eight.cx, 10);
  EXPECT_LE(eight.cx, 13);
  const TSize small = s->MeasureText(DejaVu(7), "8");
  EXPECT_GE(small.cy, 9);
  EXPECT_LE(small.cy, 12);
  EXPECT_EQ(s->MeasureText(DejaVu(14), "").cx, 0);
  // Bold is wider.
  FontDesc bold = DejaVu(14);
  bold.Style = kFontBold;
  EXPECT_GT(s->MeasureText(bold, "88:88:88").cx, big.cx);
}

TEST(SurfaceText, OpaqueTextFillsItsCell) {
  testing::EnsureDejaVu();
  auto s = CreateSurface(60, 40);
  for (int i = 0; i < 60 * 40; ++i) s->Bits()[i] = 0xFF0000FFu;
  const FontDesc font = DejaVu(14);
  const TSize e = s->MeasureText(font, "8:");
  // White background (GDI 0xFFFFFF), black text, at (3, 4).
  s->DrawText(font, 3, 4, "8:", 0x000000, 0xFFFFFF);
  s->Flush();
  int black = 0, white = 0, grey = 0;
  for (int y = 0; y < 40; ++y) {
    for (int x = 0; x < 60; ++x) {
      const std::uint32_t p = At(*s, x, y);
      const bool cell = x >= 3 && x < 3 + e.cx && y >= 4 && y < 4 + e.cy;
      if (!cell) {
        ASSERT_EQ(p, 0xFF0000FFu) << "outside the cell at " << x << "," << y;
        continue;
      }
      ASSERT_EQ(p >> 24, 0u) << "alpha of a written pixel at " << x << "," << y;
      const std::uint32_t r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
      ASSERT_TRUE(r == g && g == b) << "grey antialiasing only, at " << x << "," << y;
      if (r == 0) ++black;
      else if (r == 255) ++white;
      else ++grey;
    }
  }
  EXPECT_GT(black, 15);
  EXPECT_GT(white, black);
  EXPECT_GT(grey, 4);  // antialiased edges
}

TEST(SurfaceText, TransparentTextTouchesOnlyGlyphPixels) {
  testing::EnsureDejaVu();
  auto a = CreateSurface(40, 30);
  auto b = CreateSurface(40, 30);
  for (int i = 0; i < 40 * 30; ++i) a->Bits()[i] = b->Bits()[i] = 0xAB000000u;
  const FontDesc font = DejaVu(14);
  a->DrawText(font, 5, 5, "o", 0xFFFFFF, std::nullopt);
  b->DrawText(font, 5, 5, "o", 0xFFFFFF, std::nullopt);
  a->Flush();
  b->Flush();
  int touched = 0;
  for (int i = 0; i < 40 * 30; ++i) {
    EXPECT_EQ(a->Bits()[i], b->Bits()[i]) << "same text, same pixels";
    if (a->Bits()[i] != 0xAB000000u) {
      ++touched;
      EXPECT_EQ(a->Bits()[i] >> 24, 0u);
    }
  }
  EXPECT_GT(touched, 10);
  // The middle of the "o" is not part of the glyph and keeps its pixel.
  const TSize e = a->MeasureText(font, "o");
  int untouched_in_cell = 0;
  for (int y = 5; y < 5 + e.cy; ++y)
    for (int x = 5; x < 5 + e.cx; ++x) untouched_in_cell += At(*a, x, y) == 0xAB000000u;
  EXPECT_GT(untouched_in_cell, 0);
}

TEST(SurfaceText, NonAntialiasedQualityGivesTwoLevels) {
  testing::EnsureDejaVu();
  auto s = CreateSurface(40, 30);
  for (int i = 0; i < 40 * 30; ++i) s->Bits()[i] = 0xFF000000u;
  FontDesc font = DejaVu(14);
  font.Quality = FontQuality::NonAntialiased;
  s->DrawText(font, 2, 2, "o8", 0xFFFFFF, std::nullopt);
  s->Flush();
  int lit = 0;
  for (int i = 0; i < 40 * 30; ++i) {
    const std::uint32_t p = s->Bits()[i];
    ASSERT_TRUE(p == 0xFF000000u || p == 0x00FFFFFFu) << std::hex << p;
    lit += p == 0x00FFFFFFu;
  }
  EXPECT_GT(lit, 20);
}

}  // namespace
}  // namespace vesk::platform
