// Composes a picture of the clock from the skin PNGs, for judging the artwork
// before the program itself can draw: the face, the text of the read-out, the
// label and the date, and the three hands turned to a given time about the
// face point (75, 75). It follows the program's drawing path closely:
//   - skin pixels are loaded the way the program loads them (colour drawn
//     over black with c * a + 255 >> 8, then premultiplied again by a / 255);
//   - the face is blended into a cleared bitmap with the 8-bit mix
//     (F * w + B * (256 - w) + 128) >> 8 on all four channels;
//   - the text is premultiplied coverage in the font colour, laid over the
//     earlier text source-over, then merged like the hands;
//   - the hands are sampled with a Lanczos-3 kernel at target pixel centres
//     mapped back into the hand image (pixel centres at whole coordinates) and
//     merged with the table-driven merge (alpha Fa + Ba - Fa * Ba / 255);
//   - the window shows the result as a premultiplied bitmap over the desktop.
// Text comes from FreeType, so glyph edges differ a little from the program's
// own renderer; the geometry and the colours are the same.
//
//   compose_preview --skin DIR --time HH:MM:SS --date "DD Mon"
//                   --digital FILE:Y[:X] --label FILE:Y[:X]
//                   --out FILE.png [--sheet FILE.png [--zoom N]]
// --out writes the composition itself (straight alpha); --sheet writes it
// over four desktops (light, blue, dark, a photo-like pattern), enlarged N
// times (2 by default).
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "png_rgba.h"
#include "text_raster.h"

