#include <gtest/gtest.h>

#include "raster/bitmap32.h"
#include "raster/fixed.h"
#include "raster/nearest_resampler.h"
#include "raster/resampler_registry.h"

namespace vesk::raster {
namespace {

// A 4 x 3 bitmap whose pixel (x, y) is 0xFF000000 + 16 y + x, clipped to
// columns 1..2 and rows 0..1.
struct Fixture {
  TBitmap32 b;
  TNearestResampler* r;
  Fixture() {
    b.SetSize(4, 3);
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 4; ++x) b.SetPixel(x, y, 0xFF000000u + 16u * y + x);
    b.SetClipRect(TRect{1, 0, 3, 2});
    b.SetOuterColor(0x00C0FFEEu);
    r = dynamic_cast<TNearestResampler*>(b.Resampler());
  }
  TColor32 P(int x, int y) const { return 0xFF000000u + 16u * y + x; }
};

TEST(NearestResampler, AccessModes) {
  Fixture f;
  ASSERT_NE(f.r, nullptr);
  EXPECT_TRUE(f.r->HasBounds());
  EXPECT_EQ(f.r->GetSampleBounds(), (TRect{1, 0, 3, 2}));

  f.r->PrepareSampling();  // pamSafe: right and bottom exclusive
  EXPECT_EQ(f.r->ClipRect(), (TRect{1, 0, 3, 2}));
  EXPECT_EQ(f.r->GetSampleInt(2, 1), f.P(2, 1));
  EXPECT_EQ(f.r->GetSampleInt(3, 1), 0x00C0FFEEu);
  EXPECT_EQ(f.r->GetSampleInt(1, 2), 0x00C0FFEEu);
  EXPECT_EQ(f.r->GetSampleInt(0, 0), 0x00C0FFEEu);
  f.r->FinalizeSampling();

  f.r->SetPixelAccessMode(pamUnsafe);
  f.r->PrepareSampling();
  EXPECT_EQ(f.r->GetSampleInt(3, 2), f.P(3, 2));

  f.b.SetWrapMode(wmRepeat);
  f.r->SetPixelAccessMode(pamWrap);
  f.r->PrepareSampling();
  EXPECT_EQ(f.r->GetSampleInt(3, 2), f.P(1, 0));
  EXPECT_EQ(f.r->GetSampleInt(0, -1), f.P(2, 1));

  f.r->SetPixelAccessMode(pamTransparentEdge);
  EXPECT_EQ(f.r->GetSampleBounds(), (TRect{0, -1, 4, 3}));
  f.r->PrepareSampling();
  EXPECT_EQ(f.r->GetSampleInt(2, 1), f.P(2, 1));
  EXPECT_EQ(f.r->GetSampleInt(3, 1), f.P(2, 1) & 0x00FFFFFFu);
  EXPECT_EQ(f.r->GetSampleInt(-7, 9), f.P(1, 1) & 0x00FFFFFFu);
}

TEST(NearestResampler, FixedAndFloatRounding) {
  Fixture f;
  f.r->PrepareSampling();
  // Fixed: exact halves round down (1.5 -> 1), just above a half rounds up.
  EXPECT_EQ(f.r->GetSampleFixed(FixedOne + FixedHalf, 0), f.P(1, 0));
  EXPECT_EQ(f.r->GetSampleFixed(FixedOne + FixedHalf + 1, 0), f.P(2, 0));
  EXPECT_EQ(f.r->GetSampleFixed(2 * FixedOne + FixedHalf - 1, FixedHalf + 1), f.P(2, 1));
  // Float: halves to even (1.5 -> 2, 0.5 -> 0, 2.5 -> 2).
  EXPECT_EQ(f.r->GetSampleFloat(1.5f, 0.5f), f.P(2, 0));
  EXPECT_EQ(f.r->GetSampleFloat(2.5f, 1.4f), f.P(2, 1));
  EXPECT_EQ(f.r->GetSampleFloat(2.51f, 0.0f), 0x00C0FFEEu);
  // Far away and non-finite coordinates are outside, not undefined.
  EXPECT_EQ(f.r->GetSampleFloat(1e30f, 0.0f), 0x00C0FFEEu);
  EXPECT_EQ(f.r->GetSampleFloat(std::nanf(""), 0.0f), 0x00C0FFEEu);
}

TEST(NearestResampler, RegistryFindsExactNamesOnly) {
  ASSERT_FALSE(ResamplerClassList().empty());
  EXPECT_EQ(ResamplerClassList().front().Name, "TNearestResampler");
  EXPECT_NE(FindResamplerClass("TNearestResampler"), nullptr);
  EXPECT_EQ(FindResamplerClass("TNearestresampler"), nullptr);
  EXPECT_EQ(FindResamplerClass(""), nullptr);

  TBitmap32 b;
  TCustomResampler* old = b.Resampler();
  TBitmap32Resampler* made = FindResamplerClass("TNearestResampler")->Create(b);
  EXPECT_EQ(b.Resampler(), made);
  EXPECT_NE(made, old);
  EXPECT_EQ(made->Bitmap(), &b);
}

}  // namespace
}  // namespace vesk::raster
