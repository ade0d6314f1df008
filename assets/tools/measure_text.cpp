// Measures strings in a font at a pixel size the way the face's text is
// placed: the width of the whole string (sum of the advances), the height
// (ascent + descent), and the painted box when the string's top-left corner
// sits at a given point of the face.
//
//   measure_text FILE:Y[:X] X0 Y0 STRING...
#include <cstdio>
#include <string>

#include "text_raster.h"

int main(int argc, char** argv) {
  if (argc < 5) {
    std::fprintf(stderr, "usage: measure_text FILE:Y[:X] X0 Y0 STRING...\n");
    return 2;
  }
  try {
    const auto setting = vesk::assets::ParseFontSetting(argv[1]);
    vesk::assets::TextRaster font(setting);
    const int x0 = std::stoi(argv[2]);
    const int y0 = std::stoi(argv[3]);
    std::printf("family \"%s\", %d px high, x-ppem %d\n", font.Family().c_str(), setting.YPpem, setting.XPpem ? setting.XPpem : setting.YPpem);
    for (int i = 4; i < argc; ++i) {
      const auto img = font.Render(argv[i]);
      std::printf("  %-14s extent %3d x %2d  ink x %3d..%3d  y %3d..%3d\n", ("\"" + std::string(argv[i]) + "\"").c_str(), img.Width,
                  img.Height, x0 + img.InkLeft, x0 + img.InkRight - 1, y0 + img.InkTop, y0 + img.InkBottom - 1);
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "measure_text: %s\n", e.what());
    return 1;
  }
  return 0;
}
