#pragma once
// The four text items of the face: what RenderClock draws into the text
// layer, in drawing order, with font, colour and top-left corner in face
// pixels.
#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "app/clock_source.h"
#include "app/face_geometry.h"
#include "base/geometry.h"
#include "platform/font.h"
#include "raster/color32.h"

namespace vesk::app {

inline constexpr const char* kDigitalFontFace = "Digital";
inline constexpr const char* kLabelFontFace = "hooge 05_55 Cyr2";
inline constexpr raster::TGdiColor kGhostSegmentColor = 0x473D3E;
inline constexpr raster::TGdiColor kLitTextColor = 0xC29CA0;
inline constexpr const char* kGhostSegmentText = "88:88:88";
inline constexpr const char* kLabelText = "clock";
struct TFaceTextItem {
  std::string Text;
  platform::FontDesc Font;  // face, size in points, plain style, GDI colour
  TPoint Position;  // top-left corner of the text
};

using TFaceTextLayout = std::array<TFaceTextItem, 4>;

// Width in pixels of an item's text in the item's font, as the text layer's
// bitmap measures it.
using TTextWidthFn = std::function<std::int32_t(const TFaceTextItem&)>;

// x of the date: 60 + (33 - w) div 2, the halving truncating toward zero,
// so the date is centred on x = 76.5 (w 33 -> 60, 34 -> 60, 35 -> 59,
// 36 -> 59).
[[nodiscard]] constexpr std::int32_t DateTextX(std::int32_t width) noexcept {
  return kDateLeft + (kDateSpan - width) / 2;
}

// Ghost segments, the time, the label and the date, formatted from one
// clock reading. The date is measured with `date_width` to centre it.
[[nodiscard]] TFaceTextLayout MakeFaceTextLayout(const TLocalTime& t, const TTextWidthFn& date_width);
// The same items at a display scale: positions from the geometry and, away
// from 100 %, the fonts' character heights in pixels (PixelHeight). At 100 %
// the items are exactly those above.
[[nodiscard]] TFaceTextLayout MakeFaceTextLayout(const TLocalTime& t, const TTextWidthFn& date_width,
                                                 const TFaceGeometry& geometry);

static_assert(DateTextX(33) == 60 && DateTextX(34) == 60 && DateTextX(35) == 59 && DateTextX(36) == 59);

}  // namespace vesk::app
