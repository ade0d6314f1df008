// The face's numbers at the common display scales, worked out by hand from
// the rules in docs/scaling.md (pixel-centre points scale about the image's
// corner, grid positions round halves up, image sizes round up, font
// heights are points at the monitor's resolution).
#include <gtest/gtest.h>

#include "app/face_geometry.h"
#include "app/face_text_layout.h"

namespace vesk::app {
namespace {

struct TGeometryRow {
  std::int32_t ppi;
  std::int32_t side;  // of the 150 x 150 face
  float position;     // of every pivot on the face, x = y
  vesk::TFloatPoint hour, minute, second;
  vesk::TPoint readout, label;
  std::int32_t date_top;
  std::int32_t date_w, date_x;  // a date this wide and where it lies
  std::int32_t digital_height, label_height, pixel_font_height;
};

constexpr TGeometryRow kRows[] = {
    {96, 150, 75.0f, {4.0f, 42.5f}, {2.5f, 51.0f}, {3.5f, 61.0f}, {41, 86}, {63, 55}, 107, 35, 59, 19, 9, 16},
    {120, 188, 93.875f, {5.125f, 53.25f}, {3.25f, 63.875f}, {4.5f, 76.375f}, {51, 108}, {79, 69}, 134, 44, 74, 23,
     12, 16},
    {144, 225, 112.75f, {6.25f, 64.0f}, {4.0f, 76.75f}, {5.5f, 91.75f}, {62, 129}, {95, 83}, 161, 53, 89, 28, 14, 16},
    {192, 300, 150.5f, {8.5f, 85.5f}, {5.5f, 102.5f}, {7.5f, 122.5f}, {82, 172}, {126, 110}, 214, 70, 118, 37, 19, 32},
    {288, 450, 226.0f, {13.0f, 128.5f}, {8.5f, 154.0f}, {11.5f, 184.0f}, {123, 258}, {189, 165}, 321, 105, 177, 56, 28,
     48},
};

TEST(FaceGeometry, EveryNumberAtTheCommonScales) {
  for (const TGeometryRow& row : kRows) {
    SCOPED_TRACE(::testing::Message() << row.ppi << " ppi");
    const TFaceScale s = FaceScaleFor(row.ppi);
    const TFaceGeometry g = FaceGeometry(s);
    EXPECT_EQ(ScaledFaceSize(150, 150, s).X, row.side);
    EXPECT_EQ(ScaledFaceSize(150, 150, s).Y, row.side);
    EXPECT_EQ(g.HandPosition.X, row.position);
    EXPECT_EQ(g.HandPosition.Y, row.position);
    // The face's centre, the middle of pixel 75 at 100 %, is 75 s moved by
    // (s - 1) / 2: the artwork grows from its corner, not from pixel 0's centre.
    EXPECT_EQ(g.HandPosition.X, 75.0 * s.Factor() + (s.Factor() - 1) / 2);
    const std::pair<vesk::TFloatPoint, vesk::TFloatPoint> pivots[] = {
        {g.HourPivot, row.hour}, {g.MinutePivot, row.minute}, {g.SecondPivot, row.second}};
    for (const auto& [got, want] : pivots) {
      EXPECT_EQ(got.X, want.X);
      EXPECT_EQ(got.Y, want.Y);
    }
    EXPECT_EQ(g.ReadoutPosition, row.readout);
    EXPECT_EQ(g.LabelPosition, row.label);
    EXPECT_EQ(g.DateTop, row.date_top);
    EXPECT_EQ(g.DateX(row.date_w), row.date_x);
    EXPECT_EQ(g.DigitalFontHeight, row.digital_height);
    EXPECT_EQ(g.LabelFontHeight, row.label_height);
    EXPECT_EQ(ScaledPixelFontHeight(16, s), row.pixel_font_height);
  }
}

TEST(FaceGeometry, TheBaseScaleKeepsTheLayoutAndItsFontsAsTheyAre) {
  const TLocalTime t{2026, 12, 7, 21, 5, 3, 0};
  auto width = [](const TFaceTextItem&) { return 36; };
  const TFaceTextLayout plain = MakeFaceTextLayout(t, width);
  const TFaceTextLayout at96 = MakeFaceTextLayout(t, width, FaceGeometry(FaceScaleFor(96)));
  for (std::size_t i = 0; i < plain.size(); ++i) {
    EXPECT_EQ(at96[i].Text, plain[i].Text);
    EXPECT_EQ(at96[i].Font, plain[i].Font);
    EXPECT_EQ(at96[i].Position, plain[i].Position);
    EXPECT_EQ(plain[i].Font.PixelHeight, 0);
  }
  EXPECT_EQ(plain[3].Position.X, 59);
  // Away from 100 % the heights are given in pixels, the positions scaled.
  const TFaceTextLayout at144 = MakeFaceTextLayout(t, width, FaceGeometry(FaceScaleFor(144)));
  EXPECT_EQ(at144[1].Font.PixelHeight, 28);
  EXPECT_EQ(at144[3].Font.PixelHeight, 14);
  EXPECT_EQ(at144[3].Position, (vesk::TPoint{90 + (50 - 36) / 2, 161}));
}

TEST(FaceGeometry, ScalesBelowTheDesignOrUnknownDrawAt100Percent) {
  EXPECT_EQ(FaceScaleFor(0), TFaceScale{96});
  EXPECT_EQ(FaceScaleFor(72), TFaceScale{96});
  EXPECT_EQ(FaceScaleFor(120).Percent(), 125);
  EXPECT_EQ(FaceScaleFor(168).Percent(), 175);
  EXPECT_EQ(FaceScaleFor(100000).PixelsPerInch, 768);
}

}  // namespace
}  // namespace vesk::app
