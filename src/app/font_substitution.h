#pragma once
// Which font the face's text is drawn with. The program asks for its two
// faces by name. A face that the system has is used as asked. Otherwise the
// font bundled in the `fonts` folder beside the executable stands in, made
// at the size its own design needs (docs/assets.md gives the measurements);
// and when that font is missing or unusable too, a font of the system at the
// size asked for, condensed where needed so that the text still fits its
// place on the face.
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <tuple>

#include "app/face_geometry.h"
#include "platform/font.h"

namespace vesk::app {

struct TFontSubstitute {
  const char* RequestedFace;
  const char* Face;  // family name of the bundled font
  std::int32_t PixelHeight;  // at 100 %
  // A pixel font is crisp only at whole multiples of PixelHeight; any other
  // font takes PixelHeight * s.
  bool PixelFont;
  std::uint8_t Style;
  platform::FontQuality Quality;
  // When FitWidth is set, the font is condensed to the widest em (from its
  // natural width, the em height, down to half of it) at which every sample
  // text measures at most FitWidth pixels, as the system that draws it
  // measures; renderers differ in how they narrow a font.
  std::int32_t FitWidth;
  const char* FitSamples[2];
  // A face of the same family and metrics that draws the letters of a text
  // (nullptr: the font draws everything): seven segments cannot show "m".
  const char* LetterFace;
  // The fitting of a system font standing in when this one is unusable
  // too: its width limit and samples, as above.
  std::int32_t FallbackFitWidth;
  const char* FallbackSamples[2];
};

inline constexpr TFontSubstitute kBundledFontSubstitutes[] = {
    // Seven segments, as high as "Digital" at 14 points (19 px) but
    // condensed so that the longest time fits the read-out window from x 41
    // to x 123: at its natural width "12:59:59 pm" would run 37 px past the
    // face. Bold is the weight bundled; its segments stay readable.
    {"Digital", "DSEG7 Classic", 19, false, platform::kFontBold, platform::FontQuality::Antialiased, 82,
     {"88:88:88 am", "88:88:88 pm"}, "DSEG14 Classic", 82, {"88:88:88 am", "88:88:88 pm"}},
    // A pixel font at its one crisp size (glyphs 5 px high on a 6 px pitch):
    // at 9 px (7 points) its glyphs blur to 3 px and cannot be read.
    // A system font in its place keeps the label and the longest date within
    // the part of the face they lie on (x 57 to 96 for a date 39 px wide).
    {"hooge 05_55 Cyr2", "ProggyTinyTT", 16, true, 0, platform::FontQuality::NonAntialiased, 0, {nullptr, nullptr},
     nullptr, 36, {"00 May", "clock"}},
};

// The system's own faces that stand in when neither the face asked for nor
// its bundled substitute can be used, in order of preference; the first the
// system has is taken (else the first, as the system matches it).
inline constexpr const char* kSystemFallbackFaces[] = {"Segoe UI", "Tahoma", "Arial", "Liberation Sans",
                                                       "DejaVu Sans"};

// What the resolution asks of the system that draws the text.
struct TFontQueries {
  // The face name the system uses for a font description, after its own
  // matching (the name asked for when it has that face).
  std::function<std::string(const platform::FontDesc&)> FaceOf;
  // The width in pixels of a text in a font.
  std::function<std::int32_t(const platform::FontDesc&, std::string_view)> TextWidth;
};

// Face names are equal when they differ at most in the case of ASCII letters.
[[nodiscard]] bool SameFaceName(std::string_view a, std::string_view b) noexcept;

// The bundled substitute for a face name, or nullptr.
[[nodiscard]] const TFontSubstitute* FindFontSubstitute(std::string_view requested_face) noexcept;

// The font to draw with in place of `requested` (colour kept): `requested`
// itself when the system has its face (or when it is none of the faces the
// clock asks for); otherwise the substitute, at its own size, style,
// quality and em width; and when the system cannot use the substitute
// either, the first of kSystemFallbackFaces it has, at the size asked for,
// antialiased, condensed to the widest em at which the substitute's fallback
// samples fit. At a display scale the heights and the widths fitted to are
// scaled too.
[[nodiscard]] platform::FontDesc ResolveFont(const platform::FontDesc& requested, const TFontQueries& system,
                                             TFaceScale scale = {});

// The font that draws the letters of a text drawn in `drawing` (a resolved
// font): the substitute's letter face at the same size, style, quality and
// em width when the system has it, else `drawing` itself.
[[nodiscard]] platform::FontDesc ResolveLetterFont(const platform::FontDesc& drawing, const TFontQueries& system);

// ResolveFont with the answer kept for each face, size and style asked for:
// the fonts a process can use are registered at start-up and do not change
// afterwards, and each query makes a system font.
class TFontResolver {
 public:
  explicit TFontResolver(TFontQueries system) : system_(std::move(system)) {}

  [[nodiscard]] platform::FontDesc Resolve(const platform::FontDesc& requested, TFaceScale scale = {});
  // ResolveLetterFont, kept the same way.
  [[nodiscard]] platform::FontDesc ResolveLetters(const platform::FontDesc& drawing);

 private:
  using TKey = std::tuple<std::string, std::int32_t, std::int32_t, std::int32_t, std::uint8_t, platform::FontQuality,
                          std::int32_t>;
  TFontQueries system_;
  std::map<TKey, platform::FontDesc> resolved_;
  std::map<TKey, platform::FontDesc> letters_;
};

}  // namespace vesk::app
