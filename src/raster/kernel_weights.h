#pragma once
// 8-bit integer weights of a kernel for one sample axis.
//
// For a sample at x with cx = Ceil(x) and fraction f = single(cx - x) in
// [0, 1), tap j (j = -KW .. KW, KW = Ceil(kernel width)) is source column
// cx + j at distance j + f from the sample, and its weight is
//   w[j] = Round(Filter(single(j + f)) * 256), halves to even;
// then w[0] := w[0] - (sum of all w - 256), so every row sums to exactly 256
// and a whole sample (rows times columns) to 65536.
//
// Evaluating a windowed sinc kernel costs two extended-precision sines per
// tap. TKernelWeights produces exactly the same integers faster for the
// Lanczos kernel: it interpolates 256 * sinc(x) * sinc(x / Width) from a
// table and keeps the interpolated value whenever it lies clearly inside one
// rounding interval; only a value within kLanczosRoundingMargin of a
// half-integer is recomputed with the kernel's own Filter. The margin covers
// the interpolation error (below 1e-6 in double, 2e-5 more in the
// single-precision four-tap path) and the difference between the
// single-precision Filter and the true function (below 1e-4 after scaling by
// 256); docs/rounding.md derives the budget.
#include <cstdint>
#include <memory>
#include <vector>

#include "raster/kernels.h"

namespace vesk::raster {

inline constexpr int kMaxKernelRadius = 4;
inline constexpr int kMaxKernelTaps = 2 * kMaxKernelRadius + 1;
// Rows handed out by TKernelWeights are padded with zeros to this length, so
// they can be read in groups of eight.
inline constexpr int kWeightRowCapacity = 16;

// Interpolated weights within this distance (in weight units) of a
// half-integer are recomputed exactly.
inline constexpr double kLanczosRoundingMargin = 1.0 / 2048.0;

// KW = Ceil(kernel width), kept within 0 .. kMaxKernelRadius (a width that is
// not positive, or NaN, samples with the single tap 0).
[[nodiscard]] int KernelRadius(const TCustomKernel& kernel);

// Round(kernel.Filter(t) * 256), halves to even (saturated; NaN gives 0).
[[nodiscard]] std::int32_t KernelWeight(const TCustomKernel& kernel, float t);

// The plain definition: w[j + kw] for j = -kw .. kw, each through
// KernelWeight(kernel, single(j + f)), then the tap-0 correction.
void ExactWeights(const TCustomKernel& kernel, int kw, float f, std::int32_t* w);

// A weight row with the tap-0 correction applied in place.
void CorrectTapZero(int kw, std::int32_t* w) noexcept;

// Interpolation table of 256 * sinc(x) * sinc(x / width) on [0, width) in
// steps of 1/128, one Hermite cubic per step. Immutable once built.
class TLanczosWeightTable {
 public:
  explicit TLanczosWeightTable(float width);

  [[nodiscard]] float Width() const noexcept { return width_; }
  // The interpolated 256 * Filter(t) for |t| < width (no rounding).
  [[nodiscard]] double Interpolate(float t) const noexcept;
  // Round(kernel.Filter(t) * 256), equal to KernelWeight(kernel, t) for a
  // TLanczosKernel of this table's width.
  [[nodiscard]] std::int32_t Weight(const TCustomKernel& kernel, float t) const;
  // The whole corrected row for a fraction f in [0, 1), equal to
  // ExactWeights(kernel, kw, f, w). Tap 0 is not evaluated at all: after the
  // correction it is 256 minus the other taps, whatever its own value.
  // Returns how many taps were recomputed with the kernel's Filter.
  int Row(const TCustomKernel& kernel, int kw, float f, std::int32_t* w) const;

  // Whether a kernel can be served by a table: its class is exactly
  // TLanczosKernel and its width lies in [1, 4].
  [[nodiscard]] static bool Serves(const TCustomKernel& kernel);

  // The row of Row for radius 3 (widths in (2, 3]), four taps per
  // instruction group; false, with nothing written, when the fraction needs
  // the per-tap path (kernel_weights_phases.cpp). Adds its recomputations to
  // fallbacks.
  bool PhaseRow(const TCustomKernel& kernel, float f, std::int32_t* w, int& fallbacks) const;
  // Both rows of a sample at once (their evaluations overlap); false, with
  // nothing written, when either needs the per-tap path.
  bool PhaseRows(const TCustomKernel& kernel, float fx, float fy, std::int32_t* wx, std::int32_t* wy,
                 int& fallbacks) const;
  // The single-precision interpolation PhaseRow computes for distance t
  // (|t| < 4), for the tests of its error.
  [[nodiscard]] double InterpolatePhase(float t) const noexcept;
  [[nodiscard]] bool HasPhases() const noexcept { return !phases_.empty(); }

