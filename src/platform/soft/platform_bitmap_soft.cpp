// The soft platform bitmap: 24- or 32-bit rows in memory.
#include <algorithm>
#include <cstring>
#include <mutex>
#include <vector>

#include "platform/platform_bitmap.h"
#include "platform/surface.h"

namespace vesk::platform {

namespace {

class SoftPlatformBitmap final : public PlatformBitmap {
 public:
  SoftPlatformBitmap(std::int32_t width, std::int32_t height, PixelFormat format)
      : PlatformBitmap(width, height, format),
        stride_(static_cast<std::size_t>(width) * BytesPerPixel()),
        bytes_(stride_ * static_cast<std::size_t>(height), 0) {}

  std::uint8_t* ScanLine(std::int32_t y) const noexcept override {
    return const_cast<std::uint8_t*>(bytes_.data()) + stride_ * static_cast<std::size_t>(y);
  }
  void* Handle() const noexcept override { return const_cast<SoftPlatformBitmap*>(this); }

  // A 24-bit source leaves alpha 0 in the destination, as the system's block
  // transfer does.
  void CopyTo(Surface& destination) const override {
    std::lock_guard<std::mutex> guard(canvas_lock_);
    const std::int32_t w = std::min(Width(), destination.Width());
    const std::int32_t h = std::min(Height(), destination.Height());
    for (std::int32_t y = 0; y < h; ++y) {
      const std::uint8_t* s = ScanLine(y);
      std::uint32_t* d = destination.Bits() + static_cast<std::ptrdiff_t>(y) * destination.Width();
      if (Format() == PixelFormat::pf32bit) {
        std::memcpy(d, s, static_cast<std::size_t>(w) * 4);
      } else {
        for (std::int32_t x = 0; x < w; ++x, s += 3) {
          d[x] = std::uint32_t{s[0]} | (std::uint32_t{s[1]} << 8) | (std::uint32_t{s[2]} << 16);
        }
      }
    }
  }

 private:
  std::size_t BytesPerPixel() const noexcept { return Format() == PixelFormat::pf32bit ? 4 : 3; }

  mutable std::mutex canvas_lock_;
  std::size_t stride_;
  std::vector<std::uint8_t> bytes_;
};

}  // namespace

std::unique_ptr<PlatformBitmap> CreatePlatformBitmap(std::int32_t width, std::int32_t height, PixelFormat format) {
  if (!SurfaceSizeValid(width, height)) throw SurfaceError(kErrAllocateDib);
  return std::make_unique<SoftPlatformBitmap>(width, height, format);
}

}  // namespace vesk::platform
