#include <gtest/gtest.h>

#include "bitmap_events.h"
#include "raster/bitmap32.h"
#include "raster/blend.h"
#include "raster/exceptions.h"

namespace vesk::raster {
namespace {

using testing::EventLog;
using Lines = std::vector<std::string>;

// Small deterministic generator (xorshift32), the same on every platform.
struct Rng {
  std::uint32_t s;
  std::uint32_t Next() {
    s ^= s << 13;
    s ^= s >> 17;
    s ^= s << 5;
    return s;
  }
};

void FillRandom(TBitmap32& b, std::uint32_t seed) {
  Rng rng{seed};
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x) b.SetPixel(x, y, rng.Next());
}

// A copy of every pixel of b, row by row.
std::vector<TColor32> Snapshot(const TBitmap32& b) {
  return std::vector<TColor32>(b.Bits(), b.Bits() + b.Width() * b.Height());
}

struct DrawCase {
  TDrawMode mode;
  TCombineMode combine;
  std::uint32_t master;
};

// Draws a 7 x 5 source at (-2, 3) into a 9 x 9 destination whose clip
// rectangle is (1, 0, 9, 7) and checks every destination pixel against the
// same operation applied to that pixel alone.
TEST(Bitmap32Draw, BlockCombineMatchesPerPixelOperation) {
  const DrawCase cases[] = {{dmOpaque, cmBlend, 255}, {dmBlend, cmBlend, 255}, {dmBlend, cmBlend, 100},
                            {dmBlend, cmMerge, 255},  {dmBlend, cmMerge, 1},   {dmCustom, cmBlend, 200}};
  for (const DrawCase& c : cases) {
    TBitmap32 src, dst;
    src.SetSize(7, 5);
    dst.SetSize(9, 9);
    FillRandom(src, 11);
    FillRandom(dst, 23);
    src.SetDrawMode(c.mode);
    src.SetCombineMode(c.combine);
    src.SetMasterAlpha(c.master);
    src.OnPixelCombine = [](TColor32 f, TColor32& b, TColor32 m) { b = (f ^ b) + m; };
    dst.SetClipRect(TRect{1, 0, 9, 7});
    const std::vector<TColor32> before = Snapshot(dst);
    src.DrawTo(dst, -2, 3);
    for (int y = 0; y < 9; ++y) {
      for (int x = 0; x < 9; ++x) {
        const TColor32 b = before[y * 9 + x];
        TColor32 want = b;
        const int sx = x + 2, sy = y - 3;
        if (x >= 1 && y < 7 && sx < 7 && sy >= 0 && sy < 5) {
          const TColor32 f = src.Pixel(sx, sy);
          const int cm = static_cast<int>(c.combine);
          switch (c.mode) {
            case dmOpaque: want = f; break;
            case dmBlend:
              // The row routine of the combine mode, one pixel at a time: the
              // arithmetic itself is the blend tests' concern, here it is
              // which pixel meets which, and through which routine.
              if (c.master >= 255) {
                PixelRoutines().Row[cm](&f, &want, 1);
              } else {
                PixelRoutines().RowEx[cm](&f, &want, 1, c.master);
              }
              break;
            case dmCustom: want = (f ^ b) + c.master; break;
            default: break;
          }
        }
        ASSERT_EQ(dst.Pixel(x, y), want) << "mode " << int(c.mode) << " combine " << int(c.combine) << " master "
                                         << c.master << " at " << x << "," << y;
      }
    }
  }
}

TEST(Bitmap32Draw, TransparentSkipsTheOuterColour) {
  TBitmap32 src, dst;
  src.SetSize(3, 1);
  dst.SetSize(3, 1);
  src.SetPixel(0, 0, 0x00FF00FFu);
  src.SetPixel(1, 0, 0xFFFF00FFu);  // differs from the key in alpha only
  src.SetPixel(2, 0, 0x00FF00FFu);
  src.SetOuterColor(0x00FF00FFu);
  src.SetDrawMode(dmTransparent);
  dst.Clear(0xFF101010u);
  src.DrawTo(dst);
  EXPECT_EQ(dst.Pixel(0, 0), 0xFF101010u);
  EXPECT_EQ(dst.Pixel(1, 0), 0xFFFF00FFu);
  EXPECT_EQ(dst.Pixel(2, 0), 0xFF101010u);
}

TEST(Bitmap32Draw, CustomWithoutCallbackCopies) {
  TBitmap32 src, dst;
  src.SetSize(2, 1);
  dst.SetSize(2, 1);
  src.Clear(0x10203040u);
  dst.Clear(0xFFFFFFFFu);
  src.SetDrawMode(dmCustom);
  src.DrawTo(dst);
  EXPECT_EQ(dst.Pixel(1, 0), 0x10203040u);
}

TEST(Bitmap32Draw, BlendWithMasterAlphaZeroChangesAndReportsNothing) {
  TBitmap32 src, dst;
  src.SetSize(2, 2);
  dst.SetSize(2, 2);
  src.Clear(0xFFFFFFFFu);
  dst.Clear(0xFF000000u);
  src.SetDrawMode(dmBlend);
  src.SetMasterAlpha(0);
  EventLog log(dst);
  src.DrawTo(dst);
  EXPECT_TRUE(log.lines.empty());
  EXPECT_EQ(dst.Pixel(1, 1), 0xFF000000u);
  // Opaque drawing ignores the master alpha.
  src.SetDrawMode(dmOpaque);
  src.DrawTo(dst);
  EXPECT_EQ(dst.Pixel(1, 1), 0xFFFFFFFFu);
}

TEST(Bitmap32Draw, PartlyOutsideDrawsVisiblePartReportsWholeRect) {
  TBitmap32 src, dst;
  src.SetSize(4, 4);
  dst.SetSize(5, 5);
  src.Clear(0xFFAAAAAAu);
  dst.Clear(0xFF000000u);
  EventLog log(dst);
  src.DrawTo(dst, 3, -2);
  EXPECT_EQ(log.lines, (Lines{"area(3,-2,7,2)", "change"}));
  int painted = 0;
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 5; ++x) painted += dst.Pixel(x, y) == 0xFFAAAAAAu;
  EXPECT_EQ(painted, 4);
  EXPECT_EQ(dst.Pixel(4, 1), 0xFFAAAAAAu);

