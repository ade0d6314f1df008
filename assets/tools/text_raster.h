#pragma once
// Grey-scale text rendering with FreeType for the asset tools: a string laid
// out on one line, its top-left corner at the top of the font's ascent, as a
// Windows text extent places it. Advances are the hinted advances rounded to
// whole pixels, so the width is what a text-extent query reports.
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#include <cmath>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace vesk::assets {

// A font file at a pixel size. x_ppem 0 keeps the natural proportions; a
// smaller x_ppem condenses the glyphs horizontally.
struct FontSetting {
  std::string File;
  int YPpem = 0;
  int XPpem = 0;
};

struct TextImage {
  int Width = 0;          // sum of the advances
  int Height = 0;         // ascent + descent
  int Ascent = 0;
  int InkLeft = 0, InkTop = 0, InkRight = 0, InkBottom = 0;  // painted box, right/bottom exclusive
  std::vector<std::uint8_t> Coverage;                        // Width x Height, 0..255
};

class TextRaster {
 public:
  explicit TextRaster(const FontSetting& setting) {
    if (FT_Init_FreeType(&library_) != 0) throw std::runtime_error("FreeType did not start");
    if (FT_New_Face(library_, setting.File.c_str(), 0, &face_) != 0) {
      FT_Done_FreeType(library_);
      throw std::runtime_error("cannot open font " + setting.File);
    }
    FT_Set_Pixel_Sizes(face_, static_cast<FT_UInt>(setting.XPpem), static_cast<FT_UInt>(setting.YPpem));
    const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face_, FT_SFNT_OS2));
    const double scale = static_cast<double>(setting.YPpem) / face_->units_per_EM;
    if (os2 != nullptr) {
      ascent_ = static_cast<int>(std::lround(os2->usWinAscent * scale));
      descent_ = static_cast<int>(std::lround(os2->usWinDescent * scale));
    } else {
      ascent_ = static_cast<int>(face_->size->metrics.ascender >> 6);
      descent_ = static_cast<int>(-(face_->size->metrics.descender >> 6));
    }
  }
  TextRaster(const TextRaster&) = delete;
  TextRaster& operator=(const TextRaster&) = delete;
  ~TextRaster() {
    FT_Done_Face(face_);
    FT_Done_FreeType(library_);
  }

  [[nodiscard]] std::string Family() const { return face_->family_name ? face_->family_name : ""; }
  [[nodiscard]] int Advance(char c) {
    Load(c, FT_LOAD_DEFAULT);
    return static_cast<int>((face_->glyph->advance.x + 32) >> 6);
  }

  [[nodiscard]] TextImage Render(const std::string& text) {
    TextImage img;
    img.Ascent = ascent_;
    img.Height = ascent_ + descent_;
    for (char c : text) img.Width += Advance(c);
    img.Coverage.assign(static_cast<std::size_t>(img.Width) * img.Height, 0);
    img.InkLeft = img.Width;
    img.InkTop = img.Height;
    int pen = 0;
    for (char c : text) {
      Load(c, FT_LOAD_RENDER);
      const FT_GlyphSlot g = face_->glyph;
      for (unsigned row = 0; row < g->bitmap.rows; ++row) {
        for (unsigned col = 0; col < g->bitmap.width; ++col) {
          const int x = pen + g->bitmap_left + static_cast<int>(col);
          const int y = ascent_ - g->bitmap_top + static_cast<int>(row);
          const std::uint8_t v = g->bitmap.buffer[row * g->bitmap.pitch + col];
          if (v == 0 || x < 0 || y < 0 || x >= img.Width || y >= img.Height) continue;
          auto& dst = img.Coverage[static_cast<std::size_t>(y) * img.Width + x];
          dst = std::max(dst, v);
          img.InkLeft = std::min(img.InkLeft, x);
          img.InkTop = std::min(img.InkTop, y);
          img.InkRight = std::max(img.InkRight, x + 1);
          img.InkBottom = std::max(img.InkBottom, y + 1);
        }
      }
      pen += static_cast<int>((g->advance.x + 32) >> 6);
    }
    if (img.InkRight == 0) img.InkLeft = img.InkTop = 0;
    return img;
  }

 private:
  void Load(char c, FT_Int32 flags) {
    const FT_UInt index = FT_Get_Char_Index(face_, static_cast<unsigned char>(c));
    if (FT_Load_Glyph(face_, index, flags | FT_LOAD_TARGET_NORMAL) != 0) throw std::runtime_error("glyph load failed");
  }

  FT_Library library_ = nullptr;
  FT_Face face_ = nullptr;
  int ascent_ = 0;
  int descent_ = 0;
};

// "FILE:YPPEM" or "FILE:YPPEM:XPPEM".
inline FontSetting ParseFontSetting(const std::string& arg) {
  FontSetting setting;
  const auto first = arg.find(':');
  if (first == std::string::npos) throw std::runtime_error("font setting needs FILE:SIZE: " + arg);
  setting.File = arg.substr(0, first);
  const auto second = arg.find(':', first + 1);
  setting.YPpem = std::stoi(arg.substr(first + 1, second == std::string::npos ? std::string::npos : second - first - 1));
  if (second != std::string::npos) setting.XPpem = std::stoi(arg.substr(second + 1));
  return setting;
}

}  // namespace vesk::assets
