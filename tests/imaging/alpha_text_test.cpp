// Text with measured, premultiplied alpha.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "imaging/alpha_text.h"
#include "platform/dejavu_font.h"

namespace vesk::imaging {
namespace {

using platform::testing::DejaVu;
using platform::testing::EnsureDejaVu;

std::string Hex(std::uint32_t v) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "0x%08X", v);
  return buffer;
}

std::uint32_t At(const platform::Surface& s, int x, int y) { return s.Bits()[y * s.Width() + x]; }

TEST(AlphaTextPixels, MeasuredAlphaWorkedExamples) {
  struct Row {
    raster::TColor32 white, black;
    std::uint32_t alpha;
  };
  const Row rows[] = {
      {0x00FFFFFF, 0x00000000, 0},    // untouched background: d = 765
      {0x00000000, 0x00000000, 255},  // covered, dark ink on both
      {0x00FFFFFF, 0x00FFFFFF, 255},  // covered, light ink on both
      {0x00808080, 0x00000000, 127},  // half covered: d = 384
      {0x00FF0000, 0x00000000, 170},  // a red fringe counts a third: d = 255
      {0x0000000A, 0x00000014, 173},  // black above white wraps: (10 - 20) mod 256 = 246
      {0xFF808080, 0x00000000, 127},  // alpha bytes play no part
  };
  for (const Row& r : rows) EXPECT_EQ(MeasuredAlpha(r.white, r.black), r.alpha) << Hex(r.white) << " " << Hex(r.black);
}

TEST(AlphaTextPixels, InkIsChosenByTheFontsLightness) {
  EXPECT_EQ(TextMeasureColor(0x646464), 0xFFFFFF);  // 800 < 1024: measured as light text
  EXPECT_EQ(TextMeasureColor(0xC8C8C8), 0x000000);  // 1600
  EXPECT_EQ(TextMeasureColor(0x473D3E), 0xFFFFFF);  // the ghost segments: 500
  EXPECT_EQ(TextMeasureColor(0xC29CA0), 0x000000);  // the lit text: 1294
  EXPECT_EQ(TextMeasureColor(0x00FF00), 0x000000);  // pure green: 5 * 255 = 1275
  EXPECT_EQ(TextMeasureColor(0x04CC00), 0x000000);  // exactly 1024 counts as light
  EXPECT_EQ(TextMeasureColor(0x03CC00), 0xFFFFFF);  // 1023
}

TEST(AlphaTextPixels, PremultiplyTruncates) {
  EXPECT_EQ(PremultiplyPixel(0x00FFFFFF, 127), 0x7F7F7F7Fu);
  EXPECT_EQ(PremultiplyPixel(0x00C29CA0, 255), 0xFFC29CA0u);
  EXPECT_EQ(PremultiplyPixel(0x00C29CA0, 128), 0x80614E50u);  // 194*128/255 = 97.4 -> 97
  EXPECT_EQ(PremultiplyPixel(0xFF123456, 0), 0u);
}

class AlphaTextTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(EnsureDejaVu(), "DejaVu Sans"); }
};

TEST_F(AlphaTextTest, BitmapIsTheExtentPlusTwoWithTheFontColourPremultiplied) {
  platform::FontDesc font = DejaVu(14);
  font.Color = 0xC29CA0;  // GDI: red 0xA0, green 0x9C, blue 0xC2
  const auto text = MakeTextBitmap("88:88:88", font);
  const TSize extent = platform::CreateSurface(8, 8)->MeasureText(font, "88:88:88");
  ASSERT_EQ(text->Width(), extent.cx + 2);
  ASSERT_EQ(text->Height(), extent.cy + 2);

  int opaque = 0, partial = 0;
  for (int y = 0; y < text->Height(); ++y) {
    for (int x = 0; x < text->Width(); ++x) {
      const std::uint32_t p = At(*text, x, y);
      const std::uint32_t a = p >> 24;
      // Every pixel is the font's colour scaled by its own alpha.
      ASSERT_EQ(p, PremultiplyPixel(0x00A09CC2, a)) << x << "," << y << " " << Hex(p);
      if (a == 255) ++opaque;
      if (a > 0 && a < 255) ++partial;
      // The two extra columns and rows lie outside the text.
      if (x >= extent.cx || y >= extent.cy) {
        ASSERT_EQ(p, 0u) << x << "," << y;
      }
    }
  }
  EXPECT_GT(opaque, 20);   // the stems are fully covered
  EXPECT_GT(partial, 20);  // and the edges smooth
}

// A light and a dark font are measured with opposite inks; both find the
// same glyph pixels. (How strongly an edge pixel is covered differs: the
// system's renderer may correct dark-on-light and light-on-dark edges
// differently.)
TEST_F(AlphaTextTest, LightAndDarkFontsCoverTheSamePixels) {
  platform::FontDesc light = DejaVu(14), dark = DejaVu(14);
  light.Color = 0xFFFFFF;
  dark.Color = 0x000000;
  const auto a = MakeTextBitmap("12:34", light);
  const auto b = MakeTextBitmap("12:34", dark);
  ASSERT_EQ(a->Width(), b->Width());
  ASSERT_EQ(a->Height(), b->Height());
  int covered = 0;
  for (int y = 0; y < a->Height(); ++y) {
    for (int x = 0; x < a->Width(); ++x) {
      const std::uint32_t alpha_a = At(*a, x, y) >> 24;
      const std::uint32_t alpha_b = At(*b, x, y) >> 24;
      EXPECT_EQ(alpha_a == 0, alpha_b == 0) << x << "," << y;
      EXPECT_EQ(alpha_a == 255, alpha_b == 255) << x << "," << y;
      if (alpha_a > 0) ++covered;
    }
  }
  EXPECT_GT(covered, 40);
}

