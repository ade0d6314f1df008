#include "imaging/png_file.h"

#include <png.h>

#include <cstring>

namespace vesk::imaging {

RgbaImage BitmapToRgba(const raster::TBitmap32& bitmap, TPngAlpha alpha) {
  RgbaImage image;
  image.Width = bitmap.Width();
  image.Height = bitmap.Height();
  image.Bytes.resize(static_cast<std::size_t>(image.Width) * static_cast<std::size_t>(image.Height) * 4);
  std::uint8_t* out = image.Bytes.data();
  for (std::int32_t y = 0; y < image.Height; ++y) {
    for (std::int32_t x = 0; x < image.Width; ++x, out += 4) {
      const raster::TColor32 p = bitmap.Pixel(x, y);
      const std::uint32_t a = raster::AlphaOf(p);
      if (alpha == TPngAlpha::Straight) {
        out[0] = StraightChannel(raster::RedOf(p), a);
        out[1] = StraightChannel(raster::GreenOf(p), a);
        out[2] = StraightChannel(raster::BlueOf(p), a);
      } else {
        out[0] = static_cast<std::uint8_t>(raster::RedOf(p));
        out[1] = static_cast<std::uint8_t>(raster::GreenOf(p));
        out[2] = static_cast<std::uint8_t>(raster::BlueOf(p));
      }
      out[3] = static_cast<std::uint8_t>(a);
    }
  }
  return image;
}

RgbaImage ReadRgbaPng(const std::string& path) {
  png_image png;
  std::memset(&png, 0, sizeof png);
  png.version = PNG_IMAGE_VERSION;
  if (png_image_begin_read_from_file(&png, path.c_str()) == 0) {
    throw EPngError(path + ": " + png.message);
  }
  png.format = PNG_FORMAT_RGBA;
  RgbaImage image;
  image.Width = static_cast<std::int32_t>(png.width);
  image.Height = static_cast<std::int32_t>(png.height);
  image.Bytes.resize(PNG_IMAGE_SIZE(png));
  if (png_image_finish_read(&png, nullptr, image.Bytes.data(), 0, nullptr) == 0) {
    const std::string message = png.message;
    png_image_free(&png);
    throw EPngError(path + ": " + message);
  }
  return image;
}

void WriteRgbaPng(const std::string& path, const RgbaImage& image) {
  if (image.Width <= 0 || image.Height <= 0 ||
      image.Bytes.size() != static_cast<std::size_t>(image.Width) * static_cast<std::size_t>(image.Height) * 4) {
    throw EPngError(path + ": no image to write");
  }
  png_image png;
  std::memset(&png, 0, sizeof png);
  png.version = PNG_IMAGE_VERSION;
  png.width = static_cast<png_uint_32>(image.Width);
  png.height = static_cast<png_uint_32>(image.Height);
  png.format = PNG_FORMAT_RGBA;
  if (png_image_write_to_file(&png, path.c_str(), 0, image.Bytes.data(), 0, nullptr) == 0) {
    throw EPngError(path + ": " + png.message);
  }
}

}  // namespace vesk::imaging
