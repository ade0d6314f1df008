#include "platform/soft/font_engine.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <map>
#include <mutex>
#include <tuple>
#include <vector>

namespace vesk::platform::soft {

namespace {

// Code page 1252 bytes 0x80..0x9F as Unicode (0 where the code page has no
// character); every other byte is the Latin-1 code point.
constexpr char32_t kCp1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

char32_t CodePoint(char byte) {
  const auto b = static_cast<unsigned char>(byte);
  if (b >= 0x80 && b < 0xA0) return kCp1252High[b - 0x80];
  return b;
}

struct Match {
  std::string file;
  int index = 0;
  std::string family;
};

class Engine {
 public:
  static Engine& Instance() {
    static Engine engine;
    return engine;
  }

  std::mutex lock;

  // A glyph as FreeType loads and renders it at one size, kept: the same
  // glyph at the same size and with the same load flags gives the same
  // advance and the same coverage every time, so it is loaded and rendered
  // once per process.
  struct Glyph {
    bool loaded = false;  // FT_Load_Glyph succeeded
    std::int32_t advance = 0;
    bool rendered = false;  // the render below was attempted
    bool drawable = false;  // and succeeded
    std::int32_t left = 0;
    std::int32_t top = 0;
    unsigned rows = 0;
    unsigned width = 0;
    int pitch = 0;
    unsigned char pixel_mode = 0;
    std::vector<unsigned char> buffer;
  };

  // The glyph `index` of the sized face with the font's load flags (and
  // rendered when `render`); nullptr when FreeType cannot load it.
  const Glyph* GlyphOf(FT_Face face, const FontDesc& font, FT_Int32 flags, FT_UInt index, bool render) {
    const auto key = std::make_tuple(face, static_cast<std::int32_t>(FontEmHeight(font)), font.EmWidth, flags, index);
    Glyph& g = glyphs_[key];
    if (g.loaded && (!render || g.rendered)) return &g;
    if (FT_Load_Glyph(face, index, flags) != 0) {
      glyphs_.erase(key);
      return nullptr;
    }
    g.loaded = true;
    g.advance = static_cast<std::int32_t>((face->glyph->advance.x + 32) >> 6);
    if (render) {
      g.rendered = true;
      const bool mono = font.Quality == FontQuality::NonAntialiased;
      FT_GlyphSlot slot = face->glyph;
      g.drawable = FT_Render_Glyph(slot, mono ? FT_RENDER_MODE_MONO : FT_RENDER_MODE_NORMAL) == 0;
      if (g.drawable) {
        const FT_Bitmap& bm = slot->bitmap;
        g.left = slot->bitmap_left;
        g.top = slot->bitmap_top;
        g.rows = bm.rows;
        g.width = bm.width;
        g.pixel_mode = bm.pixel_mode;
        const unsigned row_bytes = bm.pitch < 0 ? static_cast<unsigned>(-bm.pitch) : static_cast<unsigned>(bm.pitch);
        g.pitch = static_cast<int>(row_bytes);
        g.buffer.resize(static_cast<std::size_t>(row_bytes) * bm.rows);
        for (unsigned row = 0; row < bm.rows; ++row) {
          std::copy_n(bm.buffer + static_cast<std::ptrdiff_t>(row) * bm.pitch, row_bytes,
                      g.buffer.data() + static_cast<std::size_t>(row) * row_bytes);
        }
      }
    }
    return &g;
  }


  // The face for the font, sized; nullptr when nothing usable was found.
  FT_Face Face(const FontDesc& font, std::string* family = nullptr) {
    const Match& m = Find(font);
    if (family != nullptr) *family = m.family;
    if (library_ == nullptr || m.file.empty()) return nullptr;
    const auto key = std::make_pair(m.file, m.index);
    auto it = faces_.find(key);
    if (it == faces_.end()) {
      FT_Face face = nullptr;
      if (FT_New_Face(library_, m.file.c_str(), m.index, &face) != 0) face = nullptr;
      it = faces_.emplace(key, face).first;
    }
    FT_Face face = it->second;
    if (face != nullptr) {
      const auto ppem = static_cast<FT_UInt>(FontEmHeight(font));
      // A set em width condenses or widens the glyphs (0: as wide as high).
      const auto x_ppem = static_cast<FT_UInt>(font.EmWidth > 0 ? font.EmWidth : 0);
      if (FT_Set_Pixel_Sizes(face, x_ppem, ppem == 0 ? 1 : ppem) != 0 && face->num_fixed_sizes > 0) {
        FT_Select_Size(face, 0);
      }
    }
    return face;
  }

  bool AddFile(const std::string& path) {
    if (FcConfigAppFontAddFile(FcConfigGetCurrent(), reinterpret_cast<const FcChar8*>(path.c_str())) == FcFalse) {
      return false;
    }
    matches_.clear();
    return true;
  }

 private:
  Engine() {
    FcInit();
    if (FT_Init_FreeType(&library_) != 0) library_ = nullptr;
  }
  ~Engine() {
    for (auto& [key, face] : faces_) {
      if (face != nullptr) FT_Done_Face(face);
    }
    if (library_ != nullptr) FT_Done_FreeType(library_);
    FcFini();
  }

