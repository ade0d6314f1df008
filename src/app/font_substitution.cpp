#include "app/font_substitution.h"

namespace vesk::app {

namespace {

char LowerAscii(char c) noexcept { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// The widest em, from the em height down to half of it, at which every
// sample fits in `fit_width` (at 100 %); the narrowest tried when none does.
// The em height itself is kept as 0 (the font's own proportions).
std::int32_t FittingEmWidth(platform::FontDesc font, std::int32_t fit_width, const char* const (&samples)[2],
                            const TFontQueries& system, TFaceScale scale) {
  fit_width = ScaledLength(fit_width, scale);
  const std::int32_t natural = font.PixelHeight;
  const std::int32_t narrowest = (natural + 1) / 2;
  std::int32_t width = natural;
  for (; width > narrowest; --width) {
    font.EmWidth = width == natural ? 0 : width;
    bool fits = true;
    for (const char* sample : samples) {
      if (sample != nullptr && system.TextWidth(font, sample) > fit_width) fits = false;
    }
    if (fits) break;
  }
  return width == natural ? 0 : width;
}

// A font of the system in place of `requested` and its unusable substitute.
platform::FontDesc SystemFallbackFont(const platform::FontDesc& requested, const TFontSubstitute& substitute,
                                      const TFontQueries& system, TFaceScale scale) {
  platform::FontDesc font = requested;
  font.Name = kSystemFallbackFaces[0];
  for (const char* face : kSystemFallbackFaces) {
    platform::FontDesc candidate = requested;
    candidate.Name = face;
    if (SameFaceName(system.FaceOf(candidate), face)) {
      font.Name = face;
      break;
    }
  }
  font.PixelHeight = ScaledFontHeight(requested.Size, scale);
  font.EmWidth = 0;
  font.Quality = platform::FontQuality::Antialiased;
  font.EmWidth = FittingEmWidth(font, substitute.FallbackFitWidth, substitute.FallbackSamples, system, scale);
  return font;
}

}  // namespace

bool SameFaceName(std::string_view a, std::string_view b) noexcept {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  }
  return true;
}

const TFontSubstitute* FindFontSubstitute(std::string_view requested_face) noexcept {
  for (const TFontSubstitute& s : kBundledFontSubstitutes) {
    if (SameFaceName(requested_face, s.RequestedFace)) return &s;
  }
  return nullptr;
}

platform::FontDesc ResolveFont(const platform::FontDesc& requested, const TFontQueries& system, TFaceScale scale) {
  if (SameFaceName(system.FaceOf(requested), requested.Name)) return requested;
  const TFontSubstitute* substitute = FindFontSubstitute(requested.Name);
  if (substitute == nullptr) return requested;
  platform::FontDesc font = requested;
  font.Name = substitute->Face;
  font.PixelHeight = substitute->PixelFont ? ScaledPixelFontHeight(substitute->PixelHeight, scale)
                                           : ScaledLength(substitute->PixelHeight, scale);
  font.EmWidth = 0;
  font.Style = substitute->Style;
  font.Quality = substitute->Quality;
  if (!SameFaceName(system.FaceOf(font), font.Name)) return SystemFallbackFont(requested, *substitute, system, scale);
  if (substitute->FitWidth > 0) {
    font.EmWidth = FittingEmWidth(font, substitute->FitWidth, substitute->FitSamples, system, scale);
  }
  return font;
}

platform::FontDesc ResolveLetterFont(const platform::FontDesc& drawing, const TFontQueries& system) {
  const TFontSubstitute* substitute = nullptr;
  for (const TFontSubstitute& s : kBundledFontSubstitutes) {
    if (SameFaceName(drawing.Name, s.Face)) substitute = &s;
  }
  if (substitute == nullptr || substitute->LetterFace == nullptr) return drawing;
  platform::FontDesc letters = drawing;
  letters.Name = substitute->LetterFace;
  return SameFaceName(system.FaceOf(letters), letters.Name) ? letters : drawing;
}

platform::FontDesc TFontResolver::ResolveLetters(const platform::FontDesc& drawing) {
  const TKey key{drawing.Name,  drawing.Size,    drawing.PixelHeight, drawing.EmWidth,
                 drawing.Style, drawing.Quality, 0};
  auto it = letters_.find(key);
  if (it == letters_.end()) it = letters_.emplace(key, ResolveLetterFont(drawing, system_)).first;
  platform::FontDesc font = it->second;
  font.Color = drawing.Color;
  return font;
}

platform::FontDesc TFontResolver::Resolve(const platform::FontDesc& requested, TFaceScale scale) {
  const TKey key{requested.Name,  requested.Size,    requested.PixelHeight,  requested.EmWidth,
                 requested.Style, requested.Quality, scale.PixelsPerInch};
  auto it = resolved_.find(key);
  if (it == resolved_.end()) it = resolved_.emplace(key, ResolveFont(requested, system_, scale)).first;
  platform::FontDesc font = it->second;
  font.Color = requested.Color;
  return font;
}

}  // namespace vesk::app