namespace {

using vesk::assets::RgbaImage;

constexpr int kFaceCentre = 75;

// A premultiplied 32-bit picture, channels kept as bytes in the order a, r, g, b.
struct Pixel {
  std::uint8_t a = 0, r = 0, g = 0, b = 0;
};

struct Bitmap {
  int Width = 0;
  int Height = 0;
  std::vector<Pixel> Pixels;
  Bitmap(int w, int h) : Width(w), Height(h), Pixels(static_cast<std::size_t>(w) * h) {}
  Pixel& At(int x, int y) { return Pixels[static_cast<std::size_t>(y) * Width + x]; }
  [[nodiscard]] const Pixel& At(int x, int y) const { return Pixels[static_cast<std::size_t>(y) * Width + x]; }
};

// Skin loading: drawn over black, then premultiplied a second time.
Bitmap LoadSkin(const std::string& path) {
  const RgbaImage img = vesk::assets::ReadRgbaPng(path);
  Bitmap out(img.Width, img.Height);
  for (std::size_t i = 0; i < out.Pixels.size(); ++i) {
    const std::uint8_t* s = &img.Pixels[i * 4];
    const unsigned a = s[3];
    auto channel = [a](unsigned c) {
      const unsigned over_black = (c * a + 255) >> 8;
      return static_cast<std::uint8_t>(over_black * a / 255);
    };
    out.Pixels[i] = {static_cast<std::uint8_t>(a), channel(s[0]), channel(s[1]), channel(s[2])};
  }
  return out;
}

std::uint8_t Mix(unsigned f, unsigned b, unsigned w) { return static_cast<std::uint8_t>((f * w + b * (256 - w) + 128) >> 8); }

// Face into the cleared composition: opaque pixels copied, clear ones skipped.
void BlendFace(const Bitmap& face, Bitmap& dst) {
  for (std::size_t i = 0; i < face.Pixels.size(); ++i) {
    const Pixel f = face.Pixels[i];
    Pixel& d = dst.Pixels[i];
    if (f.a == 0) continue;
    if (f.a == 255) {
      d = f;
      continue;
    }
    d = {Mix(f.a, d.a, f.a), Mix(f.r, d.r, f.a), Mix(f.g, d.g, f.a), Mix(f.b, d.b, f.a)};
  }
}

struct MergeTables {
  std::array<std::array<std::uint8_t, 256>, 256> P{}, Q{};
  MergeTables() {
    for (int j = 0; j < 256; ++j) {
      for (int i = 0; i < 256; ++i) {
        P[j][i] = static_cast<std::uint8_t>(std::lround(i * j / 255.0));
        Q[j][i] = j == 0 ? 0 : static_cast<std::uint8_t>(static_cast<int>(std::nearbyint(255.0 * i / j)) & 0xFF);
      }
    }
  }
};

const MergeTables& Tables() {
  static const MergeTables tables;
  return tables;
}

void Merge(const Pixel& f, Pixel& b) {
  if (f.a == 0) return;
  if (b.a == 255) {
    b = {255, Mix(f.r, b.r, f.a), Mix(f.g, b.g, f.a), Mix(f.b, b.b, f.a)};
    return;
  }
  if (f.a == 255 || b.a == 0) {
    b = f;
    return;
  }
  const auto& t = Tables();
  const int ra = f.a + b.a - t.P[b.a][f.a];
  auto channel = [&](int fc, int bc) {
    const int bp = t.P[b.a][bc];
    const int d = fc - bp;
    const int x = d >= 0 ? bp + t.P[f.a][d] : bp - t.P[f.a][-d];
    return t.Q[ra][x];
  };
  b = {static_cast<std::uint8_t>(ra), channel(f.r, b.r), channel(f.g, b.g), channel(f.b, b.b)};
}

double Lanczos3(double x) {
  x = std::fabs(x);
  if (x < 1e-9) return 1.0;
  if (x >= 3.0) return 0.0;
  const double px = M_PI * x;
  return 3.0 * std::sin(px) * std::sin(px / 3.0) / (px * px);
}

// Kernel sample at (u, v) of the hand image: taps at ceil(u) + j, weights
// rounded to 1/256 and corrected to sum 256, pixels outside the image clear.
Pixel SampleLanczos(const Bitmap& src, double u, double v) {
  const int cx = static_cast<int>(std::ceil(u));
  const int cy = static_cast<int>(std::ceil(v));
  if (cx < 0 || cx > src.Width || cy < 0 || cy > src.Height) return {};
  auto weights = [](double f) {
    std::array<int, 7> w{};
    int sum = 0;
    for (int j = -3; j <= 3; ++j) sum += w[j + 3] = static_cast<int>(std::nearbyint(Lanczos3(j + f) * 256.0));
    w[3] -= sum - 256;
    return w;
  };
  const auto wx = weights(cx - u);
  const auto wy = weights(cy - v);
  std::array<long, 4> acc{};
  for (int j = -3; j <= 3; ++j) {
    const int y = cy + j;
    if (y < 0 || y >= src.Height) continue;
    for (int i = -3; i <= 3; ++i) {
      const int x = cx + i;
      if (x < 0 || x >= src.Width) continue;
      const long w = static_cast<long>(wx[i + 3]) * wy[j + 3];
      const Pixel& p = src.At(x, y);
      acc[0] += w * p.a;
      acc[1] += w * p.r;
      acc[2] += w * p.g;
      acc[3] += w * p.b;
    }
  }
  auto clamp = [](long v) { return static_cast<std::uint8_t>(std::clamp<long>((v + 32768) >> 16, 0, 255)); };
  return {clamp(acc[0]), clamp(acc[1]), clamp(acc[2]), clamp(acc[3])};
}

// Draws a hand turned clockwise by `degrees` with its pivot on the face centre.
void DrawHand(const Bitmap& hand, double pivot_x, double pivot_y, double degrees, Bitmap& dst) {
  const double rad = degrees * M_PI / 180.0;
  const double c = std::cos(rad), s = std::sin(rad);
  for (int y = 0; y < dst.Height; ++y) {
    for (int x = 0; x < dst.Width; ++x) {
      const double dx = x - kFaceCentre, dy = y - kFaceCentre;
      // Inverse of the clockwise turn (y grows downwards).
      const double u = c * dx + s * dy + pivot_x;
      const double v = -s * dx + c * dy + pivot_y;
      if (u < -4 || v < -4 || u > hand.Width + 4 || v > hand.Height + 4) continue;
      Merge(SampleLanczos(hand, u, v), dst.At(x, y));
    }
  }
}

// Text in `gdi_colour` (0x00BBGGRR) laid source-over onto the text layer at (x, y).
void DrawText(vesk::assets::TextRaster& font, const std::string& text, std::uint32_t gdi_colour, int x, int y, Bitmap& layer) {
  const auto img = font.Render(text);
  const unsigned r = gdi_colour & 0xFF, g = (gdi_colour >> 8) & 0xFF, b = (gdi_colour >> 16) & 0xFF;
  for (int ty = 0; ty < img.Height; ++ty) {
    for (int tx = 0; tx < img.Width; ++tx) {
      const int lx = x + tx, ly = y + ty;
      if (lx < 0 || ly < 0 || lx >= layer.Width || ly >= layer.Height) continue;
      const unsigned a = img.Coverage[static_cast<std::size_t>(ty) * img.Width + tx];
      if (a == 0) continue;
      Pixel& d = layer.At(lx, ly);
      auto over = [a](unsigned s, unsigned dv) { return static_cast<std::uint8_t>(std::min(255u, s + (dv * (255 - a) + 127) / 255)); };
      d = {over(a, d.a), over(r * a / 255, d.r), over(g * a / 255, d.g), over(b * a / 255, d.b)};
    }
  }
}

// The composition as straight RGBA for image viewers.
RgbaImage Unpremultiplied(const Bitmap& comp) {
  RgbaImage out{comp.Width, comp.Height, std::vector<std::uint8_t>(comp.Pixels.size() * 4)};
  for (std::size_t i = 0; i < comp.Pixels.size(); ++i) {
    const Pixel p = comp.Pixels[i];
    auto un = [&](unsigned c) { return p.a == 0 ? 0 : static_cast<std::uint8_t>(std::min(255u, (c * 255 + p.a / 2) / p.a)); };
    out.Pixels[i * 4 + 0] = un(p.r);
    out.Pixels[i * 4 + 1] = un(p.g);
    out.Pixels[i * 4 + 2] = un(p.b);
    out.Pixels[i * 4 + 3] = p.a;
  }
  return out;
}

using Desktop = std::array<std::uint8_t, 3> (*)(int x, int y);

// The window over the desktop: premultiplied source-over, clamped.
RgbaImage Sheet(const Bitmap& comp, int zoom) {
  const std::array<Desktop, 4> desktops = {
      [](int, int) { return std::array<std::uint8_t, 3>{240, 240, 238}; },
      [](int, int) { return std::array<std::uint8_t, 3>{58, 110, 165}; },
      [](int, int) { return std::array<std::uint8_t, 3>{24, 24, 28}; },
      [](int x, int y) {
        // A busy, photo-like backdrop: diagonal bands of sky, sand and foliage.
        const double t = (x + 0.6 * y) / 225.0;
        const double band = 0.5 + 0.5 * std::sin(x * 0.21) * std::cos(y * 0.17);
        return std::array<std::uint8_t, 3>{static_cast<std::uint8_t>(90 + 150 * t * band), static_cast<std::uint8_t>(140 + 80 * band),
                                           static_cast<std::uint8_t>(200 - 120 * t)};
      },
  };
  const int w = comp.Width * zoom, h = comp.Height * zoom;
  RgbaImage out{w * 2, h * 2, std::vector<std::uint8_t>(static_cast<std::size_t>(w) * h * 16)};
  for (int panel = 0; panel < 4; ++panel) {
    const int ox = (panel % 2) * w, oy = (panel / 2) * h;
    for (int y = 0; y < h; ++y) {
      for (int x = 0; x < w; ++x) {
        const Pixel p = comp.At(x / zoom, y / zoom);
        const auto bg = desktops[panel](x / zoom, y / zoom);
        std::uint8_t* o = &out.Pixels[(static_cast<std::size_t>(oy + y) * out.Width + ox + x) * 4];
        const unsigned src[3] = {p.r, p.g, p.b};
        for (int c = 0; c < 3; ++c) o[c] = static_cast<std::uint8_t>(std::min(255u, src[c] + (bg[c] * (255u - p.a) + 127) / 255));
        o[3] = 255;
      }
    }
  }
  return out;
}

std::string TimeText(int h, int m, int s) {
  char buf[32];
  const int h12 = h % 12 == 0 ? 12 : h % 12;
  std::snprintf(buf, sizeof buf, "%02d:%02d:%02d %s", h12, m, s, h < 12 ? "am" : "pm");
  return buf;
}

}  // namespace

