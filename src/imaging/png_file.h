#pragma once
// Whole 8-bit RGBA PNG files as plain bytes, for the tools and the tests:
// the frame renderer writes compositions with them, the tests read golden
// images back.
#include <cstdint>
#include <string>
#include <vector>

#include "imaging/png_decoder.h"
#include "raster/bitmap32.h"

namespace vesk::imaging {

// Width x Height pixels, rows top first, each four bytes R, G, B, A.
struct RgbaImage {
  std::int32_t Width = 0;
  std::int32_t Height = 0;
  std::vector<std::uint8_t> Bytes;
};

// How a bitmap's premultiplied pixels go into a file.
enum class TPngAlpha : std::uint8_t {
  // Straight alpha, as image viewers expect it: each colour c * 255 / a
  // rounded to nearest, at most 255; 0 where a is 0.
  Straight,
  // The premultiplied channels as they stand.
  Premultiplied,
};

// One channel from premultiplied to straight alpha (see TPngAlpha).
[[nodiscard]] constexpr std::uint8_t StraightChannel(std::uint32_t c, std::uint32_t a) noexcept {
  if (a == 0) return 0;
  const std::uint32_t v = (c * 255 + a / 2) / a;
  return static_cast<std::uint8_t>(v > 255 ? 255 : v);
}

static_assert(StraightChannel(64, 128) == 128 && StraightChannel(1, 2) == 128 && StraightChannel(200, 100) == 255);

[[nodiscard]] RgbaImage BitmapToRgba(const raster::TBitmap32& bitmap, TPngAlpha alpha);

// Raises EPngError naming the file when it cannot be read or decoded.
[[nodiscard]] RgbaImage ReadRgbaPng(const std::string& path);
// Raises EPngError naming the file when it cannot be written.
void WriteRgbaPng(const std::string& path, const RgbaImage& image);

}  // namespace vesk::imaging
