// rotate_png: turns a PNG image about a pivot with the Lanczos kernel
// resampler, exactly as the clock turns its hands, and writes the result as
// a PNG.
//
//   rotate_png [--pivot X,Y] [--canvas WxH] [--position X,Y] INPUT ANGLE OUTPUT
//
// ANGLE is in degrees; positive turns counter-clockwise on screen, negative
// clockwise. The pivot (in input pixels, default the image centre) lands on
// the position (in output pixels, default the pivot itself) of an output
// canvas (default the input size). The image is read as premultiplied
// pixels, merged over a transparent canvas, and written with straight alpha.
#include <png.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "imaging/png_decoder.h"
#include "raster/bitmap32.h"
#include "raster/kernel_resampler.h"
#include "raster/layer_collection.h"
#include "raster/rot_layer.h"

namespace {

using namespace vesk;
using namespace vesk::raster;

constexpr const char* kUsage =
    "usage: rotate_png [--pivot X,Y] [--canvas WxH] [--position X,Y] INPUT ANGLE OUTPUT\n"
    "  Turns the PNG image INPUT by ANGLE degrees (positive: counter-clockwise)\n"
    "  about the pivot with the Lanczos resampler and writes the PNG image OUTPUT.\n"
    "  --pivot X,Y     pivot in input pixels (default: the image centre)\n"
    "  --canvas WxH    output size in pixels (default: the input size)\n"
    "  --position X,Y  where the pivot lands in the output (default: the pivot)\n";

struct TOptions {
  std::string input;
  std::string output;
  float angle = 0.0f;
  bool has_pivot = false;
  float pivot_x = 0.0f, pivot_y = 0.0f;
  bool has_canvas = false;
  int canvas_w = 0, canvas_h = 0;
  bool has_position = false;
  float position_x = 0.0f, position_y = 0.0f;
};

bool ParseFloat(const char* text, float& out) {
  char* end = nullptr;
  errno = 0;
  const double v = std::strtod(text, &end);
  if (end == text || *end != '\0' || errno != 0 || !std::isfinite(v) || std::fabs(v) > 1e7) return false;
  out = static_cast<float>(v);
  return true;
}

// "A<sep>B" with two numbers.
bool ParsePair(const char* text, char sep, float& a, float& b) {
  const char* mid = std::strchr(text, sep);
  if (mid == nullptr) return false;
  const std::string first(text, mid);
  return ParseFloat(first.c_str(), a) && ParseFloat(mid + 1, b);
}

bool ParseArguments(int argc, char** argv, TOptions& o) {
  std::vector<const char*> positional;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool has_value = i + 1 < argc;
    if (arg == "--pivot" && has_value) {
      if (!ParsePair(argv[++i], ',', o.pivot_x, o.pivot_y)) return false;
      o.has_pivot = true;
    } else if (arg == "--position" && has_value) {
      if (!ParsePair(argv[++i], ',', o.position_x, o.position_y)) return false;
      o.has_position = true;
    } else if (arg == "--canvas" && has_value) {
      float w = 0, h = 0;
      if (!ParsePair(argv[++i], 'x', w, h) || w < 1 || h < 1 || w > 16384 || h > 16384 || w != std::floor(w) ||
          h != std::floor(h)) {
        return false;
      }
      o.canvas_w = static_cast<int>(w);
      o.canvas_h = static_cast<int>(h);
      o.has_canvas = true;
    } else if (arg.size() > 1 && arg[0] == '-' && !std::isdigit(static_cast<unsigned char>(arg[1])) && arg[1] != '.') {
      return false;  // an unknown option, or one without its value
    } else {
      positional.push_back(argv[i]);
    }
  }
  if (positional.size() != 3) return false;
  o.input = positional[0];
  o.output = positional[2];
  return ParseFloat(positional[1], o.angle);
}

bool LoadPng(const std::string& path, TBitmap32& bmp, std::string& error) {
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    error = "cannot open " + path + ": " + std::strerror(errno);
    return false;
  }
  const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  try {
    const vesk::imaging::SkinImage image = vesk::imaging::DecodeSkinPng(bytes);
    bmp.SetSize(image.Width, image.Height);
    for (int y = 0; y < image.Height; ++y) {
      for (int x = 0; x < image.Width; ++x) {
        bmp.SetPixel(x, y, image.Pixels[static_cast<std::size_t>(y) * image.Width + x]);
      }
    }
  } catch (const vesk::Exception& e) {
    error = path + ": " + e.what();
    return false;
  }
  return true;
}

// Straight (unpremultiplied) channel: c * 255 / a rounded, at most 255; 0
// where the pixel is transparent.
std::uint8_t Straight(std::uint32_t c, std::uint32_t a) {
  if (a == 0) return 0;
  const std::uint32_t v = (c * 255 + a / 2) / a;
  return static_cast<std::uint8_t>(v > 255 ? 255 : v);
}

bool WritePng(const std::string& path, const TBitmap32& bmp, std::string& error) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) {
    error = "cannot create " + path + ": " + std::strerror(errno);
    return false;
  }
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
  std::vector<png_byte> row(static_cast<std::size_t>(bmp.Width()) * 4);
  bool ok = png != nullptr && info != nullptr;
  if (ok && setjmp(png_jmpbuf(png)) != 0) {
    ok = false;
  } else if (ok) {
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(bmp.Width()), static_cast<png_uint_32>(bmp.Height()), 8,
                 PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < bmp.Height(); ++y) {
      for (int x = 0; x < bmp.Width(); ++x) {
        const TColor32 p = bmp.Pixel(x, y);
        const std::uint32_t a = AlphaOf(p);
        png_byte* out = &row[static_cast<std::size_t>(x) * 4];
        out[0] = Straight(RedOf(p), a);
        out[1] = Straight(GreenOf(p), a);
        out[2] = Straight(BlueOf(p), a);
        out[3] = static_cast<png_byte>(a);
      }
      png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
  }
  png_destroy_write_struct(&png, &info);
  if (std::fclose(file) != 0) ok = false;
  if (!ok) error = "cannot write " + path;
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  TOptions o;
  if (!ParseArguments(argc, argv, o)) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  try {
    TLayerCollection layers;
    auto* layer = layers.Add<TRotLayer>();
    TBitmap32& image = layer->Bitmap();
    std::string error;
    if (!LoadPng(o.input, image, error)) {
      std::fprintf(stderr, "rotate_png: %s\n", error.c_str());
      return 1;
    }
    image.SetDrawMode(dmBlend);
    image.SetCombineMode(cmMerge);
    TKernelResampler::Create(image)->SetKernel(std::make_unique<TLanczosKernel>());
    const TFloatPoint pivot =
        o.has_pivot ? TFloatPoint{o.pivot_x, o.pivot_y}
                    : TFloatPoint{static_cast<float>(image.Width()) / 2.0f, static_cast<float>(image.Height()) / 2.0f};
    layer->SetBitmapCenter(pivot);
    layer->SetPosition(o.has_position ? TFloatPoint{o.position_x, o.position_y} : pivot);
    layer->SetAngle(o.angle);
    TBitmap32 canvas;
    canvas.SetSize(o.has_canvas ? o.canvas_w : image.Width(), o.has_canvas ? o.canvas_h : image.Height());
    canvas.Clear(0);
    layer->PaintLayer(canvas);
    if (!WritePng(o.output, canvas, error)) {
      std::fprintf(stderr, "rotate_png: %s\n", error.c_str());
      return 1;
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "rotate_png: %s\n", e.what());
    return 1;
  }
  return 0;
}
