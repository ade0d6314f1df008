// Feeds arbitrary bytes to the skin PNG decoder. Refusals (EPngError) are
// expected; crashes, sanitizer reports and broken results are findings. Every
// decoded image is checked: the pixel count matches the size, and a pixel
// with alpha never has a colour channel above its alpha (premultiplied).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "imaging/png_decoder.h"

namespace {

// Smaller than the loader's own limits, so the fuzzer's memory stays bounded.
constexpr vesk::imaging::PngLimits kFuzzLimits{4096, 4096, std::uint64_t{4} << 20};

void CheckImage(const vesk::imaging::SkinImage& image) {
  if (image.Width <= 0 || image.Height <= 0 ||
      image.Pixels.size() != static_cast<std::size_t>(image.Width) * static_cast<std::size_t>(image.Height)) {
    std::abort();
  }
  for (const vesk::raster::TColor32 c : image.Pixels) {
    const std::uint32_t a = vesk::raster::AlphaOf(c);
    if (a != 0 && (vesk::raster::RedOf(c) > a || vesk::raster::GreenOf(c) > a || vesk::raster::BlueOf(c) > a)) {
      std::abort();
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  try {
    CheckImage(vesk::imaging::DecodeSkinPng(std::span<const std::uint8_t>(data, size), kFuzzLimits));
  } catch (const vesk::imaging::EPngError&) {
    // A refused stream is a correct outcome.
  }
  return 0;
}
