#include "app/face_text_layout.h"

#include "app/clock_text_format.h"

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
  const platform::FontDesc ghost = Font(kDigitalFontFace, kDigitalFontSize, kGhostSegmentColor);
  const platform::FontDesc digital = Font(kDigitalFontFace, kDigitalFontSize, kLitTextColor);
  const platform::FontDesc label = Font(kLabelFontFace, kLabelFontSize, kLitTextColor);
  TFaceTextLayout items;
  items[0] = {kGhostSegmentText, ghost, {41, 86}};
  items[1] = {FormatClockTime(t), digital, {41, 86}};
  items[2] = {kLabelText, label, {63, 55}};
  items[3] = {FormatClockDate(t), label, {0, 107}};
  items[3].Position.X = DateTextX(date_width(items[3]));
  return items;
}

}  // namespace vesk::app