  // Entirely outside: nothing drawn, nothing reported.
  log.Clear();
  src.DrawTo(dst, 5, 0);
  EXPECT_TRUE(log.lines.empty());
}

TEST(Bitmap32Draw, TransferRectErrorsAndEmptyCases) {
  TBitmap32 src, dst;
  try {
    TransferRect(nullptr, TRect{}, TRect{}, &src, TRect{}, nullptr, dmOpaque, nullptr);
    ADD_FAILURE();
  } catch (const EBitmapException& e) {
    EXPECT_STREQ(e.what(), "Destination bitmap is nil");
  }
  try {
    TransferRect(&dst, TRect{}, TRect{}, nullptr, TRect{}, nullptr, dmOpaque, nullptr);
    ADD_FAILURE();
  } catch (const EBitmapException& e) {
    EXPECT_STREQ(e.what(), "Source bitmap is nil");
  }
  EventLog log(dst);
  dst.SetSize(4, 4);
  log.Clear();
  src.DrawTo(dst);  // empty source: nothing
  src.SetSize(2, 2);
  src.Clear(0xFFFFFFFFu);
  dst.Clear(0);
  log.Clear();
  // An empty source rectangle is not an error.
  TransferRect(&dst, TRect{0, 0, 2, 2}, dst.ClipRect(), &src, TRect{1, 1, 1, 2}, src.Resampler(), dmOpaque,
               nullptr);
  EXPECT_TRUE(log.lines.empty());
  try {
    TransferRect(&dst, TRect{0, 0, 2, 2}, dst.ClipRect(), &src, TRect{1, 1, 3, 3}, src.Resampler(), dmOpaque,
                 nullptr);
    ADD_FAILURE();
  } catch (const ESrcInvalidException& e) {
    EXPECT_STREQ(e.what(), "Source rectangle is invalid");
  }
  // A source rectangle copies just that block.
  src.SetPixel(1, 0, 0x12345678u);
  TransferRect(&dst, TRect{2, 3, 3, 4}, dst.ClipRect(), &src, TRect{1, 0, 2, 1}, src.Resampler(), dmOpaque,
               nullptr);
  EXPECT_EQ(dst.Pixel(2, 3), 0x12345678u);
  EXPECT_EQ(dst.Pixel(3, 3), 0u);
  // Stretching needs a resampler that supports it.
  EXPECT_THROW(src.DrawTo(dst, TRect{0, 0, 4, 4}), EBitmapException);
  EXPECT_EQ(dst.Pixel(0, 0), 0u);
}

}  // namespace
}  // namespace vesk::raster
