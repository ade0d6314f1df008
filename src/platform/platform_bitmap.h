#pragma once
// A bitmap of the operating system with a pixel format, as the image loaders
// of the platform produce it: on Windows a GDI bitmap (a DIB section selected
// into its own device context, its canvas), elsewhere the same in memory.
// TBitmap32::Assign copies one into a 32-bit bitmap.
#include <cstdint>
#include <memory>

#include "platform/font.h"

namespace vesk::platform {

class Surface;

enum class PixelFormat : std::uint8_t { pf24bit = 24, pf32bit = 32 };

class PlatformBitmap {
 public:
  virtual ~PlatformBitmap() = default;
  PlatformBitmap(const PlatformBitmap&) = delete;
  PlatformBitmap& operator=(const PlatformBitmap&) = delete;

  [[nodiscard]] std::int32_t Width() const noexcept { return width_; }
  [[nodiscard]] std::int32_t Height() const noexcept { return height_; }
  [[nodiscard]] PixelFormat Format() const noexcept { return format_; }

  // Row y (top row 0): 3 bytes a pixel (B, G, R) for pf24bit, 4 (B, G, R, A)
  // for pf32bit.
  [[nodiscard]] virtual std::uint8_t* ScanLine(std::int32_t y) const noexcept = 0;
  // The bitmap (HBITMAP) on Windows; opaque elsewhere.
  [[nodiscard]] virtual void* Handle() const noexcept = 0;

  // Copies the top-left Width() x Height() block into (0, 0) of the
  // destination, holding the canvas lock (a block transfer, SRCCOPY).
  // Between two 32-bit bitmaps every byte is copied as it is, alpha included.
  virtual void CopyTo(Surface& destination) const = 0;

  // The transparency mark: when set, pixels of TransparentColor (a GDI colour)
  // are meant to be transparent.
  bool Transparent = false;
  std::int32_t TransparentColor = 0;
  // The font of the bitmap's canvas.
  FontDesc Font;

 protected:
  PlatformBitmap(std::int32_t width, std::int32_t height, PixelFormat format) noexcept
      : width_(width), height_(height), format_(format) {}

 private:
  std::int32_t width_;
  std::int32_t height_;
  PixelFormat format_;
};

// Makes a platform bitmap (contents zero). Raises SurfaceError on an invalid
// size or when the system refuses.
[[nodiscard]] std::unique_ptr<PlatformBitmap> CreatePlatformBitmap(std::int32_t width, std::int32_t height,
                                                                  PixelFormat format);

}  // namespace vesk::platform
