#pragma once
// The face's geometry at a display scale. The clock is drawn for 96 logical
// pixels per inch; on a monitor with `ppi` pixels per inch every length and
// point of the face is multiplied by s = ppi / 96. docs/scaling.md gives the
// rule for each number and how it is rounded. At 96 (s = 1) every number is
// the one the clock always used.
#include <cstdint>

#include "base/geometry.h"
#include "base/mul_div.h"

namespace vesk::app {

inline constexpr std::int32_t kBasePixelsPerInch = 96;

// A display scale, kept as the monitor's pixels per inch so that all the
// arithmetic stays exact (s = ppi / 96).
struct TFaceScale {
  std::int32_t PixelsPerInch = kBasePixelsPerInch;

  [[nodiscard]] constexpr bool IsBase() const noexcept { return PixelsPerInch == kBasePixelsPerInch; }
  [[nodiscard]] constexpr double Factor() const noexcept {
    return static_cast<double>(PixelsPerInch) / kBasePixelsPerInch;
  }
  // The scale in whole percent, rounded down (120 ppi -> 125).
  [[nodiscard]] constexpr std::int32_t Percent() const noexcept {
    return PixelsPerInch * 100 / kBasePixelsPerInch;
  }
  // The scale against a percentage, exactly: negative below it, 0 at it,
  // positive above it (144 ppi is 150 %).
  [[nodiscard]] constexpr std::int32_t CompareToPercent(std::int32_t percent) const noexcept {
    return PixelsPerInch * 100 - percent * kBasePixelsPerInch;
  }
  friend constexpr bool operator==(TFaceScale, TFaceScale) = default;
};

// A scale from a monitor's pixels per inch; values below 96 (or unknown, 0)
// give 96: the face is never drawn smaller than its design.
[[nodiscard]] constexpr TFaceScale FaceScaleFor(std::int32_t pixels_per_inch) noexcept {
  return TFaceScale{pixels_per_inch < kBasePixelsPerInch ? kBasePixelsPerInch
                                                         : (pixels_per_inch > 96 * 8 ? 96 * 8 : pixels_per_inch)};
}

// A position on the pixel grid (a text's top-left corner, a distance):
// v * s rounded to the nearest whole pixel, halves up.
[[nodiscard]] constexpr std::int32_t ScaledLength(std::int32_t v, TFaceScale s) noexcept {
  const std::int64_t twice = std::int64_t{v} * s.PixelsPerInch * 2;
  const std::int64_t d = kBasePixelsPerInch * 2;
  return static_cast<std::int32_t>(twice >= 0 ? (twice + kBasePixelsPerInch) / d
                                              : -((-twice + kBasePixelsPerInch - 1) / d));
}

// An image's width or height: v * s rounded up, so that the whole scaled
// image fits (the SVG renderer sizes its output the same way).
[[nodiscard]] constexpr std::int32_t ScaledImageLength(std::int32_t v, TFaceScale s) noexcept {
  return MulDivCeil(v, s.PixelsPerInch, kBasePixelsPerInch);
}

// A point given in pixel-centre coordinates (pixel i's centre at i), such as
// a pivot: the image is scaled about its top-left corner (-0.5, -0.5), so
// p becomes (p + 0.5) * s - 0.5. Exact in float for every scale whose ppi
// is a multiple of 3 (s a multiple of 1/32).
[[nodiscard]] constexpr float ScaledPoint(float p, TFaceScale s) noexcept {
  return static_cast<float>((static_cast<double>(p) + 0.5) * s.PixelsPerInch / kBasePixelsPerInch - 0.5);
}
[[nodiscard]] constexpr TFloatPoint ScaledPoint(TFloatPoint p, TFaceScale s) noexcept {
  return {ScaledPoint(p.X, s), ScaledPoint(p.Y, s)};
}

// A font's character height in pixels for a size in points at the scale's
// resolution: points * ppi / 72, rounded to the nearest pixel, halves away
// from zero (19 and 9 px for 14 and 7 points at 96 ppi; 38 and 19 at 192).
[[nodiscard]] constexpr std::int32_t ScaledFontHeight(std::int32_t points, TFaceScale s) noexcept {
  return MulDiv(points < 0 ? -points : points, s.PixelsPerInch, 72);
}

// A pixel font is crisp only at whole multiples of its design height: the
// largest multiple not above height * s, and never below the design height.
[[nodiscard]] constexpr std::int32_t ScaledPixelFontHeight(std::int32_t design, TFaceScale s) noexcept {
  const std::int32_t multiple = s.PixelsPerInch / kBasePixelsPerInch;
  return design * (multiple < 1 ? 1 : multiple);
}

// ---- the face's design at 100 % ---------------------------------------------

// Where every hand turns: the face point (75, 75), whatever the face's size.
inline constexpr TFloatPoint kHandPosition{75.0f, 75.0f};
// The pivots in the hand images' own pixels (x across, y down).
inline constexpr TFloatPoint kHourHandPivot{4.0f, 42.5f};
inline constexpr TFloatPoint kMinuteHandPivot{2.5f, 51.0f};
inline constexpr TFloatPoint kSecondHandPivot{3.5f, 61.0f};
// Where the text items lie: the read-out's and the label's top-left
// corners, the date's top and the numbers of its centring rule.
inline constexpr TPoint kReadoutPosition{41, 86};
inline constexpr TPoint kLabelPosition{63, 55};
inline constexpr std::int32_t kDateTop = 107;
inline constexpr std::int32_t kDateLeft = 60;
inline constexpr std::int32_t kDateSpan = 33;
// The text sizes in points.
inline constexpr std::int32_t kDigitalFontSize = 14;
inline constexpr std::int32_t kLabelFontSize = 7;

// Every number of the face in face pixels at one scale.
struct TFaceGeometry {
  TFaceScale Scale;
  // Where every hand's pivot lies on the face (75, 75 at s = 1).
  TFloatPoint HandPosition;
  // The pivots in the scaled hand images.
  TFloatPoint HourPivot, MinutePivot, SecondPivot;
  // Top-left corners of the read-out (ghost and time) and of the label.
  TPoint ReadoutPosition, LabelPosition;
  // The date: y of its top, and the numbers of its centring rule
  // x = DateLeft + (DateSpan - w) div 2.
  std::int32_t DateTop, DateLeft, DateSpan;
  // Character heights of the read-out's and the label's fonts.
  std::int32_t DigitalFontHeight, LabelFontHeight;

  // x of a date w pixels wide, the halving truncating toward zero.
  [[nodiscard]] constexpr std::int32_t DateX(std::int32_t w) const noexcept { return DateLeft + (DateSpan - w) / 2; }
};

// The geometry at scale `s`.
[[nodiscard]] TFaceGeometry FaceGeometry(TFaceScale s) noexcept;

// The size of a face image of w x h at 100 % when shown at scale `s`.
[[nodiscard]] constexpr TPoint ScaledFaceSize(std::int32_t w, std::int32_t h, TFaceScale s) noexcept {
  return {ScaledImageLength(w, s), ScaledImageLength(h, s)};
}

static_assert(ScaledLength(41, TFaceScale{96}) == 41 && ScaledLength(86, TFaceScale{120}) == 108);
static_assert(ScaledImageLength(150, TFaceScale{120}) == 188 && ScaledImageLength(5, TFaceScale{120}) == 7);
static_assert(ScaledFontHeight(14, TFaceScale{96}) == 19 && ScaledFontHeight(7, TFaceScale{96}) == 9);
static_assert(ScaledPoint(42.5f, TFaceScale{192}) == 85.5f && ScaledPoint(75.0f, TFaceScale{96}) == 75.0f);

}  // namespace vesk::app
