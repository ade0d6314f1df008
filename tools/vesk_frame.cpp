// vesk_frame: composes the clock's face for one instant exactly as the
// clock does once a second (hands turned, text layer drawn, face and layers
// painted into the composition) and writes it as a PNG image.
//
//   vesk_frame --skin DIR [--fonts DIR] --time 'YYYY-MM-DD HH:MM:SS'
//              [--fade N] [--scale S] [--premultiplied] --out FILE.png
//
// --skin DIR       the folder with clockface.png, pma.png, hours.png,
//                  minutes.png and seconds.png
// --fonts DIR      TrueType files to use for this run, like the clock's own
//                  fonts folder (default: the folder "fonts" beside the skin
//                  folder, when there is one)
// --time           the local date and time shown
// --fade N         the fade level the text is blended with, 0..255
//                  (default 255, the running clock)
// --scale S        the display scale: a factor (1.5), a percentage (150%) or
//                  pixels per inch (144 ppi, written 144ppi); default 1, as
//                  the clock draws on a monitor of that scale
// --premultiplied  write the premultiplied channels as they stand (what a
//                  layered window shows over black) instead of straight alpha
// --out FILE.png   the image written
//
// Exit codes: 0 written, 1 a file could not be read or written, 2 usage.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <optional>
#include <string>

#include "app/calendar.h"
#include "app/clock_face.h"
#include "app/clock_source.h"
#include "app/private_font_files.h"
#include "imaging/png_file.h"
#include "platform/surface.h"

namespace {

namespace fs = std::filesystem;
using vesk::app::TLocalTime;

constexpr const char* kUsage =
    "usage: vesk_frame --skin DIR [--fonts DIR] --time 'YYYY-MM-DD HH:MM:SS' [--fade N]\n"
    "                  [--scale S] [--premultiplied] --out FILE.png\n"
    "  Composes the clock's face at that local time as the clock does and writes it.\n"
    "  --skin DIR       folder with clockface.png, pma.png, hours.png, minutes.png, seconds.png\n"
    "  --fonts DIR      TrueType fonts for this run (default: DIR/../fonts when it exists)\n"
    "  --fade N         fade level of the text, 0..255 (default 255)\n"
    "  --scale S        display scale: 1.5, 150% or 144ppi (default 1)\n"
    "  --premultiplied  write the premultiplied channels instead of straight alpha\n";

struct TOptions {
  std::string skin;
  std::optional<std::string> fonts;
  std::optional<TLocalTime> time;
  int fade = 255;
  int pixels_per_inch = 96;
  bool premultiplied = false;
  std::string out;
};

int Usage(const std::string& problem) {
  std::fprintf(stderr, "vesk_frame: %s\n%s", problem.c_str(), kUsage);
  return 2;
}

// Exactly `digits` decimal digits at text[pos].
bool Digits(const std::string& text, std::size_t pos, std::size_t digits, int& out) {
  if (pos + digits > text.size()) return false;
  out = 0;
  for (std::size_t i = pos; i < pos + digits; ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
    out = out * 10 + (text[i] - '0');
  }
  return true;
}

// "YYYY-MM-DD HH:MM:SS" (a 'T' between date and time works too), every
// field checked against the calendar.
std::optional<TLocalTime> ParseTime(const std::string& text) {
  TLocalTime t;
  if (text.size() != 19 || text[4] != '-' || text[7] != '-' || (text[10] != ' ' && text[10] != 'T') ||
      text[13] != ':' || text[16] != ':') {
    return std::nullopt;
  }
  if (!Digits(text, 0, 4, t.Year) || !Digits(text, 5, 2, t.Month) || !Digits(text, 8, 2, t.Day) ||
      !Digits(text, 11, 2, t.Hour) || !Digits(text, 14, 2, t.Minute) || !Digits(text, 17, 2, t.Second)) {
    return std::nullopt;
  }
  if (t.Year < 1 || t.Month < 1 || t.Month > 12 || t.Day < 1 || t.Day > vesk::app::DaysInMonth(t.Year, t.Month) ||
      t.Hour > 23 || t.Minute > 59 || t.Second > 59) {
    return std::nullopt;
  }
  t.Millisecond = 0;
  return t;
}

// Pixels per inch from "1.5", "150%" or "144ppi"; 0 when it is none of them
// or outside 96..768.
int ParseScale(const std::string& text) {
  char* end = nullptr;
  const double v = std::strtod(text.c_str(), &end);
  if (text.empty() || end == text.c_str()) return 0;
  const std::string unit = end;
  double ppi = 0;
  if (unit.empty()) {
    ppi = v * 96;
  } else if (unit == "%") {
    ppi = v * 96 / 100;
  } else if (unit == "ppi") {
    ppi = v;
  } else {
    return 0;
  }
  const long rounded = std::lround(ppi);
  return rounded >= 96 && rounded <= 768 ? static_cast<int>(rounded) : 0;
}

// 0 on success, else the exit code after the message.
int ParseArguments(int argc, char** argv, TOptions& o) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    auto value = [&](std::string& out) {
      if (i + 1 >= argc) return false;
      out = argv[++i];
      return true;
    };
    std::string v;
    if (arg == "--premultiplied") {
      o.premultiplied = true;
    } else if (arg == "--skin" || arg == "--fonts" || arg == "--time" || arg == "--fade" || arg == "--out" ||
               arg == "--scale") {
      if (!value(v)) return Usage(arg + " needs a value");
      if (arg == "--skin") {
        o.skin = v;
      } else if (arg == "--fonts") {
        o.fonts = v;
      } else if (arg == "--out") {
        o.out = v;
      } else if (arg == "--scale") {
        o.pixels_per_inch = ParseScale(v);
        if (o.pixels_per_inch == 0) return Usage("--scale must be a factor 1..8, a percentage 100%..800% or 96ppi..768ppi");
      } else if (arg == "--time") {
        o.time = ParseTime(v);
        if (!o.time) return Usage("--time '" + v + "' is not a date and time 'YYYY-MM-DD HH:MM:SS'");
      } else {
        char* end = nullptr;
        const long fade = std::strtol(v.c_str(), &end, 10);
        if (v.empty() || *end != '\0' || fade < 0 || fade > 255) return Usage("--fade must be 0..255");
        o.fade = static_cast<int>(fade);
      }
    } else if (arg == "-h" || arg == "--help") {
      std::fputs(kUsage, stdout);
      std::exit(0);
    } else {
      return Usage("unknown argument '" + arg + "'");
    }
  }
  if (o.skin.empty()) return Usage("--skin is required");
  if (!o.time) return Usage("--time is required");
  if (o.out.empty()) return Usage("--out is required");
  return 0;
}