// out = S * k + D * (1 - S.alpha * k / 255), within the platform's
// rounding; nothing outside the text's rectangle is touched.
TEST_F(AlphaTextTest, DrawAlphaTextIsSourceOverWithTheConstantAlpha) {
  platform::FontDesc font = DejaVu(14);
  font.Color = 0xC29CA0;
  const auto text = MakeTextBitmap("8", font);
  for (const std::uint8_t k : {0, 128, 255}) {
    auto dest = platform::CreateSurface(40, 40);
    for (int i = 0; i < 40 * 40; ++i) dest->Bits()[i] = 0x80402010u;
    DrawAlphaText(5, 7, "8", font, *dest, TBlendFunction{0, 0, k, 1});
    for (int y = 0; y < 40; ++y) {
      for (int x = 0; x < 40; ++x) {
        const std::uint32_t d = At(*dest, x, y);
        const bool inside = x >= 5 && y >= 7 && x < 5 + text->Width() && y < 7 + text->Height();
        if (!inside || k == 0) {
          ASSERT_EQ(d, 0x80402010u) << x << "," << y << " k=" << int(k);
          continue;
        }
        const std::uint32_t s = At(*text, x - 5, y - 7);
        const double sa = (s >> 24) * k / 255.0;
        for (int shift = 0; shift < 32; shift += 8) {
          const double expected = ((s >> shift) & 0xFF) * k / 255.0 + (0x80402010u >> shift & 0xFF) * (1 - sa / 255.0);
          ASSERT_NEAR(static_cast<double>((d >> shift) & 0xFF), expected, 1.01)
              << x << "," << y << " k=" << int(k) << " byte " << shift / 8;
        }
      }
    }
  }
}

// Reused bitmaps draw exactly what a fresh drawing draws: strings over a
// cleared destination (kept blended over black and copied), strings over
// earlier ones (blended again), across rounds, at several fade levels, with
// a colour change in between that must not reuse the other colour's bitmap.
TEST_F(AlphaTextTest, ReusedTextBitmapsDrawWhatAFreshDrawingDraws) {
  platform::FontDesc ghost = DejaVu(14);
  ghost.Color = 0x473D3E;
  platform::FontDesc lit = ghost;
  lit.Color = 0xC29CA0;
  struct Item {
    int x, y;
    const char* text;
    const platform::FontDesc* font;
  };
  // The second item lies over the first; the third is apart; the fourth
  // crosses the right edge.
  const Item items[] = {{4, 6, "88:88", &ghost}, {4, 6, "12:34", &lit}, {10, 40, "clock", &lit}, {60, 44, "06 Dec", &ghost}};
  TTextBitmapCache cache;
  int round = 0;
  for (const std::uint8_t k : {255, 255, 10, 128, 128, 0, 1, 254, 255}) {
    if (round == 4) lit.Color = 0x3050F0;  // a new colour: new bitmaps for it
    auto fresh = platform::CreateSurface(90, 64);
    auto reused = platform::CreateSurface(90, 64);
    std::fill_n(fresh->Bits(), 90 * 64, 0u);
    std::fill_n(reused->Bits(), 90 * 64, 0u);
    for (const Item& item : items) {
      const TBlendFunction record{0, 0, k, 1};
      const vesk::TRect a = DrawAlphaText(item.x, item.y, item.text, *item.font, *fresh, record);
      const vesk::TRect b = cache.DrawAlphaText(item.x, item.y, item.text, *item.font, *reused, record);
      EXPECT_EQ(a, b) << item.text;
    }
    cache.EndRound();
    int differing = 0;
    for (int i = 0; i < 90 * 64; ++i) differing += fresh->Bits()[i] != reused->Bits()[i];
    EXPECT_EQ(differing, 0) << "round " << round << " at fade level " << int{k};
    EXPECT_EQ(cache.Size(), 4u) << "round " << round;
    ++round;
  }
  // Four bitmaps made in the first round, two more for the new colour; the
  // apart strings were copied in every round after their first at a level.
  EXPECT_EQ(cache.Made(), 6u);
  EXPECT_GT(cache.Copied(), 0u);
  // A reused bitmap is the bitmap MakeTextBitmap makes.
  const platform::Surface& kept = cache.Bitmap("clock", lit);
  const auto made = MakeTextBitmap("clock", lit);
  ASSERT_EQ(kept.Width(), made->Width());
  ASSERT_EQ(kept.Height(), made->Height());
  EXPECT_TRUE(std::equal(kept.Bits(), kept.Bits() + kept.Width() * kept.Height(), made->Bits()));
}

}  // namespace
}  // namespace vesk::imaging
