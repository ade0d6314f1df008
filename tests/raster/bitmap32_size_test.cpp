#include <gtest/gtest.h>

#include "bitmap_events.h"
#include "platform/surface.h"
#include "raster/bitmap32.h"
#include "raster/exceptions.h"

namespace vesk::raster {
namespace {

using testing::EventLog;
using Lines = std::vector<std::string>;

TEST(Bitmap32Size, NewBitmapIsEmptyWithDefaults) {
  TBitmap32 b;
  EXPECT_TRUE(b.Empty());
  EXPECT_EQ(b.Width(), 0);
  EXPECT_EQ(b.Bits(), nullptr);
  EXPECT_EQ(b.Handle(), nullptr);
  EXPECT_EQ(b.DrawMode(), dmOpaque);
  EXPECT_EQ(b.CombineMode(), cmBlend);
  EXPECT_EQ(b.WrapMode(), wmClamp);
  EXPECT_EQ(b.MasterAlpha(), 255u);
  EXPECT_EQ(b.OuterColor(), 0u);
  EXPECT_EQ(b.ResamplerClassName(), "TNearestResampler");
}

TEST(Bitmap32Size, NegativeDimensionCountsAsZero) {
  TBitmap32 b;
  EXPECT_TRUE(b.SetSize(-5, 10));
  EXPECT_EQ(b.Width(), 0);
  EXPECT_EQ(b.Height(), 10);
  EXPECT_EQ(b.Bits(), nullptr);
  EXPECT_EQ(b.Handle(), nullptr);
  EXPECT_TRUE(b.Empty());
}

TEST(Bitmap32Size, RealChangeNotifiesAreaChangeThenResize) {
  TBitmap32 b;
  EventLog log(b);
  EXPECT_TRUE(b.SetSize(4, 3));
  EXPECT_EQ(log.lines, (Lines{"handle", "area(0,0,4,3)", "change", "resize"}));
  ASSERT_NE(b.Bits(), nullptr);
  ASSERT_NE(b.Handle(), nullptr);
  EXPECT_EQ(b.ScanLine(2), b.Bits() + 8);
  EXPECT_EQ(b.PixelPtr(1, 2), b.Bits() + 9);
  EXPECT_EQ(b.ClipRect(), (TRect{0, 0, 4, 3}));
  EXPECT_FALSE(b.Clipping());
}

TEST(Bitmap32Size, SameSizeKeepsPixelsAndTellsNobody) {
  TBitmap32 b;
  b.SetSize(3, 3);
  b.Clear(0x11223344u);
  const TColor32* bits = b.Bits();
  EventLog log(b);
  EXPECT_FALSE(b.SetSize(3, 3));
  EXPECT_FALSE(b.SetSize(3, 3));
  EXPECT_TRUE(log.lines.empty());
  EXPECT_EQ(b.Bits(), bits);
  EXPECT_EQ(b.Pixel(2, 2), 0x11223344u);
}

TEST(Bitmap32Size, InsideUpdateOnlyResizeAndHandleFire) {
  TBitmap32 b;
  EventLog log(b);
  b.BeginUpdate();
  b.SetSize(2, 2);
  EXPECT_EQ(log.lines, (Lines{"handle", "resize"}));
  b.EndUpdate();  // never reports by itself
  EXPECT_EQ(log.lines.size(), 2u);
}

TEST(Bitmap32Size, WidthAndHeightSettersAndDelete) {
  TBitmap32 b;
  b.SetWidth(5);
  EXPECT_TRUE(b.Empty());
  b.SetHeight(6);
  EXPECT_FALSE(b.Empty());
  EXPECT_EQ(b.BoundsRect(), (TRect{0, 0, 5, 6}));
  b.Delete();
  EXPECT_TRUE(b.Empty());
  EXPECT_EQ(b.Height(), 0);
  EXPECT_EQ(b.ClipRect(), TRect{});
}

TEST(Bitmap32Size, OversizedBitmapFailsBeforeAllocating) {
  TBitmap32 b;
  b.SetSize(4, 4);
  EventLog log(b);
  for (auto [w, h] : {std::pair{65536, 65536}, std::pair{2147483647, 2147483647}, std::pair{8192, 8193}}) {
    try {
      b.SetSize(w, h);
      ADD_FAILURE() << "no error for " << w << "x" << h;
    } catch (const EDibError& e) {
      EXPECT_STREQ(e.what(), "Can't allocate the DIB handle");
    }
    EXPECT_TRUE(b.Empty());
    EXPECT_EQ(b.Width(), 0);
    EXPECT_EQ(b.Height(), 0);
    EXPECT_EQ(b.Bits(), nullptr);
    EXPECT_EQ(b.ClipRect(), TRect{});
  }
  // HandleChanged ran each time although the size change failed.
  EXPECT_EQ(log.lines, (Lines{"handle", "handle", "handle"}));
  // 8192 x 8192 x 4 is exactly the limit and is allowed.
  EXPECT_TRUE(platform::SurfaceSizeValid(8192, 8192));
  EXPECT_FALSE(platform::SurfaceSizeValid(8192, 8193));
}

// A surface factory that fails the way the system can.
const char* g_failure = nullptr;
std::unique_ptr<platform::Surface> FailingFactory(std::int32_t, std::int32_t) {
  throw platform::SurfaceError(g_failure);
}

TEST(Bitmap32Size, DeviceContextErrorsLeaveTheBitmapEmpty) {
  for (const char* message : {platform::kErrAllocateDib, platform::kErrCreateDc, platform::kErrSelectObject}) {
    TBitmap32 b;
    b.SetSize(3, 3);
    EventLog log(b);
    g_failure = message;
    const auto previous = platform::SetSurfaceFactory(&FailingFactory);
    try {
      b.SetSize(5, 5);
      ADD_FAILURE() << "no error";
    } catch (const EDibError& e) {
      EXPECT_STREQ(e.what(), message);
    }
    platform::SetSurfaceFactory(previous);
    EXPECT_TRUE(b.Empty());
    EXPECT_EQ(b.Handle(), nullptr);
    EXPECT_EQ(b.Width(), 0);
    EXPECT_EQ(log.lines, (Lines{"handle"}));
    // The bitmap stays usable.
    EXPECT_TRUE(b.SetSize(2, 2));
    EXPECT_FALSE(b.Empty());
  }
}

TEST(Bitmap32Size, CanvasFollowsTheHandle) {
  TBitmap32 b;
  b.SetSize(2, 2);
  TCanvas& c = b.Canvas();
  EXPECT_EQ(&b.Canvas(), &c);
  EXPECT_EQ(c.Handle(), b.Handle());
  EventLog log(b);
  c.Changed();
  EXPECT_EQ(log.lines, (Lines{"area(0,0,2,2)", "change"}));
}

TEST(Bitmap32Size, DestructionTellsNobody) {
  int calls = 0;
  {
    TBitmap32 b;
    b.SetSize(2, 2);
    b.OnResize = [&](TObject*) { ++calls; };
    b.OnChange = [&](TObject*) { ++calls; };
    b.OnHandleChanged = [&](TObject*) { ++calls; };
  }
  EXPECT_EQ(calls, 0);
}

}  // namespace
}  // namespace vesk::raster
