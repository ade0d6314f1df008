#pragma once
// Plainly written reference of the kernel resampling arithmetic for the
// tests: the Lanczos filter in single precision with extended-precision
// intermediates, the 8-bit weights with the tap-0 correction, and the
// convolution of one sample step by step (in-range taps from memory first,
// then the cut taps as the outer colour, 32-bit accumulators). No production
// code is called.
#include <cmath>
#include <cstdint>
#include <vector>

#include "raster/color32.h"

namespace vesk::raster::testing {

inline constexpr long double kRefPi = 3.14159265358979323846264338327950288L;

inline float RefSinC(float x) {
  if (x == 0.0f) return 1.0f;
  const float a = static_cast<float>(kRefPi * x);
  return static_cast<float>(sinl(static_cast<long double>(a)) / static_cast<long double>(a));
}

// sinc(x) * sinc(x / width) for |x| < width, else 0, as the kernel defines
// it in singles.
inline float RefLanczos(float x, float width = 3.0f) {
  x = std::fabs(x);
  if (x >= width) return 0.0f;
  const float window = RefSinC(static_cast<float>(static_cast<long double>(x) / width));
  return static_cast<float>(static_cast<long double>(RefSinC(x)) * window);
}

inline std::int32_t RefRound(long double v) { return static_cast<std::int32_t>(nearbyintl(v)); }

// Weights of taps -kw .. kw for fraction f, after the tap-0 correction.
template <typename Filter>
std::vector<std::int32_t> RefWeights(float f, int kw, Filter filter) {
  std::vector<std::int32_t> w(static_cast<std::size_t>(2 * kw + 1));
  std::int32_t sum = 0;
  for (int j = -kw; j <= kw; ++j) {
    const float t = static_cast<float>(static_cast<long double>(j) + f);
    w[static_cast<std::size_t>(j + kw)] = RefRound(static_cast<long double>(filter(t)) * 256.0L);
    sum += w[static_cast<std::size_t>(j + kw)];
  }
  w[static_cast<std::size_t>(kw)] -= sum - 256;
  return w;
}

inline std::vector<std::int32_t> RefLanczosWeights(float f, float width = 3.0f) {
  return RefWeights(f, static_cast<int>(std::ceil(width)), [width](float t) { return RefLanczos(t, width); });
}

// An image for the reference: width x height pixels, row-major.
struct RefImage {
  int width = 0;
  int height = 0;
  std::vector<TColor32> pixels;
  TColor32 At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

// One kernel sample at (x, y) with the whole image as clip rectangle, the
// safe access mode and a range-checking kernel of radius kw.
template <typename Filter>
TColor32 RefKernelSample(const RefImage& img, TColor32 outer, float x, float y, int kw, Filter filter,
                         bool range_check = true) {
  const int left = 0, top = 0, right = img.width, bottom = img.height;
  const int cx = static_cast<int>(std::ceil(x));
  const int cy = static_cast<int>(std::ceil(y));
  if (cx < left || cx > right || cy < top || cy > bottom) return outer;
  int lo_x = -kw, hi_x = kw, lo_y = -kw, hi_y = kw;
  if (cx - kw < left) lo_x = left - cx;
  if (cx + kw >= right) hi_x = right - cx - 1;
  if (cy - kw < top) lo_y = top - cy;
  if (cy + kw >= bottom) hi_y = bottom - cy - 1;
  const bool edge = lo_x != -kw || hi_x != kw || lo_y != -kw || hi_y != kw;
  const auto wx = RefWeights(static_cast<float>(static_cast<long double>(cx) - x), kw, filter);
  const auto wy = RefWeights(static_cast<float>(static_cast<long double>(cy) - y), kw, filter);
  auto w_x = [&](int j) { return static_cast<std::uint32_t>(wx[static_cast<std::size_t>(j + kw)]); };
  auto w_y = [&](int i) { return static_cast<std::uint32_t>(wy[static_cast<std::size_t>(i + kw)]); };
  // Unsigned 32-bit arithmetic: the two's complement sums of 32-bit registers.
  std::uint32_t acc[4] = {0, 0, 0, 0};
  for (int i = lo_y; i <= hi_y; ++i) {
    if (w_y(i) == 0) continue;
    std::uint32_t h[4] = {0, 0, 0, 0};
    for (int j = lo_x; j <= hi_x; ++j) {
      const TColor32 p = img.At(cx + j, cy + i);
      for (int k = 0; k < 4; ++k) h[k] += w_x(j) * ((p >> (8 * k)) & 0xFFu);
    }
    for (int k = 0; k < 4; ++k) acc[k] += h[k] * w_y(i);
  }
  if (edge) {
    for (int i = -kw; i <= kw; ++i) {
      if (w_y(i) == 0) continue;
      std::uint32_t h[4] = {0, 0, 0, 0};
      for (int j = -kw; j <= kw; ++j) {
        if (j >= lo_x && j <= hi_x && i >= lo_y && i <= hi_y) continue;
        for (int k = 0; k < 4; ++k) h[k] += w_x(j) * ((outer >> (8 * k)) & 0xFFu);
      }
      for (int k = 0; k < 4; ++k) acc[k] += h[k] * w_y(i);
    }
  }
  TColor32 out = 0;
  for (int k = 0; k < 4; ++k) {
    const auto v = static_cast<std::int16_t>(static_cast<std::int32_t>(acc[k]) >> 16);
    const std::uint32_t byte = range_check ? static_cast<std::uint32_t>(v < 0 ? 0 : (v > 255 ? 255 : v))
                                           : (static_cast<std::uint32_t>(v) & 0xFFu);
    out |= byte << (8 * k);
  }
  return out;
}

inline TColor32 RefLanczosSample(const RefImage& img, TColor32 outer, float x, float y) {
  return RefKernelSample(img, outer, x, y, 3, [](float t) { return RefLanczos(t); });
}

}  // namespace vesk::raster::testing
