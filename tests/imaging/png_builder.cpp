#include "png_builder.h"

#include <zlib.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "platform/process.h"

namespace vesk::imaging::testing {
namespace {

void Append(Bytes& out, const Bytes& more) { out.insert(out.end(), more.begin(), more.end()); }

std::size_t RowBytes(std::uint32_t width, const PngImage& png) {
  int channels = 1;
  switch (png.color_type) {
    case 2: channels = 3; break;
    case 4: channels = 2; break;
    case 6: channels = 4; break;
    default: channels = 1; break;
  }
  return (std::size_t{width} * channels * png.bit_depth + 7) / 8;
}

// Filter type 0 (none) before every row of the (sub)image.
Bytes FilteredRows(const Bytes& samples, std::size_t row_bytes, std::uint32_t rows) {
  Bytes out;
  for (std::uint32_t y = 0; y < rows; ++y) {
    out.push_back(0);
    const std::size_t start = std::size_t{y} * row_bytes;
    for (std::size_t i = 0; i < row_bytes; ++i) out.push_back(start + i < samples.size() ? samples[start + i] : 0);
  }
  return out;
}

Bytes ImageData(const PngImage& png) {
  const std::size_t row_bytes = RowBytes(png.width, png);
  if (png.interlace == 0) return FilteredRows(png.samples, row_bytes, png.height);
  if (png.bit_depth < 8) throw std::logic_error("interlaced test images need whole-byte pixels");
  const std::size_t pixel_bytes = row_bytes / png.width;
  // Adam7 passes: start x, start y, step x, step y.
  static constexpr int kPasses[7][4] = {{0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4},
                                         {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2}};
  Bytes out;
  for (const auto& pass : kPasses) {
    Bytes sub;
    std::uint32_t sub_width = 0, sub_height = 0;
    for (std::uint32_t y = pass[1]; y < png.height; y += pass[3]) {
      ++sub_height;
      sub_width = 0;
      for (std::uint32_t x = pass[0]; x < png.width; x += pass[2]) {
        ++sub_width;
        const std::size_t at = y * row_bytes + x * pixel_bytes;
        sub.insert(sub.end(), png.samples.begin() + at, png.samples.begin() + at + pixel_bytes);
      }
    }
    if (sub_width == 0 || sub_height == 0) continue;
    Append(out, FilteredRows(sub, sub_width * pixel_bytes, sub_height));
  }
  return out;
}

}  // namespace

Bytes BigEndian32(std::uint32_t value) {
  return {static_cast<std::uint8_t>(value >> 24), static_cast<std::uint8_t>(value >> 16),
          static_cast<std::uint8_t>(value >> 8), static_cast<std::uint8_t>(value)};
}

Bytes Chunk(std::string_view type, const Bytes& data) {
  Bytes out = BigEndian32(static_cast<std::uint32_t>(data.size()));
  Bytes body(type.begin(), type.end());
  Append(body, data);
  Append(out, body);
  Append(out, BigEndian32(static_cast<std::uint32_t>(crc32(0, body.data(), static_cast<uInt>(body.size())))));
  return out;
}

Bytes HeaderData(std::uint32_t width, std::uint32_t height, std::uint8_t bit_depth, std::uint8_t color_type,
                 std::uint8_t interlace) {
  Bytes data = BigEndian32(width);
  Append(data, BigEndian32(height));
  data.insert(data.end(), {bit_depth, color_type, 0, 0, interlace});
  return data;
}

Bytes EncodePng(const PngImage& png) {
  Bytes out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  Append(out, Chunk("IHDR", HeaderData(png.width, png.height, png.bit_depth, png.color_type, png.interlace)));
  for (const auto& [type, data] : png.before_data) Append(out, Chunk(type, data));
  if (!png.palette.empty()) Append(out, Chunk("PLTE", png.palette));
  if (!png.transparency.empty()) Append(out, Chunk("tRNS", png.transparency));
  const Bytes raw = ImageData(png);
  uLongf packed_size = compressBound(static_cast<uLong>(raw.size()));
  Bytes packed(packed_size);
  if (compress(packed.data(), &packed_size, raw.data(), static_cast<uLong>(raw.size())) != Z_OK) {
    throw std::runtime_error("compress failed");
  }
  packed.resize(packed_size);
  Append(out, Chunk("IDAT", packed));
  for (const auto& [type, data] : png.after_data) Append(out, Chunk(type, data));
  Append(out, Chunk("IEND", {}));
  return out;
}

std::string WriteBesideExecutable(std::string_view folder, std::string_view name, const Bytes& bytes) {
  const std::filesystem::path dir = std::filesystem::path(platform::ExecutableFolder()) / std::string(folder);
  std::filesystem::create_directories(dir);
  std::ofstream file(dir / std::string(name), std::ios::binary | std::ios::trunc);
  file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!file) throw std::runtime_error("cannot write test file");
  return std::string(folder) + "\\" + std::string(name);
}

Bytes HeaderOnlyPng(std::uint32_t w, std::uint32_t h) {
  PngImage png;
  png.width = 1;
  png.height = 1;
  png.color_type = 6;
  png.samples = {0, 0, 0, 0};
  Bytes out = EncodePng(png);
  const Bytes ihdr = Chunk("IHDR", HeaderData(w, h, 8, 6, 0));
  std::copy(ihdr.begin(), ihdr.end(), out.begin() + 8);
  return out;
}

}  // namespace vesk::imaging::testing