  const Match& Find(const FontDesc& font) {
    const auto key = std::make_tuple(font.Name, (font.Style & kFontBold) != 0, (font.Style & kFontItalic) != 0);
    auto it = matches_.find(key);
    if (it != matches_.end()) return it->second;
    Match m;
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(font.Name.c_str()));
    FcPatternAddInteger(pattern, FC_WEIGHT, std::get<1>(key) ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SLANT, std::get<2>(key) ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    if (FcPattern* found = FcFontMatch(nullptr, pattern, &result)) {
      FcChar8* file = nullptr;
      FcChar8* family = nullptr;
      int index = 0;
      if (FcPatternGetString(found, FC_FILE, 0, &file) == FcResultMatch) m.file = reinterpret_cast<char*>(file);
      if (FcPatternGetString(found, FC_FAMILY, 0, &family) == FcResultMatch) m.family = reinterpret_cast<char*>(family);
      if (FcPatternGetInteger(found, FC_INDEX, 0, &index) == FcResultMatch) m.index = index;
      FcPatternDestroy(found);
    }
    FcPatternDestroy(pattern);
    return matches_.emplace(key, std::move(m)).first->second;
  }

  FT_Library library_ = nullptr;
  std::map<std::tuple<FT_Face, std::int32_t, std::int32_t, FT_Int32, FT_UInt>, Glyph> glyphs_;
  std::map<std::tuple<std::string, bool, bool>, Match> matches_;
  std::map<std::pair<std::string, int>, FT_Face> faces_;
};

// a * b / c rounded to nearest, halves up, for non-negative values.
std::int32_t ScaleRound(std::int64_t a, std::int64_t b, std::int64_t c) {
  return c <= 0 ? 0 : static_cast<std::int32_t>((a * b * 2 + c) / (2 * c));
}

void LineMetrics(FT_Face face, std::int32_t ppem, TextMetrics& m) {
  const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
  if (os2 != nullptr && os2->version != 0xFFFFu && face->units_per_EM > 0) {
    m.ascent = ScaleRound(os2->usWinAscent, ppem, face->units_per_EM);
    m.descent = ScaleRound(os2->usWinDescent, ppem, face->units_per_EM);
  } else {
    m.ascent = static_cast<std::int32_t>((face->size->metrics.ascender + 32) >> 6);
    m.descent = static_cast<std::int32_t>((-face->size->metrics.descender + 32) >> 6);
  }
}

FT_Int32 LoadFlags(const FontDesc& font) {
  return font.Quality == FontQuality::NonAntialiased ? FT_LOAD_TARGET_MONO : FT_LOAD_TARGET_NORMAL;
}

// Calls glyph(g, pen_x) for each character that loads; returns the total
// advance.
template <class GlyphFn>
std::int32_t Walk(Engine& engine, FT_Face face, const FontDesc& font, std::string_view text, bool render,
                  GlyphFn&& glyph) {
  std::int32_t pen = 0;
  for (char byte : text) {
    const FT_UInt index = FT_Get_Char_Index(face, CodePoint(byte));
    const Engine::Glyph* g = engine.GlyphOf(face, font, LoadFlags(font), index, render);
    if (g == nullptr) continue;
    glyph(*g, pen);
    pen += g->advance;
  }
  return pen;
}

}  // namespace

TextMetrics MeasureText(const FontDesc& font, std::string_view text) {
  Engine& engine = Engine::Instance();
  std::lock_guard<std::mutex> guard(engine.lock);
  TextMetrics m;
  FT_Face face = engine.Face(font);
  if (face == nullptr) return m;
  LineMetrics(face, FontEmHeight(font), m);
  m.width = Walk(engine, face, font, text, false, [](const Engine::Glyph&, std::int32_t) {});
  return m;
}

void RenderText(const FontDesc& font, std::int32_t x, std::int32_t y, std::string_view text,
                const CoverageSink& sink) {
  Engine& engine = Engine::Instance();
  std::lock_guard<std::mutex> guard(engine.lock);
  FT_Face face = engine.Face(font);
  if (face == nullptr) return;
  TextMetrics m;
  LineMetrics(face, FontEmHeight(font), m);
  const std::int32_t baseline = y + m.ascent;
  Walk(engine, face, font, text, true, [&](const Engine::Glyph& g, std::int32_t pen) {
    if (!g.drawable) return;
    const std::int32_t left = x + pen + g.left;
    const std::int32_t top = baseline - g.top;
    for (unsigned row = 0; row < g.rows; ++row) {
      const unsigned char* line = g.buffer.data() + static_cast<std::size_t>(row) * static_cast<unsigned>(g.pitch);
      for (unsigned col = 0; col < g.width; ++col) {
        std::uint8_t c = 0;
        if (g.pixel_mode == FT_PIXEL_MODE_MONO) {
          c = (line[col >> 3] & (0x80u >> (col & 7))) != 0 ? 255 : 0;
        } else if (g.pixel_mode == FT_PIXEL_MODE_GRAY) {
          c = line[col];
        }
        if (c != 0) sink(left + static_cast<std::int32_t>(col), top + static_cast<std::int32_t>(row), c);
      }
    }
  });
}

std::string MatchedFamily(const FontDesc& font) {
  Engine& engine = Engine::Instance();
  std::lock_guard<std::mutex> guard(engine.lock);
  std::string family;
  static_cast<void>(engine.Face(font, &family));
  return family;
}

bool AddFontFile(const std::string& path) {
  Engine& engine = Engine::Instance();
  std::lock_guard<std::mutex> guard(engine.lock);
  return engine.AddFile(path);
}

}  // namespace vesk::platform::soft