// The folder as the face expects it: ending with a separator.
std::string AsFolder(const std::string& path) { return path.back() == '/' ? path : path + '/'; }

}  // namespace

int main(int argc, char** argv) {
  TOptions o;
  if (const int rc = ParseArguments(argc, argv, o); rc != 0) return rc;

  std::error_code ec;
  if (!fs::is_directory(o.skin, ec)) {
    std::fprintf(stderr, "vesk_frame: the skin folder %s does not exist\n", o.skin.c_str());
    return 1;
  }
  // The fonts are registered before any font is made, as the clock does.
  fs::path fonts_folder = o.fonts ? fs::path(*o.fonts) : fs::path(o.skin) / ".." / "fonts";
  if (o.fonts && !fs::is_directory(fonts_folder, ec)) {
    std::fprintf(stderr, "vesk_frame: the fonts folder %s does not exist\n", o.fonts->c_str());
    return 1;
  }
  for (const std::string& file : vesk::app::PrivateFontFiles(fonts_folder.string())) {
    if (!vesk::platform::AddPrivateFontFile(file)) {
      std::fprintf(stderr, "vesk_frame: warning: the font %s could not be used\n", file.c_str());
    }
  }

  try {
    vesk::app::TClockFace face;
    face.SetScale(vesk::app::FaceScaleFor(o.pixels_per_inch));
    face.Build(AsFolder(o.skin));
    face.SetTime(*o.time);
    face.Compose(*o.time, vesk::TBlendFunction{vesk::kBlendOpSourceOver, 0, static_cast<std::uint8_t>(o.fade),
                                                    vesk::kAlphaFormatSourceAlpha});
    vesk::imaging::WriteRgbaPng(
        o.out,
        vesk::imaging::BitmapToRgba(*face.CompositionBitmap, o.premultiplied ? vesk::imaging::TPngAlpha::Premultiplied
                                                                             : vesk::imaging::TPngAlpha::Straight));
  } catch (const std::exception& e) {
    std::fprintf(stderr, "vesk_frame: %s\n", e.what());
    return 1;
  }
  return 0;
}
