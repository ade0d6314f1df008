// Row and pixel throughput of the blend and merge families on 150 x 150
// skin-like images: a clock face (transparent corners, an anti-aliased rim,
// an opaque dial with a translucent glass disc) drawn with BlendRow into a
// cleared composition, and a hand layer (mostly transparent, an opaque bar
// with soft edges and a translucent shadow) merged over the face.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "raster/blend.h"
#include "raster/blend_scalar.h"
#include "raster/blend_vector.h"
#include "raster/merge.h"

namespace {

using vesk::raster::TColor32;

constexpr int kSide = 150;
constexpr int kPixels = kSide * kSide;

TColor32 Argb(double a, std::uint32_t r, std::uint32_t g, std::uint32_t b) {
  const auto alpha = static_cast<std::uint32_t>(std::clamp(a, 0.0, 1.0) * 255.0 + 0.5);
  return (alpha << 24) | (r << 16) | (g << 8) | b;
}

std::vector<TColor32> MakeFace() {
  std::vector<TColor32> img(kPixels);
  for (int y = 0; y < kSide; ++y) {
    for (int x = 0; x < kSide; ++x) {
      const double d = std::hypot(x + 0.5 - 75.0, y + 0.5 - 75.0);
      const auto shade = static_cast<std::uint32_t>(120 + (x + y) % 100);
      TColor32 p = Argb(70.5 - d, shade, shade - 20, 90);  // rim coverage
      if (d < 30.0) p = Argb(0.4, 200, 220, 255);          // glass disc
      img[static_cast<std::size_t>(y) * kSide + x] = p;
    }
  }
  return img;
}

std::vector<TColor32> MakeHand() {
  std::vector<TColor32> img(kPixels, 0);
  for (int y = 10; y < 80; ++y) {
    for (int x = 60; x < 95; ++x) {
      const double edge = std::min(x + 0.5 - 68.0, 82.0 - (x + 0.5));  // soft sides
      TColor32& p = img[static_cast<std::size_t>(y) * kSide + x];
      if (edge > -1.0) {
        p = Argb(edge + 1.0, 30, 30, 40);
      } else if (x >= 84 && x < 92) {
        p = Argb(0.25, 0, 0, 0);  // shadow
      }
    }
  }
  return img;
}

void SetPixelRate(benchmark::State& state) {
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * kPixels);
}

// Draws the face into a cleared composition row by row.
void BlendFace(benchmark::State& state, vesk::raster::TBlendLine row) {
  const std::vector<TColor32> face = MakeFace();
  std::vector<TColor32> dst(kPixels, 0);
  for (auto _ : state) {
    for (int y = 0; y < kSide; ++y) row(face.data() + y * kSide, dst.data() + y * kSide, kSide);
    benchmark::DoNotOptimize(dst.data());
    benchmark::ClobberMemory();
  }
  SetPixelRate(state);
}

void BM_BlendRow(benchmark::State& state) { BlendFace(state, vesk::raster::BlendRow); }
void BM_BlendRowPortable(benchmark::State& state) { BlendFace(state, &vesk::raster::blend_vector::BlendRowPortable); }
void BM_BlendRowScalar(benchmark::State& state) { BlendFace(state, &vesk::raster::blend_scalar::BlendRow); }

// The hand merged over the drawn face. After the first iteration the pixels
// under the hand's translucent parts are translucent too, as they would be
// when several layers stack up.
std::vector<TColor32> FaceComposition() {
  std::vector<TColor32> dst(kPixels, 0);
  const std::vector<TColor32> face = MakeFace();
  vesk::raster::blend_vector::BlendRow(face.data(), dst.data(), kPixels);
  return dst;
}

void BM_MergeRow(benchmark::State& state) {
  const std::vector<TColor32> hand = MakeHand();
  std::vector<TColor32> dst = FaceComposition();
  for (auto _ : state) {
    for (int y = 0; y < kSide; ++y) vesk::raster::MergeRow(hand.data() + y * kSide, dst.data() + y * kSide, kSide);
    benchmark::DoNotOptimize(dst.data());
    benchmark::ClobberMemory();
  }
  SetPixelRate(state);
}

// The same work one pixel at a time through the dispatch table, as the
// rasterizer of a rotated layer does.
void BM_MergePixel(benchmark::State& state) {
  const std::vector<TColor32> hand = MakeHand();
  std::vector<TColor32> dst = FaceComposition();
  const auto merge = vesk::raster::PixelRoutines().PixelExInPlace[vesk::raster::Column(vesk::raster::cmMerge)];
  for (auto _ : state) {
    for (int i = 0; i < kPixels; ++i) merge(hand[i], dst[i], 255);
    benchmark::DoNotOptimize(dst.data());
    benchmark::ClobberMemory();
  }
  SetPixelRate(state);
}

}  // namespace

BENCHMARK(BM_BlendRow);
BENCHMARK(BM_BlendRowPortable);
BENCHMARK(BM_BlendRowScalar);
BENCHMARK(BM_MergeRow);
BENCHMARK(BM_MergePixel);
