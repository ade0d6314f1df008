#pragma once
// The text tests use DejaVu Sans (fonts-dejavu-core), a face that is
// installed, so font matching never silently falls back to another face.
// Where the system does not list it (a Windows prefix made before the font
// was installed), the font file is loaded for the process first.
#include <string>

#include "platform/font.h"
#include "platform/surface.h"

namespace vesk::platform::testing {

inline constexpr const char* kDejaVu = "DejaVu Sans";

inline FontDesc DejaVu(std::int32_t size) {
  FontDesc f;
  f.Name = kDejaVu;
  f.Size = size;
  f.Color = 0;
  return f;
}

// The face the system uses for DejaVu Sans, after loading the file privately
// when needed. Call before any font of that name is made.
inline std::string EnsureDejaVu() {
  static const std::string face = [] {
    auto probe = CreateSurface(8, 8);
    std::string found = probe->TextFace(DejaVu(10));
    if (found != kDejaVu) {
      for (const char* path : {"Z:\\usr\\share\\fonts\\truetype\\dejavu\\DejaVuSans.ttf",
                               "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"}) {
        if (AddPrivateFontFile(path)) break;
      }
      auto again = CreateSurface(8, 8);
      FontDesc other = DejaVu(11);
      found = again->TextFace(other);
    }
    return found;
  }();
  return face;
}

}  // namespace vesk::platform::testing
