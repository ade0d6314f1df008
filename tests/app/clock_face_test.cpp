// The clock's face composed as the clock composes it once a second. The
// golden frame: the whole composition compared byte for byte with an
// independent composition written out plainly here (the face blended into a
// cleared bitmap, the text layer merged, each hand turned and resampled per
// pixel with the Lanczos formula and merged), and its text compared with a
// stored image made by the frame tool (tests/data/golden, written by
// `vesk_frame --skin assets/face --time '2026-12-07 09:15:45' --out FILE`).
// Then where the text lies, how the face is built and what a failed build
// leaves.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/clock_face.h"
#include "app/skin_copy.h"
#include "app/clock_text_format.h"
#include "app/face_text_layout.h"
#include "imaging/png_file.h"
#include "imaging/skin_loader.h"
#include "raster/kernel_reference.h"
#include "raster/matrix_reference.h"
#include "raster/pixel_reference.h"

namespace vesk::app {
namespace {

namespace fs = std::filesystem;
using raster::TColor32;
using raster::TFixed;
using vesk::TRect;
using raster::testing::Hex;
using Ext = long double;

const std::string kSkin = std::string(VESK_ASSETS_DIR) + "/face/";
const std::string kGolden = std::string(VESK_TEST_DATA_DIR) + "/golden/frame_2026-12-07_091545.png";
constexpr TLocalTime kGoldenTime{2026, 12, 7, 9, 15, 45, 0};
constexpr TBlendFunction kRunning{kBlendOpSourceOver, 0, 255, kAlphaFormatSourceAlpha};

// Where the text items lie, with a margin: the read-out, the label, the date.
constexpr TRect kTextRects[] = {{37, 83, 126, 108}, {60, 52, 100, 68}, {54, 105, 100, 120}};

bool InTextRect(int x, int y) {
  for (const TRect& r : kTextRects) {
    if (x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom) return true;
  }
  return false;
}

// The text is drawn in the bundled fonts (or their installed originals);
// without them the golden text cannot match.
bool BundledFontsPresent(TClockFace& face) {
  platform::FontDesc digital;
  digital.Name = kDigitalFontFace;
  digital.Size = kDigitalFontSize;
  platform::FontDesc label;
  label.Name = kLabelFontFace;
  label.Size = kLabelFontSize;
  return face.DrawingFont(digital).Name == "DSEG7 Classic" && face.DrawingFont(label).Name == "ProggyTinyTT";
}

// ---- the plain composition --------------------------------------------------

using Image = std::vector<TColor32>;  // 150 x 150 (the face's size), row-major

Image Pixels(const raster::TBitmap32& bmp) {
  Image out;
  for (int y = 0; y < bmp.Height(); ++y) {
    for (int x = 0; x < bmp.Width(); ++x) out.push_back(bmp.Pixel(x, y));
  }
  return out;
}

// The blend of the vector result set (bound on every x86-64 processor):
// the four channels mixed with the foreground's alpha as weight. A row of
// them leaves the background under a transparent pixel and copies an
// opaque one.
TColor32 Blend(TColor32 f, TColor32 b) { return raster::testing::RefMix(f, b, f >> 24); }
TColor32 BlendInRow(TColor32 f, TColor32 b) {
  const std::uint32_t a = f >> 24;
  return a == 0 ? b : a == 255 ? f : Blend(f, b);
}
TColor32 Merge(TColor32 f, TColor32 b) { return raster::testing::RefMerge(f, b, &Blend); }

// The plain matrix steps and fixed-point inverse shared with the raster
// golden tests.
using Matrix = raster::testing::RefMatrix;
constexpr auto InverseFixed = &raster::testing::RefInverseFixed;

// The target pixels a turned w x h image reaches: its corners' bounds,
// widened by half a pixel and rounded, within the target.
TRect Bounds(const Matrix& f, float w, float h, int side) {
  const float(&m)[3][3] = f.m;
  const float cx[4] = {0, w, 0, w};
  const float cy[4] = {0, 0, h, h};
  float lo_x = 1e9f, hi_x = -1e9f, lo_y = 1e9f, hi_y = -1e9f;
  for (int i = 0; i < 4; ++i) {
    const auto x = static_cast<float>(Ext{cx[i]} * m[0][0] + Ext{cy[i]} * m[1][0] + m[2][0]);
    const auto y = static_cast<float>(Ext{cx[i]} * m[0][1] + Ext{cy[i]} * m[1][1] + m[2][1]);
    lo_x = std::min(lo_x, x);
    hi_x = std::max(hi_x, x);
    lo_y = std::min(lo_y, y);
    hi_y = std::max(hi_y, y);
  }
  auto round = [](Ext v) { return static_cast<int>(nearbyintl(v)); };
  return TRect{std::max(round(Ext{lo_x} - 0.5L), 0), std::max(round(Ext{lo_y} - 0.5L), 0),
               std::min(round(Ext{hi_x} + 0.5L), side), std::min(round(Ext{hi_y} + 0.5L), side)};
}

TFixed FixedMul(TFixed a, TFixed b) { return static_cast<TFixed>((std::int64_t{a} * b) >> 16); }

// Merges the hand image, turned by `angle` about `pivot` onto (75, 75) and
// sampled with the Lanczos kernel at every target pixel's reverse-mapped
// point, over `target`. Returns how many pixels its samples cover.
int MergeHand(Image& target, int side, const raster::TBitmap32& hand, vesk::TFloatPoint pivot, float angle) {
  raster::testing::RefImage img{hand.Width(), hand.Height(), Pixels(hand)};
  Matrix f;
  f.Translate(-pivot.X, -pivot.Y);
  f.Rotate(angle);
  f.Translate(75.0f, 75.0f);
  TFixed inv[3][3];
  InverseFixed(f, inv);
  const TRect r = Bounds(f, static_cast<float>(img.width), static_cast<float>(img.height), side);
  int covered = 0;
  for (int y = r.Top; y < r.Bottom; ++y) {
    for (int x = r.Left; x < r.Right; ++x) {
      const auto u = static_cast<TFixed>(static_cast<std::uint32_t>(FixedMul(x << 16, inv[0][0])) +
                                         static_cast<std::uint32_t>(FixedMul(y << 16, inv[1][0])) +
                                         static_cast<std::uint32_t>(inv[2][0]));
      const auto v = static_cast<TFixed>(static_cast<std::uint32_t>(FixedMul(x << 16, inv[0][1])) +
                                         static_cast<std::uint32_t>(FixedMul(y << 16, inv[1][1])) +
                                         static_cast<std::uint32_t>(inv[2][1]));
      const TColor32 sample =
          raster::testing::RefLanczosSample(img, 0, static_cast<float>(u / 65536.0L), static_cast<float>(v / 65536.0L));
      TColor32& p = target[static_cast<std::size_t>(y) * side + x];
      p = Merge(sample, p);
      covered += (sample >> 24) != 0;
    }
  }
  return covered;
}

struct TPlainFrame {
  Image Pixels;
  Image HandsOnly;  // the hands merged over transparent black, to see where they lie
};

// The face blended into a cleared bitmap, the text layer merged, the hands
// merged in the order hour, minute, second.
TPlainFrame PlainComposition(TClockFace& face, const TLocalTime& t) {
  const int side = face.Width();
  const Image face_pixels = Pixels(face.Image321->Bitmap());
  const Image text_pixels = Pixels(face.TextLayer->Bitmap());
  TPlainFrame out;
  out.Pixels.assign(face_pixels.size(), 0);
  for (std::size_t i = 0; i < face_pixels.size(); ++i) out.Pixels[i] = BlendInRow(face_pixels[i], 0);
  for (std::size_t i = 0; i < text_pixels.size(); ++i) out.Pixels[i] = Merge(text_pixels[i], out.Pixels[i]);
  out.HandsOnly.assign(face_pixels.size(), 0);
  const THandAngles a = HandAngles(t.Hour, t.Minute, t.Second);
  const struct {
    const raster::TRotLayer* layer;
    vesk::TFloatPoint pivot;
    float angle;
  } hands[] = {{face.HourHand, kHourHandSkin.Pivot, a.Hour},
               {face.MinuteHand, kMinuteHandSkin.Pivot, a.Minute},
               {face.SecondHand, kSecondHandSkin.Pivot, a.Second}};
  for (const auto& h : hands) {
    EXPECT_GT(MergeHand(out.Pixels, side, h.layer->Bitmap(), h.pivot, h.angle), 100);
    MergeHand(out.HandsOnly, side, h.layer->Bitmap(), h.pivot, h.angle);
  }
  return out;
}

// ---- the golden frame -------------------------------------------------------

// The face composed at the golden instant, and its plain composition.
class ClockFaceGolden : public ::testing::Test {
 protected:
  void SetUp() override {
    face_.Build(kSkin);
    face_.SetTime(kGoldenTime);
    face_.Compose(kGoldenTime, kRunning);
    ASSERT_EQ(face_.Width(), 150);
    ASSERT_EQ(face_.Height(), 150);
    frame_ = Pixels(*face_.CompositionBitmap);
    plain_ = PlainComposition(face_, kGoldenTime);
  }

