#pragma once
// Writes small PNG streams chunk by chunk, so tests control every header
// field, every chunk and its order, including broken ones.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vesk::imaging::testing {

using Bytes = std::vector<std::uint8_t>;

struct PngImage {
  std::uint32_t width = 1;
  std::uint32_t height = 1;
  std::uint8_t bit_depth = 8;
  std::uint8_t color_type = 6;
  std::uint8_t interlace = 0;  // 1: Adam7 (whole-byte pixels only)
  // Packed samples, row after row without filter bytes (rows of sub-byte
  // pixels padded to whole bytes), as they appear in the image.
  Bytes samples;
  Bytes palette;       // PLTE contents, written when not empty
  Bytes transparency;  // tRNS contents, written when not empty
  // Extra chunks written before PLTE/IDAT, and after the image data.
  std::vector<std::pair<std::string, Bytes>> before_data;
  std::vector<std::pair<std::string, Bytes>> after_data;
};

// One chunk: length, type, data, CRC.
[[nodiscard]] Bytes Chunk(std::string_view type, const Bytes& data);
// The IHDR contents.
[[nodiscard]] Bytes HeaderData(std::uint32_t width, std::uint32_t height, std::uint8_t bit_depth,
                               std::uint8_t color_type, std::uint8_t interlace);
// A big-endian 32-bit value.
[[nodiscard]] Bytes BigEndian32(std::uint32_t value);
// The whole PNG stream.
[[nodiscard]] Bytes EncodePng(const PngImage& png);
// A stream whose header claims w x h RGBA pixels, followed by almost no
// image data.
[[nodiscard]] Bytes HeaderOnlyPng(std::uint32_t w, std::uint32_t h);

// Writes bytes to <executable folder>/<folder>/<name> and returns the
// relative path with a backslash separator, as skin paths are written.
std::string WriteBesideExecutable(std::string_view folder, std::string_view name, const Bytes& bytes);

}  // namespace vesk::imaging::testing
