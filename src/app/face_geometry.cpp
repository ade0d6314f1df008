#include "app/face_geometry.h"

namespace vesk::app {

TFaceGeometry FaceGeometry(TFaceScale s) noexcept {
  TFaceGeometry g;
  g.Scale = s;
  g.HandPosition = ScaledPoint(kHandPosition, s);
  g.HourPivot = ScaledPoint(kHourHandPivot, s);
  g.MinutePivot = ScaledPoint(kMinuteHandPivot, s);
  g.SecondPivot = ScaledPoint(kSecondHandPivot, s);
  g.ReadoutPosition = {ScaledLength(kReadoutPosition.X, s), ScaledLength(kReadoutPosition.Y, s)};
  g.LabelPosition = {ScaledLength(kLabelPosition.X, s), ScaledLength(kLabelPosition.Y, s)};
  g.DateTop = ScaledLength(kDateTop, s);
  g.DateLeft = ScaledLength(kDateLeft, s);
  g.DateSpan = ScaledLength(kDateSpan, s);
  g.DigitalFontHeight = ScaledFontHeight(kDigitalFontSize, s);
  g.LabelFontHeight = ScaledFontHeight(kLabelFontSize, s);
  return g;
}

}  // namespace vesk::app
