#pragma once
// A font as a plain value: face name, size in points, style and colour. The
// platform turns it into its own font object when text is measured or drawn.
#include <cstdint>
#include <string>

#include "base/mul_div.h"

namespace vesk::platform {

// Style bits; a style is any combination of them (0 is plain).
inline constexpr std::uint8_t kFontBold = 1;
inline constexpr std::uint8_t kFontItalic = 2;
inline constexpr std::uint8_t kFontUnderline = 4;
inline constexpr std::uint8_t kFontStrikeOut = 8;

// How glyph edges are rendered. Antialiased is grey antialiasing (never
// sub-pixel colour), the same on every platform; NonAntialiased gives 1-bit
// glyphs, for pixel fonts.
enum class FontQuality : std::uint8_t { Antialiased = 0, NonAntialiased = 1 };

// Screen resolution the whole program assumes: 96 logical pixels per inch.
inline constexpr std::int32_t kPixelsPerInch = 96;

struct FontDesc {
  std::string Name = "Tahoma";
  // Points. The character (em) height in pixels is Size * 96 / 72 rounded to
  // the nearest whole pixel, halves away from zero: 19 px for 14 pt, 9 px for 7 pt.
  std::int32_t Size = 8;
  std::uint8_t Style = 0;
  // GDI colour 0x00BBGGRR; a negative value names a system colour (see
  // sys_color.h). Default: the window text colour.
  std::int32_t Color = static_cast<std::int32_t>(0x80000008u);
  FontQuality Quality = FontQuality::Antialiased;
  // Character (em) height in pixels; 0 derives it from Size. A font whose
  // design needs a size of its own (a pixel font) sets it directly.
  std::int32_t PixelHeight = 0;
  // Width of the em square in pixels: the glyphs are condensed or widened to
  // it. 0 keeps the font's own proportions (as wide as the em is high).
  std::int32_t EmWidth = 0;

  friend bool operator==(const FontDesc&, const FontDesc&) = default;
};

// Character height in pixels for a size in points: round(|points| * 96 / 72),
// halves away from zero (the rounding of the platform's MulDiv).
[[nodiscard]] constexpr std::int32_t FontPixelHeight(std::int32_t points) noexcept {
  return MulDiv(points < 0 ? -points : points, kPixelsPerInch, 72);
}

// The em height a font is made with: PixelHeight when set, else Size in
// points at 96 pixels per inch, whatever the monitor's resolution.
[[nodiscard]] constexpr std::int32_t FontEmHeight(const FontDesc& font) noexcept {
  return font.PixelHeight > 0 ? font.PixelHeight : FontPixelHeight(font.Size);
}

static_assert(FontPixelHeight(14) == 19 && FontPixelHeight(7) == 9);
static_assert(FontPixelHeight(6) == 8 && FontPixelHeight(3) == 4);

}  // namespace vesk::platform
