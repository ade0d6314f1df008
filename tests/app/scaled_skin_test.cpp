// The skin at a display scale: which set is taken for each scale, the
// fallback resampling, a broken or missing scaled file, and a face built at
// a scale whose hands turn about the face's scaled centre.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <set>

#include "app/clock_face.h"
#include "app/skin_copy.h"
#include "app/scaled_skin.h"
#include "imaging/png_decoder.h"
#include "imaging/skin_loader.h"

namespace vesk::app {
namespace {

namespace fs = std::filesystem;
const std::string kSkin = std::string(VESK_ASSETS_DIR) + "/face/";

TEST(ScaledSkin, FileNamesFollowTheScaledResourceConvention) {
  EXPECT_EQ(ScaledSkinFileName("clockface.png", 200), "clockface.scale-200.png");
  EXPECT_EQ(ScaledSkinFileName("hours.png", 125), "hours.scale-125.png");
  EXPECT_EQ(ScaledSkinFileName("hours.png", 100), "hours.png");
}

TEST(ScaledSkin, TheSetForTheScaleElseTheNearestLargerElseTheLargestResampled) {
  const std::set<std::int32_t> all = {125, 150, 175, 200, 250, 300};
  const std::set<std::int32_t> none = {};
  const std::set<std::int32_t> only200 = {200};
  struct Row {
    std::int32_t ppi;
    const std::set<std::int32_t>* sets;
    TSkinSource want;
  } rows[] = {
      {96, &all, {100, false}},      {120, &all, {125, false}},  {144, &all, {150, false}},
      {168, &all, {175, false}},     {192, &all, {200, false}},  {240, &all, {250, false}},
      {288, &all, {300, false}},     {132, &all, {150, true}},   {100, &all, {125, true}},
      {216, &all, {250, true}},      {336, &all, {300, true}},   {120, &none, {100, true}},
      {288, &none, {100, true}},     {120, &only200, {200, true}}, {192, &only200, {200, false}},
      {240, &only200, {200, true}},  {96, &none, {100, false}},
  };
  for (const Row& r : rows) {
    const TSkinSource got = ChooseSkinSource(FaceScaleFor(r.ppi), [&](std::int32_t pct) { return r.sets->count(pct) > 0; });
    EXPECT_EQ(got, r.want) << r.ppi << " ppi with " << r.sets->size() << " sets: got " << got.Percent
                           << (got.Resample ? " resampled" : "");
  }
  // Sizes after resampling: w s / set scale, rounded up.
  EXPECT_EQ(ResampledSize(150, 150, 100, FaceScaleFor(120)), (vesk::TPoint{188, 188}));
  EXPECT_EQ(ResampledSize(225, 225, 150, FaceScaleFor(132)), (vesk::TPoint{207, 207}));
  EXPECT_EQ(ResampledSize(5, 58, 100, FaceScaleFor(192)), (vesk::TPoint{10, 116}));
}

// Mean absolute difference of all four channels.
double MeanDifference(const raster::TBitmap32& a, const raster::TBitmap32& b) {
  double sum = 0;
  for (int y = 0; y < a.Height(); ++y) {
    for (int x = 0; x < a.Width(); ++x) {
      const raster::TColor32 p = a.Pixel(x, y), q = b.Pixel(x, y);
      for (int k = 0; k < 32; k += 8) sum += std::abs(int((p >> k) & 0xFF) - int((q >> k) & 0xFF));
    }
  }
  return sum / (4.0 * a.Width() * a.Height());
}

TEST(ScaledSkin, AFaceWithoutScaledFilesIsResampledCloseToTheDrawingAtThatScale) {
  TSkinCopy skin(kSkin);
  raster::TBitmap32 resampled, drawn;
  EXPECT_EQ(LoadScaledSkinImage(resampled, skin.Folder(), "clockface.png", FaceScaleFor(192)),
            (TSkinSource{100, true}));
  EXPECT_EQ(LoadScaledSkinImage(drawn, kSkin, "clockface.png", FaceScaleFor(192)), (TSkinSource{200, false}));
  ASSERT_EQ(resampled.Width(), 300);
  ASSERT_EQ(drawn.Width(), 300);
  EXPECT_EQ(resampled.DrawMode(), raster::dmBlend);
  EXPECT_EQ(resampled.CombineMode(), raster::cmMerge);
  // Softer than the drawing, but the same picture in the same place.
  EXPECT_LT(MeanDifference(resampled, drawn), 4.0);
  // Between two sets: the 150 % drawing scaled down to 137.5 %.
  raster::TBitmap32 between;
  EXPECT_EQ(LoadScaledSkinImage(between, kSkin, "clockface.png", FaceScaleFor(132)), (TSkinSource{150, true}));
  EXPECT_EQ(between.Width(), 207);
}

// The drawn set is found in a folder whose name leaves every single-byte
// code page (under Windows the name is passed on as UTF-16).
TEST(ScaledSkin, TheSetIsFoundInAFolderOfAnyName) {
  const fs::path folder = fs::temp_directory_path() / fs::path(u8"vesk Часы 時計");
  fs::remove_all(folder);
  fs::create_directories(folder);
  for (const char* name : {"clockface.png", "clockface.scale-150.png"}) {
    fs::copy_file(fs::path(kSkin) / name, folder / name);
  }
  const std::u8string utf8 = (folder / "").u8string();
  raster::TBitmap32 face;
  EXPECT_EQ(LoadScaledSkinImage(face, std::string(utf8.begin(), utf8.end()), "clockface.png", FaceScaleFor(144)),
            (TSkinSource{150, false}));
  EXPECT_EQ(face.Width(), 225);
  fs::remove_all(folder);
}

TEST(ScaledSkin, ABrokenScaledFileIsAnErrorAndLeavesTheTargetAsItWas) {
  TSkinCopy skin(kSkin);
  skin.Write("hours.scale-150.png", "not a PNG at all");
  raster::TBitmap32 target;
  target.SetSize(3, 4);
  EXPECT_THROW(LoadScaledSkinImage(target, skin.Folder(), "hours.png", FaceScaleFor(144)), imaging::EPngError);
  EXPECT_EQ(target.Width(), 3);
  // It is the source for every other scale too; 100 % does not look at it.
  EXPECT_THROW(LoadScaledSkinImage(target, skin.Folder(), "hours.png", FaceScaleFor(192)), imaging::EPngError);
  EXPECT_EQ(LoadScaledSkinImage(target, skin.Folder(), "hours.png", FaceScaleFor(96)), (TSkinSource{100, false}));
  EXPECT_EQ(target.Width(), 8);
  // The 100 % file is still required.
  EXPECT_THROW(LoadScaledSkinImage(target, skin.Folder(), "nothing.png", FaceScaleFor(192)), imaging::EFileOpenError);
}

// The alpha-weighted centre of a bitmap.
vesk::TFloatPoint AlphaCentre(const raster::TBitmap32& b) {
  double mass = 0, mx = 0, my = 0;
  for (int y = 0; y < b.Height(); ++y) {
    for (int x = 0; x < b.Width(); ++x) {
      const double a = b.Pixel(x, y) >> 24;
      mass += a;
      mx += a * x;
      my += a * y;
    }
  }
  return {static_cast<float>(mx / mass), static_cast<float>(my / mass)};
}

TEST(ScaledSkin, AtEveryScaleTheHandsTurnAboutTheRimsCentre) {
  for (const std::int32_t ppi : {120, 144, 192, 288, 132}) {
    SCOPED_TRACE(::testing::Message() << ppi << " ppi");
    const TFaceScale s = FaceScaleFor(ppi);
    TClockFace face;
    face.SetScale(s);
    face.Build(kSkin);
    EXPECT_EQ(face.Width(), static_cast<int>(std::ceil(150 * s.Factor())));
    EXPECT_EQ(face.CompositionBitmap->Width(), face.Width());
    EXPECT_EQ(face.TextLayer->Bitmap().Height(), face.Height());
    // The face (round, its rim its heaviest part) is centred where pixel
    // (75, 75)'s centre lands, (75.5 s - 0.5, 75.5 s - 0.5), within half a pixel.
    const double c = 75.5 * s.Factor() - 0.5;
    const vesk::TFloatPoint rim = AlphaCentre(face.Image321->Bitmap());
    EXPECT_NEAR(rim.X, c, 0.5);
    EXPECT_NEAR(rim.Y, c, 0.5);
    // Each hand alone, turned a quarter at a time: the mean of its four
    // centres is the point it turns about, the rim's centre.
    face.Image321->Bitmap().Clear(0);
    face.TextLayer->SetVisible(false);
    raster::TRotLayer* hands[] = {face.HourHand, face.MinuteHand, face.SecondHand};
    for (raster::TRotLayer* hand : hands) {
      for (raster::TRotLayer* other : hands) other->SetVisible(other == hand);
      double sx = 0, sy = 0;
      for (const float angle : {0.0f, -90.0f, -180.0f, -270.0f}) {
        hand->SetAngle(angle);
        face.CompositionBitmap->Clear(0);
        face.Image321->PaintTo(*face.CompositionBitmap, vesk::TRect{0, 0, face.Width(), face.Height()});
        const vesk::TFloatPoint p = AlphaCentre(*face.CompositionBitmap);
        sx += p.X / 4;
        sy += p.Y / 4;
      }
      EXPECT_NEAR(sx, rim.X, 0.5);
      EXPECT_NEAR(sy, rim.Y, 0.5);
    }
  }
}

}  // namespace
}  // namespace vesk::app

