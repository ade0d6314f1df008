#pragma once
// Decodes a PNG stream (libpng) into the premultiplied 32-bit pixels of a
// skin image. Works on any byte source, so a file and a memory buffer take
// the same path.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "raster/color32.h"
#include "base/errors.h"

namespace vesk::imaging {

// A PNG stream that the decoder refuses: the message is the decoder's.
class EPngError : public Exception {
 public:
  using Exception::Exception;
};

// An image whose header gives a size beyond the limits the caller set; no
// pixel memory was made for it.
class EImageTooLarge final : public EPngError {
 public:
  EImageTooLarge(const std::string& message, std::uint32_t width, std::uint32_t height)
      : EPngError(message), width_(width), height_(height) {}
  [[nodiscard]] std::uint32_t Width() const noexcept { return width_; }
  [[nodiscard]] std::uint32_t Height() const noexcept { return height_; }

 private:
  std::uint32_t width_;
  std::uint32_t height_;
};

// Where the decoder takes its bytes from. Read is called from inside the
// decoder and must not throw.
class PngByteSource {
 public:
  virtual ~PngByteSource() = default;
  // Copies up to `size` bytes into `buffer` and stores their count in `got`
  // (fewer than `size` only at the end of the data). Returns false on a read
  // failure, described then by FailureText.
  virtual bool Read(std::uint8_t* buffer, std::size_t size, std::size_t& got) noexcept = 0;
  [[nodiscard]] virtual const char* FailureText() const noexcept { return "Read error"; }
};

// A byte source over memory that the caller keeps alive.
class PngMemorySource final : public PngByteSource {
 public:
  explicit PngMemorySource(std::span<const std::uint8_t> bytes) noexcept : bytes_(bytes) {}
  bool Read(std::uint8_t* buffer, std::size_t size, std::size_t& got) noexcept override;

 private:
  std::span<const std::uint8_t> bytes_;
  std::size_t position_ = 0;
};

// Sizes beyond which an image is refused, from its header, before any pixel
// memory exists.
struct PngLimits {
  std::uint32_t max_width = 16384;
  std::uint32_t max_height = 16384;
  std::uint64_t max_pixels = std::uint64_t{64} << 20;  // 256 MiB of 32-bit pixels
};

// The limits of a skin image: far beyond the largest artwork the clock
// draws (450 x 450 at 300 %), and small enough that a face of that size is
// still composed once a second without taking the machine.
inline constexpr PngLimits kSkinImageLimits{2048, 2048, std::uint64_t{2048} * 2048};

// A decoded skin: Width x Height pixels, row-major, top row first, each a
// premultiplied TColor32 (see skin_pixels.h).
struct SkinImage {
  std::int32_t Width = 0;
  std::int32_t Height = 0;
  std::vector<raster::TColor32> Pixels;
};

// Decodes a whole PNG stream: 8 bits per sample (16-bit samples keep their
// high byte), palettes and grey expanded, a gAMA chunk applied to the colour
// samples of RGB and RGBA images, then every pixel turned into a skin pixel.
// Raises EPngError with the decoder's message for data it refuses, and
// EImageTooLarge for an image larger than `limits`.
[[nodiscard]] SkinImage DecodeSkinPng(PngByteSource& source, const PngLimits& limits = {});
[[nodiscard]] SkinImage DecodeSkinPng(std::span<const std::uint8_t> bytes, const PngLimits& limits = {});

}  // namespace vesk::imaging
