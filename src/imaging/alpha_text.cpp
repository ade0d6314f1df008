#include "imaging/alpha_text.h"

#include <cstring>

#include "platform/sys_color.h"

namespace vesk::imaging {

std::unique_ptr<platform::Surface> MakeTextBitmap(std::string_view text, const platform::FontDesc& font) {
  // 1. Measure on a small surface that exists only for that.
  const TSize extent = platform::CreateSurface(80, 20)->MeasureText(font, text);
  const std::int32_t width = extent.cx + 2;
  const std::int32_t height = extent.cy + 2;
  const std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);

  // 2. The white drawing, the black drawing and the result.
  std::unique_ptr<platform::Surface> white = platform::CreateSurface(width, height);
  std::unique_ptr<platform::Surface> black = platform::CreateSurface(width, height);
  std::unique_ptr<platform::Surface> result = platform::CreateSurface(width, height);

  // 3. The result starts as all zero bytes, alpha included.
  std::memset(result->Bits(), 0, count * sizeof(std::uint32_t));

  // 4. Light fonts are measured as dark text and dark fonts as light text.
  const std::uint32_t font_rgb = platform::ResolveGdiColor(font.Color);
  const std::int32_t ink = TextMeasureColor(font_rgb);

  // 5, 6. The same string on white and on black, opaque background.
  white->FillRect(0, 0, width, height, 0xFFFFFF);
  white->DrawText(font, 0, 0, text, ink, 0xFFFFFF);
  black->FillRect(0, 0, width, height, 0x000000);
  black->DrawText(font, 0, 0, text, ink, 0x000000);
  white->Flush();
  black->Flush();

  // 7. The measured alpha goes into the black drawing's alpha byte.
  std::uint32_t* w = white->Bits();
  std::uint32_t* k = black->Bits();
  for (std::size_t i = 0; i < count; ++i) k[i] = (k[i] & 0x00FFFFFFu) | MeasuredAlpha(w[i], k[i]) << 24;

  // 8, 9. The white drawing becomes the font's colour, premultiplied.
  white->FillRect(0, 0, width, height, static_cast<std::int32_t>(font_rgb));
  white->Flush();
  for (std::size_t i = 0; i < count; ++i) w[i] = PremultiplyPixel(w[i], raster::AlphaOf(k[i]));

  // 10. Source-over onto the all-zero result: it takes the pixels as they are.
  result->AlphaBlend(0, 0, width, height, *white, 0, 0,
                     TBlendFunction{kBlendOpSourceOver, 0, 255, kAlphaFormatSourceAlpha});
  return result;
}

TRect DrawAlphaText(std::int32_t x, std::int32_t y, std::string_view text, const platform::FontDesc& font,
                            platform::Surface& destination, TBlendFunction blend) {
  const std::unique_ptr<platform::Surface> bitmap = MakeTextBitmap(text, font);
  destination.AlphaBlend(x, y, bitmap->Width(), bitmap->Height(), *bitmap, 0, 0, blend);
  destination.Flush();  // the caller reads the pixels next
  return TRect{x, y, x + bitmap->Width(), y + bitmap->Height()};
}

TTextBitmapCache::TEntry& TTextBitmapCache::Entry(std::string_view text, const platform::FontDesc& font) {
  const std::uint32_t rgb = platform::ResolveGdiColor(font.Color);
  for (TEntry& e : entries_) {
    if (e.Rgb == rgb && e.Text == text && e.Font == font) {
      e.Used = true;
      return e;
    }
  }
  TEntry entry;
  entry.Text = std::string(text);
  entry.Font = font;
  entry.Rgb = rgb;
  entry.Bitmap = MakeTextBitmap(text, font);
  entry.Used = true;
  ++made_;
  entries_.push_back(std::move(entry));
  return entries_.back();
}

const platform::Surface& TTextBitmapCache::Bitmap(std::string_view text, const platform::FontDesc& font) {
  return *Entry(text, font).Bitmap;
}

TRect TTextBitmapCache::DrawAlphaText(std::int32_t x, std::int32_t y, std::string_view text,
                                              const platform::FontDesc& font, platform::Surface& destination,
                                              TBlendFunction blend) {
  TEntry& e = Entry(text, font);
  const platform::Surface& bitmap = *e.Bitmap;
  const TRect area{x, y, x + bitmap.Width(), y + bitmap.Height()};
  const TRect inside = IntersectRect(area, TRect{0, 0, destination.Width(), destination.Height()});
  destination.Flush();  // the pixels are read below
  bool black = true;
  for (std::int32_t row = inside.Top; black && row < inside.Bottom; ++row) {
    const std::uint32_t* d = destination.Bits() + static_cast<std::ptrdiff_t>(row) * destination.Width();
    for (std::int32_t col = inside.Left; col < inside.Right; ++col) {
      if (d[col] != 0) {
        black = false;
        break;
      }
    }
  }
  if (!black) {
    destination.AlphaBlend(x, y, bitmap.Width(), bitmap.Height(), bitmap, 0, 0, blend);
    destination.Flush();
    return area;
  }
  if (!e.OverBlack || e.OverBlackRecord != blend) {
    e.OverBlack = platform::CreateSurface(bitmap.Width(), bitmap.Height());
    std::memset(e.OverBlack->Bits(), 0,
                static_cast<std::size_t>(bitmap.Width()) * static_cast<std::size_t>(bitmap.Height()) * 4);
    e.OverBlack->AlphaBlend(0, 0, bitmap.Width(), bitmap.Height(), bitmap, 0, 0, blend);
    e.OverBlack->Flush();
    e.OverBlackRecord = blend;
  } else {
    ++copied_;
  }
  for (std::int32_t row = inside.Top; row < inside.Bottom; ++row) {
    const std::uint32_t* s = e.OverBlack->Bits() + static_cast<std::ptrdiff_t>(row - y) * bitmap.Width() + (inside.Left - x);
    std::uint32_t* d = destination.Bits() + static_cast<std::ptrdiff_t>(row) * destination.Width() + inside.Left;
    std::memcpy(d, s, static_cast<std::size_t>(inside.Right - inside.Left) * 4);
  }
  return area;
}

void TTextBitmapCache::EndRound() {
  std::erase_if(entries_, [](const TEntry& e) { return !e.Used; });
  for (TEntry& e : entries_) e.Used = false;
}

}  // namespace vesk::imaging
