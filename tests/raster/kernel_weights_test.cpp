// Kernel formulas and 8-bit weights: worked rows, a golden table that must
// hold with every C library's sine, and the sweeps that prove the fast
// Lanczos weights equal the plain formula.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "kernel_reference.h"
#include "pixel_reference.h"
#include "raster/kernel_weights.h"
#include "raster/kernels.h"

namespace vesk::raster {
namespace {

using testing::RefLanczos;
using testing::RefLanczosWeights;
using testing::TestRng;

std::vector<std::int32_t> Row(const std::int32_t* w, int kw) { return {w, w + 2 * kw + 1}; }

std::vector<std::int32_t> ExactRow(const TCustomKernel& k, float f) {
  std::int32_t w[kMaxKernelTaps];
  const int kw = KernelRadius(k);
  ExactWeights(k, kw, f, w);
  return Row(w, kw);
}

TEST(KernelFormulas, SincAndLanczosValues) {
  EXPECT_EQ(SinC(0.0f), 1.0f);
  TLanczosKernel k;
  EXPECT_EQ(k.Filter(0.0f), 1.0f);
  EXPECT_EQ(k.Filter(3.0f), 0.0f);
  EXPECT_EQ(k.Filter(-3.0f), 0.0f);
  EXPECT_EQ(k.Filter(3.5f), 0.0f);
  EXPECT_TRUE(k.RangeCheck());
  EXPECT_EQ(k.GetWidth(), 3.0f);
  // Symmetric, and the plain formula bit for bit.
  for (float t : {0.1f, 0.25f, 0.5f, 1.5f, 2.5f, 2.999f}) {
    EXPECT_EQ(k.Filter(t), k.Filter(-t)) << t;
    EXPECT_EQ(std::bit_cast<std::uint32_t>(k.Filter(t)), std::bit_cast<std::uint32_t>(RefLanczos(t))) << t;
  }
}

// Single-precision filter values that sit far from any rounding step of the
// sine, so every C library's extended sine must give these bits.
TEST(KernelFormulas, GoldenFilterBits) {
  const struct {
    float t;
    std::uint32_t bits;
  } golden[] = {{0.25f, 0x3F63DB6Fu}, {0.5f, 0x3F1BA11Cu},   {1.5f, 0xBE0A5652u}, {2.5f, 0x3CC734A0u},
                {2.75f, 0x3BF109F8u}, {-0.75f, 0x3E8A5651u}, {0.1f, 0x3F7B5988u}};
  TLanczosKernel k;
  for (const auto& g : golden) EXPECT_EQ(std::bit_cast<std::uint32_t>(k.Filter(g.t)), g.bits) << g.t;
}

TEST(KernelFormulas, BoxKernel) {
  TBoxKernel k;
  EXPECT_EQ(k.Filter(-0.5f), 1.0f);
  EXPECT_EQ(k.Filter(0.5f), 1.0f);
  EXPECT_EQ(k.Filter(0.50001f), 0.0f);
  EXPECT_EQ(k.Filter(-0.6f), 0.0f);
  EXPECT_EQ(k.GetWidth(), 1.0f);
  EXPECT_FALSE(k.RangeCheck());
  // Taps -1, 0, 1. At f = 0.5 taps -1 and 0 both weigh 256; tap 0 then takes
  // the excess and the row becomes 256, 0, 0.
  EXPECT_EQ(ExactRow(k, 0.0f), (std::vector<std::int32_t>{0, 256, 0}));
  EXPECT_EQ(ExactRow(k, 0.5f), (std::vector<std::int32_t>{256, 0, 0}));
  EXPECT_EQ(ExactRow(k, 0.75f), (std::vector<std::int32_t>{256, 0, 0}));
  EXPECT_EQ(ExactRow(k, 0.25f), (std::vector<std::int32_t>{0, 256, 0}));
}

TEST(KernelFormulas, WidthSetterClampsAndNotifiesOnChange) {
  TLanczosKernel k;
  TNotifiablePersistent observer;
  int changes = 0;
  observer.OnChange = [&](TObject*) { ++changes; };
  k.Observer = &observer;
  k.SetWidth(3.0f);
  EXPECT_EQ(changes, 0);
  k.SetWidth(6.0f);
  EXPECT_EQ(k.Width(), 4.0f);
  EXPECT_EQ(changes, 1);
  k.SetWidth(5.0f);  // min(5, 4) = 4: unchanged
  EXPECT_EQ(changes, 1);
  k.SetWidth(2.0f);
  EXPECT_EQ(k.Width(), 2.0f);
  EXPECT_EQ(changes, 2);
  k.SetWidth(std::numeric_limits<float>::quiet_NaN());
  EXPECT_EQ(k.Width(), 4.0f);
  EXPECT_EQ(KernelRadius(k), 4);
  k.SetWidth(-1.0f);
  EXPECT_EQ(KernelRadius(k), 0);  // a single tap, weight 256
  EXPECT_EQ(ExactRow(k, 0.3f), (std::vector<std::int32_t>{256}));
}

TEST(KernelFormulas, RegistryByClassName) {
  const auto list = KernelClassList();
  ASSERT_GE(list.size(), 2u);
  EXPECT_EQ(list[0].Name, "TBoxKernel");
  ASSERT_NE(FindKernelClass("TLanczosKernel"), nullptr);
  EXPECT_EQ(FindKernelClass("TLanczosKernel")->Create()->ClassName(), "TLanczosKernel");
  EXPECT_EQ(FindKernelClass("tlanczoskernel"), nullptr);
  EXPECT_EQ(FindKernelClass(""), nullptr);
  EXPECT_EQ(FindKernelClass("TWindowedSincKernel"), nullptr);
}

TEST(LanczosWeights, WorkedRowsSumTo256) {
  TLanczosKernel k;
  const struct {
    float f;
    std::vector<std::int32_t> w;
  } rows[] = {{0.0f, {0, 0, 0, 256, 0, 0, 0}},
              {0.25f, {2, -17, 69, 228, -34, 8, 0}},
              {0.5f, {6, -35, 156, 158, -35, 6, 0}},
              {0.75f, {8, -34, 228, 69, -17, 2, 0}}};
  TKernelWeights fast;
  fast.Bind(k);
  for (const auto& r : rows) {
    EXPECT_EQ(ExactRow(k, r.f), r.w) << r.f;
    EXPECT_EQ(Row(fast.Row(r.f), 3), r.w) << r.f;
    std::int32_t sum = 0;
    for (std::int32_t w : r.w) sum += w;
    EXPECT_EQ(sum, 256);
  }
}

// Lanczos-3 rows for f = k / 32, recorded once; checked on every platform,
// since the sine of the C library enters every weight.
TEST(LanczosWeights, GoldenTable) {
  static const std::int32_t golden[32][7] = {
      {0, 0, 0, 256, 0, 0, 0},       {0, -2, 7, 255, -6, 2, 0},     {0, -4, 14, 255, -12, 3, 0},
      {0, -6, 22, 253, -17, 4, 0},   {0, -8, 31, 250, -22, 5, 0},   {1, -10, 40, 245, -26, 6, 0},
      {1, -12, 49, 240, -29, 7, 0},  {1, -15, 59, 236, -32, 7, 0},  {2, -17, 69, 228, -34, 8, 0},
      {2, -20, 80, 222, -36, 8, 0},  {3, -22, 90, 214, -37, 8, 0},  {3, -25, 101, 206, -37, 8, 0},
      {4, -27, 112, 197, -38, 8, 0}, {5, -29, 123, 187, -37, 7, 0}, {5, -31, 134, 178, -37, 7, 0},
      {6, -33, 145, 167, -36, 7, 0}, {6, -35, 156, 158, -35, 6, 0}, {7, -36, 166, 146, -33, 6, 0},
      {7, -37, 176, 136, -31, 5, 0}, {7, -37, 186, 124, -29, 5, 0}, {8, -38, 196, 113, -27, 4, 0},
      {8, -37, 205, 102, -25, 3, 0}, {8, -37, 213, 91, -22, 3, 0},  {8, -36, 221, 81, -20, 2, 0},
      {8, -34, 228, 69, -17, 2, 0},  {7, -32, 234, 61, -15, 1, 0},  {7, -29, 240, 49, -12, 1, 0},
      {6, -26, 245, 40, -10, 1, 0},  {5, -22, 249, 32, -8, 0, 0},   {4, -17, 252, 23, -6, 0, 0},
      {3, -12, 254, 15, -4, 0, 0},   {2, -6, 256, 6, -2, 0, 0}};
  TLanczosKernel k;
  TKernelWeights fast;
  fast.Bind(k);
  for (int i = 0; i < 32; ++i) {
    const float f = static_cast<float>(i) / 32.0f;
    const std::vector<std::int32_t> expected(golden[i], golden[i] + 7);
    EXPECT_EQ(ExactRow(k, f), expected) << "f = " << i << "/32";
    EXPECT_EQ(Row(fast.Row(f), 3), expected) << "f = " << i << "/32";
  }
}

// The proof that the fast weights are the exact ones: every fraction the
// hands can produce (16.16 coordinates give fractions k / 65536), plus
// random singles in [0, 1) and awkward values, compared with the plain
// formula written in the test. The fallback path must have been taken (the
// sweep covers values near rounding boundaries), and the interpolation must
// stay far inside the margin that decides the fallback.
void SweepWidth(float width, int random_count, std::uint64_t seed) {
  TLanczosKernel k;
  k.SetWidth(width);
  TKernelWeights fast;
  fast.Bind(k);
  const int kw = KernelRadius(k);
  TLanczosWeightTable table(width);
  double worst = 0.0;
  double worst_phase = 0.0;
  int mismatches = 0;
  int checked = 0;
  int phase_rows = 0;
  auto check = [&](float f) {
    ++checked;
    const auto expected = RefLanczosWeights(f, width);
    const auto got = Row(fast.Row(f), kw);
    std::int32_t w[kWeightRowCapacity] = {};
    int fallbacks = 0;
    const bool phased = table.PhaseRow(k, f, w, fallbacks);
    if (phased) ++phase_rows;
    if ((got != expected || (phased && Row(w, kw) != expected)) && ++mismatches <= 5) {
      ADD_FAILURE() << "width " << width << " f = " << f << " (bits 0x" << std::hex << std::bit_cast<std::uint32_t>(f)
                    << std::dec << ")";
    }
    for (int j = -kw; j <= kw; ++j) {
      const float t = static_cast<float>(static_cast<long double>(j) + f);
      if (std::fabs(t) >= width) continue;
      const double exact = 256.0 * RefLanczos(t, width);
      worst = std::max(worst, std::fabs(table.Interpolate(t) - exact));
      if (table.HasPhases()) worst_phase = std::max(worst_phase, std::fabs(table.InterpolatePhase(t) - exact));
    }
  };
  if (random_count > 0) {
    for (int i = 0; i < 65536; ++i) check(static_cast<float>(i) / 65536.0f);
    // The four-tap path serves every fixed fraction but 0 (j + f is exact
    // for them); it leaves to the per-tap path only singles whose distances
    // round across a 1/128 step (tiny ones, for instance).
    if (kw == 3 && width > 2.0f) {
      EXPECT_EQ(phase_rows, 65535);
    }
  }
  TestRng rng(seed);
  for (int i = 0; i < random_count; ++i) {
    // Half uniform in value, half uniform over the bit patterns of [0, 1).
    if (i % 2 == 0) {
      check(static_cast<float>(rng.Next() >> 40) * 0x1p-24f);
    } else {
      check(std::bit_cast<float>(static_cast<std::uint32_t>(rng.Next() % 0x3F800000u)));
    }
  }
  for (float f : {0x1p-149f, 0x1p-126f, 1e-30f, 1e-7f, 0.5f - 0x1p-25f, 0.5f + 0x1p-24f, 1.0f - 0x1p-24f}) check(f);
  EXPECT_EQ(mismatches, 0);
  EXPECT_LT(worst, kLanczosRoundingMargin / 8) << "interpolation error for width " << width;
  EXPECT_LT(worst_phase, kLanczosRoundingMargin / 4) << "four-tap interpolation error for width " << width;
  static_cast<void>(checked);
  if (random_count > 0) {
    EXPECT_GT(fast.Fallbacks(), 0u) << "the sweep never reached a rounding boundary";
  }
}

TEST(LanczosWeights, FastWeightsEqualFormulaOverEveryFixedFraction) { SweepWidth(3.0f, 200000, 1); }

TEST(LanczosWeights, FastWeightsEqualFormulaForOtherWidths) {
  SweepWidth(2.0f, 50000, 2);
  SweepWidth(4.0f, 50000, 3);
  SweepWidth(2.5f, 50000, 4);
}

// The rows read by 16.16 fraction are the plain formula's rows, for every
// fraction and both radius-3 widths tried; a binding shares one table per
// width and none is made for other radii.
TEST(LanczosWeights, FractionRowsEqualFormulaForEveryFixedFraction) {
  for (const float width : {3.0f, 2.5f}) {
    TLanczosKernel k;
    k.SetWidth(width);
    TKernelWeights weights;
    weights.Bind(k);
    const TLanczosFractionTable* table = weights.Fractions();
    ASSERT_NE(table, nullptr) << width;
    int mismatches = 0;
    for (std::uint32_t g = 0; g < 65536; ++g) {
      const auto expected = RefLanczosWeights(static_cast<float>(g) / 65536.0f, width);
      const TLanczosFractionTable::TRow& row = table->Row(g);
      std::vector<std::int32_t> got(row.w, row.w + 7);
      if ((got != expected || row.w[7] != 0) && ++mismatches <= 5) {
        ADD_FAILURE() << "width " << width << " g = " << g;
      }
    }
    EXPECT_EQ(mismatches, 0) << width;
    TKernelWeights again;
    again.Bind(k);
    EXPECT_EQ(again.Fractions(), table) << "one table per width";
  }
  TLanczosKernel wide;
  wide.SetWidth(4.0f);
  TKernelWeights weights;
  weights.Bind(wide);
  EXPECT_EQ(weights.Fractions(), nullptr);
}

TEST(LanczosWeights, OnlyExactLanczosKernelsUseTheTable) {
  TLanczosKernel lanczos;
  EXPECT_TRUE(TLanczosWeightTable::Serves(lanczos));
  lanczos.SetWidth(0.5f);
  EXPECT_FALSE(TLanczosWeightTable::Serves(lanczos));
  // A subclass with its own window must be asked itself.
  struct TFlatWindow : TLanczosKernel {
    float Window(float) const override { return 1.0f; }
  } flat;
  EXPECT_FALSE(TLanczosWeightTable::Serves(flat));
  TKernelWeights weights;
  weights.Bind(flat);
  EXPECT_EQ(Row(weights.Row(0.5f), 3), ExactRow(flat, 0.5f));
  EXPECT_NE(Row(weights.Row(0.5f), 3), ExactRow(TLanczosKernel(), 0.5f));
  TBoxKernel box;
  EXPECT_FALSE(TLanczosWeightTable::Serves(box));
}

}  // namespace
}  // namespace vesk::raster
