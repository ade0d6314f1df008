// Pixels painted by the image control's stages.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "pixel_reference.h"
#include "raster/blend.h"
#include "raster/image32.h"

namespace vesk::raster {
namespace {

using testing::Hex;

// A fixed pseudo-random pixel sequence (64-bit LCG, high bits).
class Pixels {
 public:
  explicit Pixels(std::uint64_t seed) : state_(seed) {}
  TColor32 Next() {
    state_ = state_ * 6364136223846793005ull + 1442695040888963407ull;
    return static_cast<TColor32>(state_ >> 32);
  }
  void Fill(TBitmap32& b) {
    for (std::int32_t y = 0; y < b.Height(); ++y) {
      for (std::int32_t x = 0; x < b.Width(); ++x) b.SetPixel(x, y, Next());
    }
  }

 private:
  std::uint64_t state_;
};

std::vector<TColor32> Snapshot(const TBitmap32& b) {
  return std::vector<TColor32>(b.Bits(), b.Bits() + b.Width() * b.Height());
}

void ExpectPixels(const TBitmap32& b, const std::vector<TColor32>& expected) {
  int bad = 0;
  for (std::int32_t y = 0; y < b.Height(); ++y) {
    for (std::int32_t x = 0; x < b.Width(); ++x) {
      const TColor32 want = expected[static_cast<std::size_t>(y * b.Width() + x)];
      if (b.Pixel(x, y) != want && ++bad <= 5) {
        ADD_FAILURE() << "pixel (" << x << ", " << y << "): " << Hex(b.Pixel(x, y)) << ", expected "
                      << Hex(want);
      }
    }
  }
  EXPECT_EQ(bad, 0);
}

// The clock's set-up: the stages after its three deletions, a face bitmap
// drawn with dmBlend into a same-sized composition.
TEST(ImagePaint, FacePaintedIntoTheCompositionEqualsTheRowOperation) {
  for (const TCombineMode mode : {cmBlend, cmMerge}) {
    SCOPED_TRACE(mode == cmBlend ? "cmBlend" : "cmMerge");
    TImage32 image;
    for (const std::int32_t index : {3, 1, 0}) image.PaintStages().Delete(index);
    TBitmap32& face = image.Bitmap();
    face.SetSize(192, 192);
    Pixels rng(mode == cmBlend ? 1 : 2);
    rng.Fill(face);
    face.SetDrawMode(dmBlend);
    face.SetCombineMode(mode);

    TBitmap32 composition;
    composition.SetSize(192, 192);
    rng.Fill(composition);
    std::vector<TColor32> expected = Snapshot(composition);
    for (std::int32_t y = 0; y < 192; ++y) {
      PixelRoutines().Row[Column(mode)](face.ScanLine(y), &expected[static_cast<std::size_t>(y * 192)], 192);
    }
    image.PaintTo(composition, TRect{0, 0, face.Width(), face.Height()});
    ExpectPixels(composition, expected);
    EXPECT_EQ(face.LockCount(), 0);
  }
}

TEST(ImagePaint, FramesAreSkippedUnlessRunTimeAndThenDotTheBorder) {
  TImage32 image;  // default stages; an opaque bitmap in the top-left corner
  image.Bitmap().SetSize(100, 100);
  Pixels rng(3);
  rng.Fill(image.Bitmap());
  const TColor32 fill = Color32(image.Color());
  TBitmap32 dest;
  dest.SetSize(192, 192);
  dest.Clear(0xFF00FF00);
  image.PaintTo(dest, TRect{0, 0, 100, 100});
  std::vector<TColor32> expected(192 * 192, fill);
  for (std::int32_t y = 0; y < 100; ++y) {
    for (std::int32_t x = 0; x < 100; ++x) {
      expected[static_cast<std::size_t>(y * 192 + x)] = image.Bitmap().Pixel(x, y);
    }
  }
  ExpectPixels(dest, expected);  // no frame although both have DesignTime

  image.PaintStages().Items(1).RunTime = true;  // control frame, before the bitmap
  image.PaintStages().Items(3).RunTime = true;  // bitmap frame, after it
  image.PaintTo(dest, TRect{0, 0, 100, 100});
  const TColor32 inverted = fill ^ 0x00FFFFFFu;
  EXPECT_EQ(Hex(dest.Pixel(191, 191)), Hex(inverted));  // control frame
  EXPECT_EQ(Hex(dest.Pixel(190, 191)), Hex(fill));      // odd: no dot
  EXPECT_EQ(Hex(dest.Pixel(191, 1)), Hex(inverted));
  EXPECT_EQ(Hex(dest.Pixel(191, 2)), Hex(fill));
  EXPECT_EQ(Hex(dest.Pixel(190, 190)), Hex(fill));  // inside the frame
  EXPECT_EQ(Hex(dest.Pixel(0, 0)), Hex(image.Bitmap().Pixel(0, 0)));  // painted over
  EXPECT_EQ(Hex(dest.Pixel(100, 50)), Hex(inverted));  // bitmap frame
  EXPECT_EQ(Hex(dest.Pixel(50, 100)), Hex(inverted));
  EXPECT_EQ(Hex(dest.Pixel(101, 50)), Hex(fill));
  EXPECT_EQ(Hex(dest.Pixel(100, 0)), Hex(fill));  // on both frames: inverted twice
  EXPECT_EQ(Hex(dest.Pixel(99, 99)), Hex(image.Bitmap().Pixel(99, 99)));
}

TEST(ImagePaint, BitmapFrameSurroundsTheBitmapRectangle) {
  TImage32 image;
  image.PaintStages().Clear();
  image.PaintStages().Add().Stage = pstBitmapFrame;
  image.Bitmap().SetSize(2, 2);
  TBitmap32 dest;
  dest.SetSize(6, 6);
  dest.Clear(0x80000000);
  image.PaintTo(dest, TRect{2, 2, 4, 4});
  // The frame runs over (1, 1) - (4, 4) inclusive, one pixel outside the
  // bitmap; every pixel on it whose x + y is even has its colour inverted.
  std::vector<TColor32> expected(36, 0x80000000);
  for (std::int32_t y = 1; y <= 4; ++y) {
    for (std::int32_t x = 1; x <= 4; ++x) {
      const bool border = x == 1 || x == 4 || y == 1 || y == 4;
      if (border && (x + y) % 2 == 0) expected[static_cast<std::size_t>(y * 6 + x)] = 0x80FFFFFF;
    }
  }
  ExpectPixels(dest, expected);
}

TEST(ImagePaint, ClearBackgroundFillsTheBandsAroundAnOpaqueBitmap) {
  TImage32 image;
  image.SetColor(0x00302010);  // GDI colour 0x00BBGGRR
  const TColor32 fill = 0xFF102030;
  image.PaintStages().Clear();
  image.PaintStages().Add().Stage = pstClearBackground;
  image.Bitmap().SetSize(50, 40);  // dmOpaque by default
  TBitmap32 dest;
  dest.SetSize(200, 200);
  dest.Clear(0);
  image.PaintTo(dest, TRect{10, 20, 60, 60});
  std::vector<TColor32> expected(200 * 200, 0);
  for (std::int32_t y = 0; y < 192; ++y) {
    for (std::int32_t x = 0; x < 192; ++x) {
      const bool inside = x >= 10 && x < 60 && y >= 20 && y < 60;
      if (!inside) expected[static_cast<std::size_t>(y * 200 + x)] = fill;
    }
  }
  ExpectPixels(dest, expected);

  // A bitmap that covers the control fills nothing; a blended one clears all.
  dest.Clear(0);
  image.PaintTo(dest, TRect{-1, 0, 192, 192});
  ExpectPixels(dest, std::vector<TColor32>(200 * 200, 0));
  image.Bitmap().SetDrawMode(dmBlend);
  image.PaintTo(dest, TRect{-1, 0, 192, 192});
  ExpectPixels(dest, std::vector<TColor32>(200 * 200, fill));
}

TEST(ImagePaint, ClearBufferAndUnknownKinds) {
  TImage32 image;
  image.SetColor(0x000000FF);
  image.PaintStages().Clear();
  image.PaintStages().Add().Stage = 0;
  image.PaintStages().Add().Stage = 8;
  TBitmap32 dest;
  dest.SetSize(3, 2);
  dest.Clear(0x12345678);
  image.PaintTo(dest, TRect{0, 0, 3, 2});
  ExpectPixels(dest, std::vector<TColor32>(6, 0x12345678));
  image.PaintStages().Add().Stage = pstClearBuffer;
  image.PaintTo(dest, TRect{0, 0, 3, 2});
  ExpectPixels(dest, std::vector<TColor32>(6, 0xFFFF0000));
}

TEST(ImagePaint, TiledBitmapRepeatsOverTheDestination) {
  TImage32 image;
  image.PaintStages().Clear();
  image.PaintStages().Add().Stage = pstDrawBitmap;
  image.SetBitmapAlign(baTile);
  image.Bitmap().SetSize(2, 2);
  const TColor32 tile[4] = {0xFF000001, 0xFF000002, 0xFF000003, 0xFF000004};
  for (int i = 0; i < 4; ++i) image.Bitmap().SetPixel(i % 2, i / 2, tile[i]);
  TBitmap32 dest;
  dest.SetSize(5, 5);
  dest.Clear(0);
  image.PaintTo(dest, TRect{0, 0, 2, 2});
  std::vector<TColor32> expected(25);
  for (int y = 0; y < 5; ++y) {
    for (int x = 0; x < 5; ++x) expected[static_cast<std::size_t>(y * 5 + x)] = tile[(y % 2) * 2 + x % 2];
  }
  ExpectPixels(dest, expected);

  // A rectangle ending left of the destination has no visible tile.
  dest.Clear(0);
  image.PaintTo(dest, TRect{-2, 0, 0, 2});
  ExpectPixels(dest, std::vector<TColor32>(25, 0));
}

}  // namespace
}  // namespace vesk::raster
