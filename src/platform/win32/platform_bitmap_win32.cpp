// The Windows platform bitmap: a 24- or 32-bit DIB section selected into its
// own memory device context (its canvas).
#include <windows.h>

#include <mutex>

#include "platform/platform_bitmap.h"
#include "platform/surface.h"
#include "platform/win32/dib_section.h"

namespace vesk::platform {

namespace {

class GdiPlatformBitmap final : public PlatformBitmap {
 public:
  GdiPlatformBitmap(std::int32_t width, std::int32_t height, PixelFormat format, HBITMAP bitmap, HDC dc,
                    void* bits)
      : PlatformBitmap(width, height, format),
        bitmap_(bitmap),
        dc_(dc),
        bits_(static_cast<std::uint8_t*>(bits)),
        // DIB rows are padded to whole 32-bit words.
        stride_(((static_cast<std::size_t>(width) * static_cast<int>(format) + 31) / 32) * 4) {}

  ~GdiPlatformBitmap() override {
    DeleteDC(dc_);
    DeleteObject(bitmap_);
  }

  std::uint8_t* ScanLine(std::int32_t y) const noexcept override {
    GdiFlush();
    return bits_ + stride_ * static_cast<std::size_t>(y);
  }
  void* Handle() const noexcept override { return bitmap_; }

  void CopyTo(Surface& destination) const override {
    std::lock_guard<std::mutex> guard(canvas_lock_);
    BitBlt(static_cast<HDC>(destination.Handle()), 0, 0, Width(), Height(), dc_, 0, 0, SRCCOPY);
    GdiFlush();
  }

 private:
  HBITMAP bitmap_;
  HDC dc_;
  std::uint8_t* bits_;
  std::size_t stride_;
  mutable std::mutex canvas_lock_;
};

}  // namespace

std::unique_ptr<PlatformBitmap> CreatePlatformBitmap(std::int32_t width, std::int32_t height, PixelFormat format) {
  const DibSection dib = CreateSelectedDibSection(width, height, static_cast<WORD>(format));
  return std::make_unique<GdiPlatformBitmap>(width, height, format, dib.bitmap, dib.dc, dib.bits);
}

}  // namespace vesk::platform
