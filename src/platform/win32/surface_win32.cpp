// The Windows surface: a 32-bit top-down DIB section selected into a memory
// device context, GDI text and msimg32's AlphaBlend.
#include <windows.h>

#include "platform/surface.h"
#include "platform/sys_color.h"
#include "platform/win32/dib_section.h"
#include "platform/win32/win32_types.h"

namespace vesk::platform {

namespace {

class GdiSurface final : public Surface {
 public:
  GdiSurface(std::int32_t width, std::int32_t height, HBITMAP bitmap, HDC dc, void* bits)
      : Surface(width, height, static_cast<std::uint32_t*>(bits)), bitmap_(bitmap), dc_(dc) {}

  ~GdiSurface() override {
    ReleaseFont();
    DeleteDC(dc_);
    DeleteObject(bitmap_);
  }

  void* Handle() const noexcept override { return dc_; }
  void* BitmapHandle() const noexcept override { return bitmap_; }

  TSize MeasureText(const FontDesc& font, std::string_view text) override {
    Select(font);
    SIZE size{0, 0};
    if (!GetTextExtentPoint32A(dc_, text.data(), static_cast<int>(text.size()), &size)) return TSize{};
    return TSize{size.cx, size.cy};
  }

  std::string TextFace(const FontDesc& font) override {
    Select(font);
    char name[LF_FACESIZE + 1] = {};
    const int n = GetTextFaceA(dc_, static_cast<int>(sizeof name), name);
    return n > 0 ? std::string(name) : std::string();
  }

  void DrawText(const FontDesc& font, std::int32_t x, std::int32_t y, std::string_view text,
                std::int32_t text_color, std::optional<std::int32_t> background) override {
    Select(font);
    SetTextAlign(dc_, TA_LEFT | TA_TOP | TA_NOUPDATECP);
    SetTextColor(dc_, ResolveGdiColor(text_color));
    if (background) {
      SetBkMode(dc_, OPAQUE);
      SetBkColor(dc_, ResolveGdiColor(*background));
    } else {
      SetBkMode(dc_, TRANSPARENT);
    }
    TextOutA(dc_, x, y, text.data(), static_cast<int>(text.size()));
    GdiFlush();
  }

  void ReleaseFont() override {
    if (font_ == nullptr) return;
    SelectObject(dc_, GetStockObject(SYSTEM_FONT));
    DeleteObject(font_);
    font_ = nullptr;
  }

  void FillRect(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
                std::int32_t color) override {
    HBRUSH brush = CreateSolidBrush(ResolveGdiColor(color));
    if (brush == nullptr) return;
    const RECT r{left, top, right, bottom};
    ::FillRect(dc_, &r, brush);
    DeleteObject(brush);
    GdiFlush();
  }

  bool AlphaBlend(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height, const Surface& source,
                  std::int32_t sx, std::int32_t sy, TBlendFunction blend) override {
    // Checked here so that every system refuses the same records and
    // rectangles (some accept other blend operations).
    if (blend.BlendOp != kBlendOpSourceOver || blend.BlendFlags != 0 || blend.AlphaFormat > kAlphaFormatSourceAlpha) return false;
    if (width < 0 || height < 0 || sx < 0 || sy < 0 || std::int64_t{sx} + width > source.Width() ||
        std::int64_t{sy} + height > source.Height()) {
      return false;
    }
    const BOOL ok = ::AlphaBlend(dc_, x, y, width, height, static_cast<HDC>(source.Handle()), sx, sy, width,
                                 height, win32::ToBLENDFUNCTION(blend));
    GdiFlush();
    return ok != FALSE;
  }

  void Flush() noexcept override { GdiFlush(); }

 private:
  // Makes the GDI font for the description (reused while it stays the same)
  // and selects it. Explicit grey antialiasing, so the result does not follow
  // the user's ClearType setting.
  void Select(const FontDesc& font) {
    if (font_ != nullptr && font == font_desc_) return;
    const int weight = (font.Style & kFontBold) != 0 ? FW_BOLD : FW_NORMAL;
    const DWORD quality =
        font.Quality == FontQuality::NonAntialiased ? NONANTIALIASED_QUALITY : ANTIALIASED_QUALITY;
    // The height is in pixels (a negative lfHeight is the character height in
    // device units), so the monitor's resolution never changes it.
    const int height = FontEmHeight(font);
    auto make = [&](int width) {
      return CreateFontA(-height, width, 0, 0, weight, (font.Style & kFontItalic) != 0,
                         (font.Style & kFontUnderline) != 0, (font.Style & kFontStrikeOut) != 0, DEFAULT_CHARSET,
                         OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, quality, DEFAULT_PITCH | FF_DONTCARE,
                         font.Name.c_str());
    };
    HFONT created = make(0);
    if (created == nullptr) return;  // keeps the previous font
    if (font.EmWidth > 0 && font.EmWidth != height) {
      // GDI narrows a font by its average character width: the natural
      // average width scaled by em width / em height.
      const HGDIOBJ previous = SelectObject(dc_, created);
      TEXTMETRICA metrics{};
      const bool measured = GetTextMetricsA(dc_, &metrics) != FALSE;
      SelectObject(dc_, previous);
      if (measured && metrics.tmAveCharWidth > 0) {
        const int width = MulDiv(metrics.tmAveCharWidth, font.EmWidth, height);
        if (HFONT narrowed = make(width > 0 ? width : 1)) {
          DeleteObject(created);
          created = narrowed;
        }
      }
    }
    SelectObject(dc_, created);
    if (font_ != nullptr) DeleteObject(font_);
    font_ = created;
    font_desc_ = font;
  }

  HBITMAP bitmap_;
  HDC dc_;
  HFONT font_ = nullptr;
  FontDesc font_desc_;
};

}  // namespace

std::unique_ptr<Surface> CreateNativeSurface(std::int32_t width, std::int32_t height) {
  const DibSection dib = CreateSelectedDibSection(width, height, 32);
  return std::make_unique<GdiSurface>(width, height, dib.bitmap, dib.dc, dib.bits);
}

bool AddPrivateFontFile(const std::string& path) {
  return AddFontResourceExA(path.c_str(), FR_PRIVATE, nullptr) > 0;
}

}  // namespace vesk::platform