namespace vesk::app {
namespace {

// The read-out window, the dial's middle under the label and the tab under
// the window (100 % rectangles, right and bottom exclusive), grown to whole
// pixels at the scale.
TEST(ScaledSkin, TheTextStaysOnItsGroundAtEveryScale) {
  const vesk::TRect ground[] = {{38, 83, 125, 107}, {56, 50, 96, 68}, {55, 107, 98, 119}};
  const TLocalTime instants[] = {{2026, 12, 31, 12, 59, 59, 0}, {2027, 1, 1, 0, 0, 0, 0}, {2026, 5, 28, 8, 8, 8, 0},
                                 {2026, 3, 14, 23, 59, 59, 0}};
  for (const std::int32_t ppi : {120, 144, 168, 192, 240, 288}) {
    const TFaceScale s = FaceScaleFor(ppi);
    TClockFace face;
    face.SetScale(s);
    face.Build(kSkin);
    for (const TLocalTime& t : instants) {
      SCOPED_TRACE(::testing::Message() << ppi << " ppi, " << t.Hour << ":" << t.Minute);
      face.SetTime(t);
      face.Compose(t, TBlendFunction{kBlendOpSourceOver, 0, 255, kAlphaFormatSourceAlpha});
      const raster::TBitmap32& text = face.TextLayer->Bitmap();
      int drawn = 0, stray = 0, right = 0;
      for (int y = 0; y < text.Height(); ++y) {
        for (int x = 0; x < text.Width(); ++x) {
          if (text.Pixel(x, y) == 0) continue;
          ++drawn;
          bool grounded = false;
          for (const vesk::TRect& r : ground) {
            grounded |= x >= r.Left * s.Factor() - 0.5 && x < r.Right * s.Factor() + 0.5 &&
                        y >= r.Top * s.Factor() - 0.5 && y < r.Bottom * s.Factor() + 0.5;
          }
          if (!grounded && ++stray <= 3) ADD_FAILURE() << "text at (" << x << ", " << y << ")";
          if (y < 107 * s.Factor()) right = std::max(right, x);
        }
      }
      EXPECT_EQ(stray, 0);
      EXPECT_GT(drawn, 600 * s.Factor());
      // The time with its "am"/"pm" reaches well into the window's right part.
      EXPECT_GT(right, 105 * s.Factor());
    }
  }
}

}  // namespace
}  // namespace vesk::app

namespace vesk::app {
namespace {

TEST(ScaledSkin, AFaceBuiltAgainAtAnotherScaleTakesThatScalesSize) {
  TClockFace face;
  face.Build(kSkin);
  ASSERT_EQ(face.Width(), 150);
  face.Reset();
  EXPECT_FALSE(face.Built());
  face.SetScale(FaceScaleFor(192));
  face.Build(kSkin);
  EXPECT_TRUE(face.Built());
  EXPECT_EQ(face.Width(), 300);
  EXPECT_EQ(face.CompositionBitmap->Height(), 300);
  EXPECT_EQ(face.HourHand->Position().X, 150.5f);
  EXPECT_EQ(face.Image321->Layers().Count(), 4);
}

}  // namespace
}  // namespace vesk::app
