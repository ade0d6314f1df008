#include <gtest/gtest.h>

#include "bitmap_events.h"
#include "platform/platform_bitmap.h"
#include "raster/bitmap32.h"
#include "raster/nearest_resampler.h"

namespace vesk::raster {
namespace {

using platform::PixelFormat;
using testing::EventLog;
using Lines = std::vector<std::string>;

// Writes pixel (x, y) of a platform bitmap from an ARGB value.
void Put(const platform::PlatformBitmap& pb, int x, int y, TColor32 c) {
  const int bpp = pb.Format() == PixelFormat::pf32bit ? 4 : 3;
  std::uint8_t* p = pb.ScanLine(y) + x * bpp;
  p[0] = BlueOf(c);
  p[1] = GreenOf(c);
  p[2] = RedOf(c);
  if (bpp == 4) p[3] = AlphaOf(c);
}

// A deterministic pixel pattern with every alpha value over the first 256.
TColor32 Pattern(int x, int y) {
  const std::uint32_t i = static_cast<std::uint32_t>(y * 17 + x);
  return Color32Argb(i & 0xFF, (i * 7) & 0xFF, (i * 13 + 5) & 0xFF, (i * 29 + 3) & 0xFF);
}

TEST(Bitmap32Assign, From32BitPlatformBitmapKeepsEveryByte) {
  auto pb = platform::CreatePlatformBitmap(17, 16, PixelFormat::pf32bit);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 17; ++x) Put(*pb, x, y, Pattern(x, y));
  TBitmap32 b;
  b.Assign(*pb);
  ASSERT_EQ(b.Width(), 17);
  ASSERT_EQ(b.Height(), 16);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 17; ++x) ASSERT_EQ(b.Pixel(x, y), Pattern(x, y)) << x << "," << y;
}

TEST(Bitmap32Assign, From24BitPlatformBitmapGetsOpaqueAlpha) {
  auto pb = platform::CreatePlatformBitmap(5, 3, PixelFormat::pf24bit);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x) Put(*pb, x, y, Pattern(x, y));
  TBitmap32 b;
  b.Assign(*pb);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x) ASSERT_EQ(b.Pixel(x, y), Pattern(x, y) | 0xFF000000u) << x << "," << y;
}

TEST(Bitmap32Assign, TransparentMarkClearsAlphaOfExactlyThatColour) {
  auto pb = platform::CreatePlatformBitmap(4, 1, PixelFormat::pf24bit);
  Put(*pb, 0, 0, 0x00FF00FFu);  // the key colour
  Put(*pb, 1, 0, 0x00FF00FEu);  // one step away
  Put(*pb, 2, 0, 0x00123456u);
  Put(*pb, 3, 0, 0x00FF00FFu);
  pb->Transparent = true;
  pb->TransparentColor = 0x00FF00FF;  // GDI order: blue FF, green 00, red FF
  TBitmap32 b;
  b.Assign(*pb);
  EXPECT_EQ(b.Pixel(0, 0), 0x00FF00FFu);
  EXPECT_EQ(b.Pixel(1, 0), 0xFFFF00FEu);
  EXPECT_EQ(b.Pixel(2, 0), 0xFF123456u);
  EXPECT_EQ(b.Pixel(3, 0), 0x00FF00FFu);

  // The GDI colour's bytes are swapped into ARGB order before comparing.
  auto pb2 = platform::CreatePlatformBitmap(2, 1, PixelFormat::pf32bit);
  Put(*pb2, 0, 0, 0x80112233u);
  Put(*pb2, 1, 0, 0x80332211u);
  pb2->Transparent = true;
  pb2->TransparentColor = 0x00112233;  // red 33, green 22, blue 11
  b.Assign(*pb2);
  EXPECT_EQ(b.Pixel(0, 0), 0x80112233u);
  EXPECT_EQ(b.Pixel(1, 0), 0x00332211u);
}

TEST(Bitmap32Assign, PlatformBitmapAssignReportsOnceAtTheEnd) {
  auto pb = platform::CreatePlatformBitmap(3, 2, PixelFormat::pf24bit);
  pb->Font.Name = "DejaVu Sans";
  pb->Font.Size = 11;
  TBitmap32 b;
  EventLog log(b);
  b.Assign(*pb);
  EXPECT_EQ(log.lines, (Lines{"handle", "resize", "area(0,0,3,2)", "change"}));
  EXPECT_EQ(b.Font().Name(), "DejaVu Sans");
  EXPECT_EQ(b.Font().Size(), 11);
  EXPECT_EQ(b.UpdateCount(), 0);
}

TEST(Bitmap32Assign, FromBitmapCopiesPixelsAndProperties) {
  TBitmap32 src;
  src.SetSize(3, 2);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) src.SetPixel(x, y, Pattern(x, y));
  src.SetDrawMode(dmBlend);
  src.SetCombineMode(cmMerge);
  src.SetWrapMode(wmRepeat);
  src.SetMasterAlpha(77);
  src.SetOuterColor(0x01020304u);
  src.Font().SetName("DejaVu Sans");
  dynamic_cast<TNearestResampler*>(src.Resampler())->SetPixelAccessMode(pamWrap);

  TBitmap32 dst;
  dst.SetSize(9, 9);
  EventLog log(dst);
  dst.Assign(&src);
  EXPECT_EQ(log.lines, (Lines{"handle", "resize", "area(0,0,3,2)", "change"}));
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) EXPECT_EQ(dst.Pixel(x, y), Pattern(x, y));
  EXPECT_EQ(dst.DrawMode(), dmBlend);
  EXPECT_EQ(dst.CombineMode(), cmMerge);
  EXPECT_EQ(dst.WrapMode(), wmRepeat);
  EXPECT_EQ(dst.MasterAlpha(), 77u);
  EXPECT_EQ(dst.OuterColor(), 0x01020304u);
  EXPECT_EQ(dst.Font().Name(), "DejaVu Sans");
  EXPECT_EQ(dynamic_cast<TNearestResampler*>(dst.Resampler())->PixelAccessMode(), pamWrap);
  EXPECT_NE(dst.Resampler(), src.Resampler());

  // Self-assignment keeps everything.
  dst.Assign(&dst);
  EXPECT_EQ(dst.Pixel(2, 1), Pattern(2, 1));
}

TEST(Bitmap32Assign, NullEmptiesAndReportsOnce) {
  TBitmap32 b;
  b.SetSize(2, 2);
  EventLog log(b);
  b.Assign(static_cast<const TBitmap32*>(nullptr));
  EXPECT_TRUE(b.Empty());
  EXPECT_EQ(log.lines, (Lines{"handle", "resize", "area(0,0,0,0)", "change"}));
}

TEST(Bitmap32Assign, FailedAssignStillReportsAndClosesTheBracket) {
  TBitmap32 src;
  src.SetSize(2, 2);
  TBitmap32 b;
  int changes = 0;
  b.OnChange = [&](TObject*) { ++changes; };
  b.OnResize = [](TObject*) { throw std::runtime_error("listener failed"); };
  EXPECT_THROW(b.Assign(&src), std::runtime_error);
  EXPECT_EQ(b.UpdateCount(), 0);
  EXPECT_EQ(changes, 1);
}

}  // namespace
}  // namespace vesk::raster
