#pragma once
// The drawing surface of the operating system: a block of 32-bit top-down
// pixels (bytes B, G, R, A) owned by the surface, plus what the raster engine
// and the text renderer need from the system: text measurement and drawing
// with a font, solid fills and a constant-alpha source-over blend from another
// surface. On Windows it is a DIB section selected into a memory device
// context (Handle() is that HDC), so GDI and UpdateLayeredWindow work on the
// very same pixels; elsewhere it is plain memory with FreeType text.
#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "base/blend_function.h"
#include "base/geometry.h"
#include "platform/font.h"

namespace vesk::platform {

// Raised when a surface cannot be made; the message is one of the three below.
class SurfaceError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

inline constexpr const char* kErrAllocateDib = "Can't allocate the DIB handle";
inline constexpr const char* kErrCreateDc = "Can't create compatible DC";
inline constexpr const char* kErrSelectObject = "Can't select an object into DC";

// Largest pixel memory a surface may own (256 MiB).
inline constexpr std::uint64_t kMaxSurfaceBytes = 256ull << 20;

// True when width x height x 4 bytes is positive, fits in memory arithmetic
// and stays within kMaxSurfaceBytes. Checked before any allocation.
[[nodiscard]] bool SurfaceSizeValid(std::int32_t width, std::int32_t height) noexcept;


class Surface {
 public:
  virtual ~Surface() = default;
  Surface(const Surface&) = delete;
  Surface& operator=(const Surface&) = delete;

  [[nodiscard]] std::int32_t Width() const noexcept { return width_; }
  [[nodiscard]] std::int32_t Height() const noexcept { return height_; }
  // First pixel of the top row; rows are exactly Width() pixels apart.
  [[nodiscard]] std::uint32_t* Bits() const noexcept { return bits_; }

  // The device context (HDC) on Windows; an opaque non-null value elsewhere.
  [[nodiscard]] virtual void* Handle() const noexcept = 0;
  // The bitmap (HBITMAP) on Windows; an opaque non-null value elsewhere.
  [[nodiscard]] virtual void* BitmapHandle() const noexcept = 0;

  // Size of the string in the font (the font stays selected afterwards).
  // Text is single-byte: code page 1252 on Windows, Latin-1 elsewhere.
  [[nodiscard]] virtual TSize MeasureText(const FontDesc& font, std::string_view text) = 0;
  // The face name the system actually uses for the font (after substitution).
  [[nodiscard]] virtual std::string TextFace(const FontDesc& font) = 0;
  // Draws the string with its top-left corner at (x, y). With a background
  // colour the text cell is filled with it first (opaque), otherwise only the
  // glyphs are drawn. Colours are GDI colours (system colours allowed). Like
  // GDI, every pixel written gets alpha 0.
  virtual void DrawText(const FontDesc& font, std::int32_t x, std::int32_t y, std::string_view text,
                        std::int32_t text_color, std::optional<std::int32_t> background) = 0;
  // Deselects the font last used (the system font takes its place).
  virtual void ReleaseFont() = 0;

  // Fills columns left..right-1 of rows top..bottom-1 (clipped to the surface)
  // with a GDI colour; like GDI, the alpha byte becomes 0.
  virtual void FillRect(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
                        std::int32_t color) = 0;

  // Source-over blend of the source rectangle (sx, sy, width, height) onto
  // (x, y) of this surface, same size:
  //   out = S * k + D * (1 - S.alpha * k / 255), all four channels, k = SourceConstantAlpha / 255.
  // Returns false (and draws nothing) when the record is not a source-over
  // record or the source rectangle is not inside the source.
  virtual bool AlphaBlend(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                          const Surface& source, std::int32_t sx, std::int32_t sy, TBlendFunction blend) = 0;

  // Waits until every drawing call has reached the pixels (GdiFlush); call
  // before reading Bits() after drawing through the system.
  virtual void Flush() noexcept = 0;

 protected:
  Surface(std::int32_t width, std::int32_t height, std::uint32_t* bits) noexcept
      : width_(width), height_(height), bits_(bits) {}

 private:
  std::int32_t width_;
  std::int32_t height_;
  std::uint32_t* bits_;
};

// Makes a surface of the given size (both > 0). Raises SurfaceError with
// kErrAllocateDib when the size is invalid (SurfaceSizeValid) or the memory
// cannot be had, kErrCreateDc or kErrSelectObject when the device context
// fails.
[[nodiscard]] std::unique_ptr<Surface> CreateSurface(std::int32_t width, std::int32_t height);

// The platform's own surface constructor, without the factory indirection.
[[nodiscard]] std::unique_ptr<Surface> CreateNativeSurface(std::int32_t width, std::int32_t height);

// CreateSurface goes through this factory; tests install one that fails to
// check the error paths. Returns the previous factory; nullptr restores the
// native one.
using SurfaceFactory = std::unique_ptr<Surface> (*)(std::int32_t width, std::int32_t height);
SurfaceFactory SetSurfaceFactory(SurfaceFactory factory) noexcept;

// Makes a font file usable by face name for this process only. Returns false
// when the file cannot be loaded.
bool AddPrivateFontFile(const std::string& path);

}  // namespace vesk::platform