  TClockFace face_;
  Image frame_;
  TPlainFrame plain_;
};

TEST_F(ClockFaceGolden, FrameEqualsThePlainComposition) {
  const int side = face_.Width();
  int mismatches = 0;
  for (int y = 0; y < side; ++y) {
    for (int x = 0; x < side; ++x) {
      const std::size_t i = static_cast<std::size_t>(y) * side + x;
      if (frame_[i] != plain_.Pixels[i] && ++mismatches <= 5) {
        ADD_FAILURE() << "pixel (" << x << ", " << y << "): " << Hex(frame_[i]) << ", plainly "
                      << Hex(plain_.Pixels[i]);
      }
    }
  }
  EXPECT_EQ(mismatches, 0);
}

TEST_F(ClockFaceGolden, TextEqualsTheStoredImage) {
#ifdef _WIN32
  GTEST_SKIP() << "the golden text is the FreeType renderer's; the system's renderer draws its own";
#endif
  if (!BundledFontsPresent(face_)) GTEST_SKIP() << "the bundled fonts (fonts-dseg, fonts-proggy) are not installed";
  const int side = face_.Width();
  // At this instant no hand reaches the text, so the text regions hold face
  // and text alone.
  for (int y = 0; y < side; ++y) {
    for (int x = 0; x < side; ++x) {
      if (InTextRect(x, y)) {
        ASSERT_EQ(plain_.HandsOnly[static_cast<std::size_t>(y) * side + x], 0u)
            << "a hand at (" << x << ", " << y << ")";
      }
    }
  }

  // The text regions, straight alpha as the frame tool stores them, equal
  // the golden image.
  const imaging::RgbaImage golden = imaging::ReadRgbaPng(kGolden);
  ASSERT_EQ(golden.Width, side);
  ASSERT_EQ(golden.Height, side);
  auto straight = [](std::uint32_t c, std::uint32_t a) { return a == 0 ? 0u : std::min((c * 255 + a / 2) / a, 255u); };
  int text_pixels = 0;
  int mismatches = 0;
  for (int y = 0; y < side; ++y) {
    for (int x = 0; x < side; ++x) {
      if (!InTextRect(x, y)) continue;
      const std::size_t i = static_cast<std::size_t>(y) * side + x;
      const TColor32 p = frame_[i];
      const std::uint32_t a = p >> 24;
      const std::uint32_t mine[4] = {straight((p >> 16) & 0xFF, a), straight((p >> 8) & 0xFF, a), straight(p & 0xFF, a),
                                     a};
      for (int k = 0; k < 4; ++k) {
        if (mine[k] != golden.Bytes[i * 4 + k] && ++mismatches <= 5) {
          ADD_FAILURE() << "text pixel (" << x << ", " << y << ") channel " << k << ": " << mine[k] << ", golden "
                        << int{golden.Bytes[i * 4 + k]};
        }
      }
      text_pixels += face_.TextLayer->Bitmap().Pixel(x, y) != 0;
    }
  }
  EXPECT_EQ(mismatches, 0);
  // Ghost digits, time, label and date: several hundred text pixels.
  EXPECT_GT(text_pixels, 600);
}

// ---- where the text lies ------------------------------------------------------

// The read-out window, the dial's solid middle under the label and the tab
// under the window: the dark, opaque ground the text is made for.
constexpr TRect kTextGround[] = {{38, 83, 125, 107}, {56, 50, 96, 68}, {55, 107, 98, 119}};

TEST(ClockFace, TextStaysOnItsGroundAtEveryWidth) {
  TClockFace face;
  face.Build(kSkin);
  if (!BundledFontsPresent(face)) GTEST_SKIP() << "the bundled fonts (fonts-dseg, fonts-proggy) are not installed";
  const TLocalTime instants[] = {{2026, 12, 31, 12, 59, 59, 0}, {2027, 1, 1, 0, 0, 0, 0},
                                 {2026, 5, 28, 8, 8, 8, 0},     {2026, 3, 14, 23, 59, 59, 0},
                                 {2026, 12, 7, 10, 8, 37, 0},   {2024, 2, 29, 21, 44, 11, 0}};
  for (const TLocalTime& t : instants) {
    face.SetTime(t);
    face.Compose(t, kRunning);
    const raster::TBitmap32& text = face.TextLayer->Bitmap();
    int drawn = 0, stray = 0, right = 0;
    for (int y = 0; y < text.Height(); ++y) {
      for (int x = 0; x < text.Width(); ++x) {
        if (text.Pixel(x, y) == 0) continue;
        ++drawn;
        bool grounded = false;
        for (const TRect& r : kTextGround) grounded |= x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom;
        if (!grounded && ++stray <= 3) ADD_FAILURE() << FormatClockTime(t) << ": text at (" << x << ", " << y << ")";
        if (y < 107) right = std::max(right, x);
      }
    }
    EXPECT_EQ(stray, 0) << FormatClockTime(t);
    EXPECT_GT(drawn, 600) << FormatClockTime(t);
    // The lit time reaches well into the window's right half.
    EXPECT_GT(right, 105) << FormatClockTime(t);
  }
}

TEST(ClockFace, TheFadeLevelScalesOnlyTheText) {
  TClockFace face;
  face.Build(kSkin);
  const TLocalTime t{2026, 12, 7, 9, 15, 45, 0};
  face.SetTime(t);
  face.Compose(t, kRunning);
  const Image full = Pixels(*face.CompositionBitmap);
  const Image full_text = Pixels(face.TextLayer->Bitmap());
  for (const std::uint8_t level : {std::uint8_t{0}, std::uint8_t{10}, std::uint8_t{128}}) {
    face.Compose(t, TBlendFunction{kBlendOpSourceOver, 0, level, kAlphaFormatSourceAlpha});
    const Image faded = Pixels(*face.CompositionBitmap);
    const Image text = Pixels(face.TextLayer->Bitmap());
    std::uint32_t max_alpha = 0;
    int differing = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
      max_alpha = std::max(max_alpha, text[i] >> 24);
      EXPECT_LE(text[i] >> 24, full_text[i] >> 24) << "pixel " << i << " at level " << int{level};
      if (full_text[i] == 0) {
        EXPECT_EQ(faded[i], full[i]) << "pixel " << i << " at level " << int{level};
      }
      differing += faded[i] != full[i];
    }
    // Where the time covers the ghost segments two layers of strength k add
    // up to k + k (1 - k), never more.
    EXPECT_LE(max_alpha, level * (510u - level) / 255u + 1u) << int{level};
    // Below full strength the text is fainter wherever it is drawn.
    EXPECT_GT(differing, 300) << int{level};
    if (level == 0) {
      EXPECT_EQ(max_alpha, 0u);
    }
  }
}

// A face that has drawn many seconds reuses its string bitmaps and walks
// only the text's rectangle of the text layer; a face built afresh for each
// instant draws everything anew. Both must give the same text layer and the
// same composition, through fade levels that change between seconds and
// stay for several seconds.
TEST(ClockFace, ReusedTextGivesTheFreshDrawingAtEveryFadeLevel) {
  TClockFace reused;
  reused.Build(kSkin);
  const struct {
    TLocalTime t;
    std::uint8_t level;
  } seconds[] = {{{2026, 12, 7, 9, 15, 45, 0}, 20},   {{2026, 12, 7, 9, 15, 46, 0}, 20},
                 {{2026, 12, 7, 9, 15, 47, 0}, 130},  {{2026, 12, 7, 9, 15, 47, 0}, 255},
                 {{2026, 12, 7, 9, 15, 48, 0}, 255},  {{2026, 12, 7, 23, 59, 59, 0}, 255},
                 {{2026, 12, 8, 0, 0, 0, 0}, 255},    {{2026, 12, 8, 0, 0, 1, 0}, 0},
                 {{2026, 12, 8, 0, 0, 2, 0}, 240}};
  for (const auto& s : seconds) {
    const TBlendFunction blend{kBlendOpSourceOver, 0, s.level, kAlphaFormatSourceAlpha};
    reused.SetTime(s.t);
    reused.Compose(s.t, blend);
    TClockFace fresh;
    fresh.Build(kSkin);
    fresh.SetTime(s.t);
    fresh.Compose(s.t, blend);
    EXPECT_TRUE(Pixels(reused.TextLayer->Bitmap()) == Pixels(fresh.TextLayer->Bitmap()))
        << FormatClockTime(s.t) << " at level " << int{s.level};
    EXPECT_TRUE(Pixels(*reused.CompositionBitmap) == Pixels(*fresh.CompositionBitmap))
        << FormatClockTime(s.t) << " at level " << int{s.level};
    // Outside Compose the text layer's clip is the whole layer again.
    EXPECT_EQ(reused.TextLayer->Bitmap().ClipRect(), reused.TextLayer->Bitmap().BoundsRect());
  }
}

TEST(ClockFace, SetTimeTurnsEachHandAndLetsTheTextFollowTheViewport) {
  TClockFace face;
  face.Build(kSkin);
  EXPECT_FALSE(face.TextLayer->Scaled());
  face.SetTime(TLocalTime{2026, 12, 7, 13, 30, 0, 0});
  EXPECT_TRUE(face.TextLayer->Scaled());
  EXPECT_EQ(face.HourHand->Angle(), -405.0f);
  EXPECT_EQ(face.MinuteHand->Angle(), -180.0f);
  EXPECT_EQ(face.SecondHand->Angle(), 0.0f);
  face.SetTime(TLocalTime{2026, 12, 8, 0, 0, 59, 0});
  EXPECT_EQ(face.HourHand->Angle(), -0.0f);
  EXPECT_EQ(face.SecondHand->Angle(), -354.0f);
  for (const raster::TRotLayer* hand : {face.HourHand, face.MinuteHand, face.SecondHand}) {
    EXPECT_EQ(hand->Position().X, 75.0f);
    EXPECT_EQ(hand->Position().Y, 75.0f);
  }
}

// ---- building ---------------------------------------------------------------------

TEST(ClockFace, AMissingPmaStopsTheBuildAndLeavesAFaceThatDrawsNothing) {
  TSkinCopy skin(kSkin);
  fs::remove(skin.File("pma.png"));
  TClockFace face;
  try {
    face.Build(skin.Folder());
    FAIL() << "built without pma.png";
  } catch (const imaging::EFileOpenError& e) {
    EXPECT_NE(std::string(e.what()).find("pma.png"), std::string::npos) << e.what();
  }
  // The steps before it ran, the later ones did not.
  ASSERT_NE(face.TextLayer, nullptr);
  EXPECT_EQ(face.Width(), 150);
  EXPECT_EQ(face.CompositionBitmap, nullptr);
  EXPECT_EQ(face.HourHand, nullptr);
  EXPECT_FALSE(face.Built());
  // A later tick or a show from the notification-area icon finds nothing to draw.
  face.SetTime(kGoldenTime);
  face.Compose(kGoldenTime, kRunning);
  EXPECT_EQ(face.TextLayer->Bitmap().Width(), 0);
}

TEST(ClockFace, AFaceOfAnySizeSizesTheTextLayerAndTheCompositionWhileTheHandsStayAt75) {
  TSkinCopy skin(kSkin);
  imaging::RgbaImage big;
  big.Width = 200;
  big.Height = 180;
  big.Bytes.assign(200 * 180 * 4, 0);
  for (std::size_t i = 0; i < big.Bytes.size(); i += 4) {
    big.Bytes[i] = 40;
    big.Bytes[i + 1] = 60;
    big.Bytes[i + 2] = 80;
    big.Bytes[i + 3] = 255;
  }
  fs::remove(skin.File("clockface.png"));
  imaging::WriteRgbaPng(skin.File("clockface.png").string(), big);
  TClockFace face;
  face.Build(skin.Folder());
  ASSERT_TRUE(face.Built());
  EXPECT_EQ(face.Width(), 200);
  EXPECT_EQ(face.Height(), 180);
  EXPECT_EQ(face.TextLayer->Bitmap().Width(), 200);
  EXPECT_EQ(face.TextLayer->Bitmap().Height(), 180);
  EXPECT_EQ(face.CompositionBitmap->Width(), 200);
  EXPECT_EQ(face.CompositionBitmap->Height(), 180);
  face.SetTime(TLocalTime{2026, 12, 7, 0, 0, 0, 0});
  face.Compose(TLocalTime{2026, 12, 7, 0, 0, 0, 0}, kRunning);
  // At midnight all hands point up from (75, 75): the column above the pivot
  // is no longer the plain face, the column at x 150 is.
  const TColor32 plain = face.Image321->Bitmap().Pixel(150, 40);
  EXPECT_EQ(face.CompositionBitmap->Pixel(150, 40), plain);
  EXPECT_NE(face.CompositionBitmap->Pixel(75, 40), plain);
  EXPECT_EQ(face.CompositionBitmap->Pixel(199, 179), plain);
}

}  // namespace
}  // namespace vesk::app
