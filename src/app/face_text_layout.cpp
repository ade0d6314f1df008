#include "app/face_text_layout.h"

#include "app/clock_text_format.h"
#include "app/face_geometry.h"

namespace vesk::app {

namespace {

platform::FontDesc Font(const char* face, std::int32_t size, raster::TGdiColor color) {
  platform::FontDesc font;
  font.Name = face;
  font.Size = size;
  font.Style = 0;
  font.Color = color;
  return font;
}

}  // namespace

TFaceTextLayout MakeFaceTextLayout(const TLocalTime& t, const TTextWidthFn& date_width) {
  return MakeFaceTextLayout(t, date_width, FaceGeometry(TFaceScale{}));
}

TFaceTextLayout MakeFaceTextLayout(const TLocalTime& t, const TTextWidthFn& date_width, const TFaceGeometry& g) {
  platform::FontDesc ghost = Font(kDigitalFontFace, kDigitalFontSize, kGhostSegmentColor);
  platform::FontDesc digital = Font(kDigitalFontFace, kDigitalFontSize, kLitTextColor);
  platform::FontDesc label = Font(kLabelFontFace, kLabelFontSize, kLitTextColor);
  if (!g.Scale.IsBase()) {
    // Points at the monitor's resolution, given in pixels: the platform's
    // own point size assumes 96 pixels per inch.
    ghost.PixelHeight = digital.PixelHeight = g.DigitalFontHeight;
    label.PixelHeight = g.LabelFontHeight;
  }
  TFaceTextLayout items;
  items[0] = {kGhostSegmentText, ghost, g.ReadoutPosition};
  items[1] = {FormatClockTime(t), digital, g.ReadoutPosition};
  items[2] = {kLabelText, label, g.LabelPosition};
  items[3] = {FormatClockDate(t), label, {0, g.DateTop}};
  items[3].Position.X = g.DateX(date_width(items[3]));
  return items;
}

}  // namespace vesk::app
