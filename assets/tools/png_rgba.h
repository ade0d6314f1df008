#pragma once
// Reading and writing 8-bit RGBA PNG files with libpng for the asset tools.
#include <png.h>

#include <cstdint>
#include <cstdio>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace vesk::assets {

struct RgbaImage {
  int Width = 0;
  int Height = 0;
  std::vector<std::uint8_t> Pixels;  // R, G, B, A per pixel, rows top-down, straight (not premultiplied)
};

inline RgbaImage ReadRgbaPng(const std::string& path) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (png_image_begin_read_from_file(&image, path.c_str()) == 0) throw std::runtime_error(path + ": " + image.message);
  image.format = PNG_FORMAT_RGBA;
  RgbaImage out;
  out.Width = static_cast<int>(image.width);
  out.Height = static_cast<int>(image.height);
  out.Pixels.resize(PNG_IMAGE_SIZE(image));
  if (png_image_finish_read(&image, nullptr, out.Pixels.data(), 0, nullptr) == 0) {
    png_image_free(&image);
    throw std::runtime_error(path + ": " + image.message);
  }
  return out;
}

inline void WriteRgbaPng(const std::string& path, const RgbaImage& img) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(img.Width);
  image.height = static_cast<png_uint_32>(img.Height);
  image.format = PNG_FORMAT_RGBA;
  if (png_image_write_to_file(&image, path.c_str(), 0, img.Pixels.data(), 0, nullptr) == 0)
    throw std::runtime_error(path + ": " + image.message);
}

}  // namespace vesk::assets
