#pragma once
// Text with FreeType and fontconfig, for the soft surfaces: the face is
// found by name through fontconfig (bold and italic styles are asked for;
// underline and strike-out are not drawn), the em height is the font's size
// in points at 96 pixels per inch (or its PixelHeight), the em width its
// EmWidth when set (else the height), glyphs are hinted and rendered with grey
// antialiasing (1-bit for FontQuality::NonAntialiased). The line height is
// the face's Windows ascent plus descent scaled to the em height and rounded,
// the advance of each glyph its hinted advance in whole pixels; no kerning.
// Bytes are read as code page 1252.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "platform/font.h"

namespace vesk::platform::soft {

struct TextMetrics {
  std::int32_t width = 0;
  std::int32_t ascent = 0;
  std::int32_t descent = 0;
};

// One rendered glyph coverage value (0..255) at a pixel.
using CoverageSink = std::function<void(std::int32_t x, std::int32_t y, std::uint8_t coverage)>;

// Process-wide and locked inside: safe to call from any thread.
TextMetrics MeasureText(const FontDesc& font, std::string_view text);
// Calls sink for every pixel with non-zero coverage of the string drawn with
// its cell's top-left corner at (x, y).
void RenderText(const FontDesc& font, std::int32_t x, std::int32_t y, std::string_view text, const CoverageSink& sink);
std::string MatchedFamily(const FontDesc& font);
bool AddFontFile(const std::string& path);

}  // namespace vesk::platform::soft