 private:
  float width_;
  // Four per interval of 1/128: c0 + u (c1 + u (c2 + u c3)), for x in [0, 4).
  std::vector<double> coefficients_;
  // The same coefficients in single precision by phase: for phase q (x = m
  // + (q + u) / 128), coefficient c and whole part m = 0 .. 3 at [(q * 4 + c)
  // * 4 + m]. Built for widths in (2, 3] (radius 3).
  std::vector<float> phases_;
};

// Radius-3 rows for every fraction a 16.16 coordinate can have: row g
// holds the corrected weights of taps -3 .. 3 for f = g / 65536 (exact in
// single precision), then a zero, as eight 16-bit numbers (every tap of a
// table-served kernel fits one, see TKernelWeights::SmallWeights). 65536
// rows of 16 bytes, 1 MiB; built once per kernel width from
// TLanczosWeightTable::Row, so every row is the plain definition's row.
// A run in 16.16 coordinates then reads its weights instead of computing
// them.
class TLanczosFractionTable {
 public:
  static constexpr int kRows = 65536;
  struct alignas(16) TRow {
    std::int16_t w[8];
  };

  // kernel: a table-served Lanczos kernel (TLanczosWeightTable::Serves) of
  // radius 3; the weights near rounding boundaries are asked of it.
  TLanczosFractionTable(const TCustomKernel& kernel, const TLanczosWeightTable& table);

  [[nodiscard]] float Width() const noexcept { return width_; }
  // The row of fraction g / 65536, g in 0 .. 65535.
  [[nodiscard]] const TRow& Row(std::uint32_t g) const noexcept { return rows_[g & 0xFFFFu]; }

 private:
  float width_;
  std::vector<TRow> rows_;
};

// The weight source of a kernel resampler: bound to a kernel once per
// sampling run, it answers weight rows by fraction and remembers the last
// two rows (the x and the y fraction of a sample), so a run that keeps its
// fractions, such as a translation by whole or constant amounts, computes
// each row once.
class TKernelWeights {
 public:
  // Binds the kernel (not owned; it must outlive the run). Rebuilds the
  // Lanczos table only when the width changed since the last binding.
  void Bind(const TCustomKernel& kernel);

  [[nodiscard]] int Radius() const noexcept { return radius_; }
  // The 2 * Radius() + 1 weights for fraction f, followed by zeros up to
  // kWeightRowCapacity entries. Two rows are kept, the most recently used
  // one is never the one replaced: a row stays valid across the next call.
  [[nodiscard]] const std::int32_t* Row(float f);
  // Row(fx) and Row(fy) of one sample; a pair that is not kept is computed
  // together.
  void Rows(float fx, float fy, const std::int32_t*& wx, const std::int32_t*& wy);
  // Whether every weight of the bound kernel fits a signed 16-bit lane:
  // true for the box kernel and the table-served Lanczos kernels (|Filter|
  // <= 1, so every tap but 0 lies in -256 .. 256, and tap 0, 256 minus the
  // others, within -2048 .. 2304).
  [[nodiscard]] bool SmallWeights() const noexcept { return small_weights_; }

  // The rows of every 16.16 fraction for the bound kernel, or nullptr when
  // it is not a table-served Lanczos kernel of radius 3. Made on the first
  // binding of each width and shared; at most two widths are kept.
  [[nodiscard]] const TLanczosFractionTable* Fractions() const noexcept { return fractions_.get(); }

  // Taps recomputed exactly near a rounding boundary, since construction.
  [[nodiscard]] std::uint64_t Fallbacks() const noexcept { return fallbacks_; }

 private:
  struct TSlot {
    std::uint32_t key = 0;
    bool valid = false;
    alignas(16) std::int32_t w[kWeightRowCapacity] = {};
  };

  const TCustomKernel* kernel_ = nullptr;
  int radius_ = 0;
  std::shared_ptr<const TLanczosWeightTable> table_;
  std::shared_ptr<const TLanczosFractionTable> fractions_;
  bool use_table_ = false;
  bool small_weights_ = false;
  TSlot slots_[2];
  int next_slot_ = 0;
  std::uint64_t fallbacks_ = 0;
};

}  // namespace vesk::raster
