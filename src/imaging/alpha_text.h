#pragma once
// Text with smooth, premultiplied alpha edges. The system's text renderer
// draws opaque pixels and leaves no usable alpha, so the string is drawn
// twice, once on white and once on black; where the two drawings differ the
// background shows through, and that difference is the pixel's
// transparency.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/font.h"
#include "platform/surface.h"
#include "raster/color32.h"
#include "base/geometry.h"

namespace vesk::imaging {

// The colour the string is measured in: black for light fonts
// (2r + 5g + b >= 1024), white for dark ones. GDI colours, 0x00BBGGRR.
[[nodiscard]] constexpr std::int32_t TextMeasureColor(std::uint32_t font_rgb) noexcept {
  const std::uint32_t r = font_rgb & 0xFFu;
  const std::uint32_t g = (font_rgb >> 8) & 0xFFu;
  const std::uint32_t b = (font_rgb >> 16) & 0xFFu;
  return 2 * r + 5 * g + b >= 1024 ? 0x000000 : 0xFFFFFF;
}

// The alpha of one pixel from its drawing on white (w) and on black (k):
// d = (Wb - Kb) + (Wg - Kg) + (Wr - Kr), each difference taken as an 8-bit
// unsigned byte (modulo 256); alpha = 255 - d div 3. Untouched background
// (white over black) gives 0, a fully covered pixel 255; averaging the three
// channels drops sub-pixel colour fringes.
[[nodiscard]] constexpr std::uint32_t MeasuredAlpha(raster::TColor32 w, raster::TColor32 k) noexcept {
  const std::uint32_t d = ((raster::BlueOf(w) - raster::BlueOf(k)) & 0xFFu) +
                          ((raster::GreenOf(w) - raster::GreenOf(k)) & 0xFFu) +
                          ((raster::RedOf(w) - raster::RedOf(k)) & 0xFFu);
  return 255 - d / 3;
}

// A pixel's red, green and blue scaled by alpha, channel * alpha div 255
// (truncating), with that alpha: a premultiplied TColor32.
[[nodiscard]] constexpr raster::TColor32 PremultiplyPixel(raster::TColor32 c, std::uint32_t alpha) noexcept {
  return raster::Color32Argb(alpha, raster::RedOf(c) * alpha / 255, raster::GreenOf(c) * alpha / 255,
                             raster::BlueOf(c) * alpha / 255);
}

static_assert(MeasuredAlpha(0x00FFFFFFu, 0x00000000u) == 0);
static_assert(MeasuredAlpha(0x00808080u, 0x00000000u) == 127);  // d = 384
static_assert(MeasuredAlpha(0x00000000u, 0x00000000u) == 255);
static_assert(TextMeasureColor(0x646464) == 0xFFFFFF && TextMeasureColor(0xC8C8C8) == 0x000000);
static_assert(PremultiplyPixel(0x00FFFFFFu, 127) == 0x7F7F7F7Fu);
static_assert(PremultiplyPixel(0x00C29CA0u, 0) == 0);

// The string in the font as a new premultiplied 32-bit surface, text extent
// plus 2 in each direction, the text's top-left corner at (0, 0). Every pixel
// has the font's own colour (system colours resolved) scaled by its measured
// alpha. Errors of the platform pass to the caller.
[[nodiscard]] std::unique_ptr<platform::Surface> MakeTextBitmap(std::string_view text, const platform::FontDesc& font);

// Makes the text bitmap and blends it source-over onto `destination` with
// its top-left corner at (x, y) and the blend record's constant alpha.
// Returns the rectangle blended into (x, y and the bitmap's size, before
// clipping to the destination): no pixel outside it was touched.
TRect DrawAlphaText(std::int32_t x, std::int32_t y, std::string_view text, const platform::FontDesc& font,
                            platform::Surface& destination, TBlendFunction blend);

// Text bitmaps kept between drawings. MakeTextBitmap gives the same pixels
// for the same string in the same font and colour, so a string drawn again
// reuses the bitmap made the last time. A system colour is keyed by the
// colour it resolves to now, so a changed system colour makes a new bitmap.
// The blend is a function of each source pixel, destination pixel and the
// blend record alone; where the destination is still all transparent black
// (a string drawn into a cleared layer away from the others), the result of
// blending the same bitmap with the same record over black is kept as well
// and copied in instead of blending again.
class TTextBitmapCache {
 public:
  // MakeTextBitmap(text, font), made only when no kept bitmap matches.
  [[nodiscard]] const platform::Surface& Bitmap(std::string_view text, const platform::FontDesc& font);
  // DrawAlphaText with the bitmap of Bitmap(text, font): the same pixels
  // and the same result.
  TRect DrawAlphaText(std::int32_t x, std::int32_t y, std::string_view text, const platform::FontDesc& font,
                              platform::Surface& destination, TBlendFunction blend);
  // Ends one round of drawing (one face): the bitmaps not asked for since
  // the previous round ended are freed, so the cache holds at most the
  // strings of two rounds.
  void EndRound();
  [[nodiscard]] std::size_t Size() const noexcept { return entries_.size(); }
  // How many bitmaps were made (not reused) and how many drawings were
  // copied instead of blended, since construction.
  [[nodiscard]] std::uint64_t Made() const noexcept { return made_; }
  [[nodiscard]] std::uint64_t Copied() const noexcept { return copied_; }

 private:
  struct TEntry {
    std::string Text;
    platform::FontDesc Font;
    std::uint32_t Rgb = 0;
    std::unique_ptr<platform::Surface> Bitmap;
    // Bitmap blended with OverBlackRecord over transparent black.
    std::unique_ptr<platform::Surface> OverBlack;
    TBlendFunction OverBlackRecord{};
    bool Used = false;
  };
  TEntry& Entry(std::string_view text, const platform::FontDesc& font);
  std::vector<TEntry> entries_;
  std::uint64_t made_ = 0;
  std::uint64_t copied_ = 0;
};

}  // namespace vesk::imaging