int main(int argc, char** argv) {
  std::map<std::string, std::string> opt;
  for (int i = 1; i + 1 < argc; i += 2) opt[argv[i]] = argv[i + 1];
  for (const char* key : {"--skin", "--time", "--date", "--digital", "--label", "--out"}) {
    if (!opt.count(key)) {
      std::fprintf(stderr, "missing %s\n", key);
      return 2;
    }
  }
  try {
    int h = 0, m = 0, s = 0;
    if (std::sscanf(opt["--time"].c_str(), "%d:%d:%d", &h, &m, &s) != 3) throw std::runtime_error("bad --time");
    const std::string dir = opt["--skin"] + "/";
    const Bitmap face = LoadSkin(dir + "clockface.png");
    Bitmap comp(face.Width, face.Height);
    BlendFace(face, comp);

    Bitmap text(face.Width, face.Height);
    vesk::assets::TextRaster digital(vesk::assets::ParseFontSetting(opt["--digital"]));
    vesk::assets::TextRaster label(vesk::assets::ParseFontSetting(opt["--label"]));
    DrawText(digital, "88:88:88", 0x473D3E, 41, 86, text);
    DrawText(digital, TimeText(h, m, s), 0xC29CA0, 41, 86, text);
    DrawText(label, "clock", 0xC29CA0, 63, 55, text);
    const std::string date = opt["--date"];
    const int w = label.Render(date).Width;
    DrawText(label, date, 0xC29CA0, 60 + (33 - w) / 2, 107, text);
    for (std::size_t i = 0; i < comp.Pixels.size(); ++i) Merge(text.Pixels[i], comp.Pixels[i]);

    const double hour_deg = (h + m / 60.0) * 360.0 / 12.0;
    const double minute_deg = (m + s / 60.0) * 360.0 / 60.0;
    DrawHand(LoadSkin(dir + "hours.png"), 4.0, 42.5, hour_deg, comp);
    DrawHand(LoadSkin(dir + "minutes.png"), 2.5, 51.0, minute_deg, comp);
    DrawHand(LoadSkin(dir + "seconds.png"), 3.5, 61.0, s * 6.0, comp);

    vesk::assets::WriteRgbaPng(opt["--out"], Unpremultiplied(comp));
    if (opt.count("--sheet")) vesk::assets::WriteRgbaPng(opt["--sheet"], Sheet(comp, opt.count("--zoom") ? std::stoi(opt["--zoom"]) : 2));
  } catch (const std::exception& e) {
    std::fprintf(stderr, "compose_preview: %s\n", e.what());
    return 1;
  }
  return 0;
}
