// The soft surface: pixels on the heap, text through FreeType.
#include <algorithm>
#include <new>

#include "platform/alpha_blend_math.h"
#include "platform/soft/font_engine.h"
#include "platform/surface.h"
#include "platform/sys_color.h"

namespace vesk::platform {

namespace {

class SoftSurface final : public Surface {
 public:
  SoftSurface(std::int32_t width, std::int32_t height, std::unique_ptr<std::uint32_t[]> pixels)
      : Surface(width, height, pixels.get()), pixels_(std::move(pixels)) {}

  void* Handle() const noexcept override { return const_cast<SoftSurface*>(this); }
  void* BitmapHandle() const noexcept override { return pixels_.get(); }

  TSize MeasureText(const FontDesc& font, std::string_view text) override {
    const soft::TextMetrics m = soft::MeasureText(font, text);
    return TSize{m.width, m.ascent + m.descent};
  }

  std::string TextFace(const FontDesc& font) override { return soft::MatchedFamily(font); }

  void DrawText(const FontDesc& font, std::int32_t x, std::int32_t y, std::string_view text,
                std::int32_t text_color, std::optional<std::int32_t> background) override {
    if (background) {
      const TSize e = MeasureText(font, text);
      FillRect(x, y, x + e.cx, y + e.cy, *background);
    }
    const std::uint32_t fg = ResolveGdiColor(text_color);  // 0x00BBGGRR
    const std::uint32_t fr = fg & 0xFFu, fgn = (fg >> 8) & 0xFFu, fb = (fg >> 16) & 0xFFu;
    soft::RenderText(font, x, y, text, [&](std::int32_t px, std::int32_t py, std::uint8_t c) {
      if (px < 0 || py < 0 || px >= Width() || py >= Height()) return;
      std::uint32_t& p = Bits()[static_cast<std::ptrdiff_t>(py) * Width() + px];
      // Coverage c mixes the text colour over the pixel: (F*c + D*(255-c)) / 255,
      // rounded to nearest; the alpha byte becomes 0 as with the system's renderer.
      auto mix = [c](std::uint32_t f, std::uint32_t d) { return (f * c + d * (255u - c) + 127u) / 255u; };
      p = (mix(fr, (p >> 16) & 0xFFu) << 16) | (mix(fgn, (p >> 8) & 0xFFu) << 8) | mix(fb, p & 0xFFu);
    });
  }

  void ReleaseFont() override {}

  void FillRect(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
                std::int32_t color) override {
    left = std::max(left, 0);
    top = std::max(top, 0);
    right = std::min(right, Width());
    bottom = std::min(bottom, Height());
    if (left >= right || top >= bottom) return;
    const std::uint32_t bgr = ResolveGdiColor(color);
    const std::uint32_t value = ((bgr & 0xFFu) << 16) | (bgr & 0xFF00u) | ((bgr >> 16) & 0xFFu);
    for (std::int32_t y = top; y < bottom; ++y) {
      std::uint32_t* row = Bits() + static_cast<std::ptrdiff_t>(y) * Width();
      std::fill(row + left, row + right, value);
    }
  }

  bool AlphaBlend(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height, const Surface& source,
                  std::int32_t sx, std::int32_t sy, TBlendFunction blend) override {
    if (blend.BlendOp != kBlendOpSourceOver || blend.BlendFlags != 0 || blend.AlphaFormat > kAlphaFormatSourceAlpha) return false;
    if (width < 0 || height < 0 || sx < 0 || sy < 0 || std::int64_t{sx} + width > source.Width() ||
        std::int64_t{sy} + height > source.Height()) {
      return false;
    }
    const bool per_pixel = blend.AlphaFormat == kAlphaFormatSourceAlpha;
    for (std::int32_t row = 0; row < height; ++row) {
      const std::int64_t dy = std::int64_t{y} + row;
      if (dy < 0 || dy >= Height()) continue;
      const std::uint32_t* s = source.Bits() + static_cast<std::ptrdiff_t>(sy + row) * source.Width() + sx;
      std::uint32_t* d = Bits() + static_cast<std::ptrdiff_t>(dy) * Width();
      for (std::int32_t col = 0; col < width; ++col) {
        const std::int64_t dx = std::int64_t{x} + col;
        if (dx < 0 || dx >= Width()) continue;
        d[dx] = SourceOverConstant(s[col], d[dx], blend.SourceConstantAlpha, per_pixel);
      }
    }
    return true;
  }

  void Flush() noexcept override {}

 private:
  std::unique_ptr<std::uint32_t[]> pixels_;
};

}  // namespace

std::unique_ptr<Surface> CreateNativeSurface(std::int32_t width, std::int32_t height) {
  if (!SurfaceSizeValid(width, height)) throw SurfaceError(kErrAllocateDib);
  std::unique_ptr<std::uint32_t[]> pixels(
      new (std::nothrow) std::uint32_t[static_cast<std::size_t>(width) * static_cast<std::size_t>(height)]);
  if (!pixels) throw SurfaceError(kErrAllocateDib);
  return std::make_unique<SoftSurface>(width, height, std::move(pixels));
}

bool AddPrivateFontFile(const std::string& path) { return soft::AddFontFile(path); }

}  // namespace vesk::platform
