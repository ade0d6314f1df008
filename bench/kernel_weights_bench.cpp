// Cost of one Lanczos-3 weight row (7 taps, one axis of one sample): the
// plain formula (two extended-precision sines per tap) against the
// interpolated row with its exact fallback, over fractions that change from
// call to call as they do along a rotated row.
#include <benchmark/benchmark.h>

#include <cstdint>

#include "raster/kernel_weights.h"
#include "raster/kernels.h"

namespace {

using namespace vesk;
using namespace vesk::raster;

// Fractions k / 65536 stepping by an odd amount, like the fixed-point
// coordinates of a turned row.
float NextFraction(std::uint32_t& k) {
  k = (k + 40503u) & 0xFFFFu;
  return static_cast<float>(k) / 65536.0f;
}

void BM_WeightRowExact(benchmark::State& state) {
  TLanczosKernel kernel;
  std::int32_t w[kMaxKernelTaps];
  std::uint32_t k = 0;
  for (auto _ : state) {
    ExactWeights(kernel, 3, NextFraction(k), w);
    benchmark::DoNotOptimize(w);
  }
}
BENCHMARK(BM_WeightRowExact);

void BM_WeightRowFast(benchmark::State& state) {
  TLanczosKernel kernel;
  TKernelWeights weights;
  weights.Bind(kernel);
  std::uint32_t k = 0;
  for (auto _ : state) benchmark::DoNotOptimize(weights.Row(NextFraction(k)));
  state.counters["fallbacks_per_row"] =
      benchmark::Counter(static_cast<double>(weights.Fallbacks()), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_WeightRowFast);

}  // namespace
