#include "raster/kernel_weights.h"

#include <cmath>
#include <cstring>
#include <mutex>
#include <typeinfo>

#include "raster/fixed.h"

namespace vesk::raster {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int kStepsPerUnit = 128;

// sinc(y) = sin(pi y) / (pi y) and its derivative, in double.
void SincAndSlope(double y, double& value, double& slope) {
  const double a = kPi * y;
  if (std::fabs(a) < 1e-4) {
    // Taylor: 1 - a^2/6 and d/dy = -pi^2 y / 3 (errors below 1e-17).
    value = 1.0 - a * a / 6.0;
    slope = -kPi * a / 3.0;
    return;
  }
  const double s = std::sin(a);
  const double c = std::cos(a);
  value = s / a;
  slope = kPi * (a * c - s) / (a * a);
}

// 256 * sinc(x) * sinc(x / width) and its derivative.
void Lanczos256(double x, double width, double& value, double& slope) {
  double s1 = 0, d1 = 0, s2 = 0, d2 = 0;
  SincAndSlope(x, s1, d1);
  SincAndSlope(x / width, s2, d2);
  value = 256.0 * s1 * s2;
  slope = 256.0 * (d1 * s2 + s1 * d2 / width);
}

// Nearest integer of |v| < 2^51, halves to even, in the default rounding
// mode: adding and removing 1.5 * 2^52 leaves no fraction bits.
inline double RoundToIntegral(double v) noexcept {
  constexpr double kShifter = 6755399441055744.0;
  return (v + kShifter) - kShifter;  // never reassociated: no fast-math
}

// Tables are shared between resamplers by width; a few recent widths are
// kept.
std::shared_ptr<const TLanczosWeightTable> TableFor(float width) {
  static std::mutex mutex;
  static std::vector<std::shared_ptr<const TLanczosWeightTable>> recent;
  const std::lock_guard<std::mutex> lock(mutex);
  for (const auto& t : recent) {
    if (t->Width() == width) return t;
  }
  auto table = std::make_shared<const TLanczosWeightTable>(width);
  if (recent.size() >= 4) recent.erase(recent.begin());
  recent.push_back(table);
  return table;
}

// The fraction rows by width, shared; the two most recent widths are kept
// (1 MiB each).
std::shared_ptr<const TLanczosFractionTable> FractionTableFor(const TCustomKernel& kernel,
                                                              const TLanczosWeightTable& table) {
  static std::mutex mutex;
  static std::vector<std::shared_ptr<const TLanczosFractionTable>> recent;
  const std::lock_guard<std::mutex> lock(mutex);
  for (const auto& t : recent) {
    if (t->Width() == table.Width()) return t;
  }
  auto rows = std::make_shared<const TLanczosFractionTable>(kernel, table);
  if (recent.size() >= 2) recent.erase(recent.begin());
  recent.push_back(rows);
  return rows;
}

// single(j + f), the sum in extended precision.
inline float TapDistance(int j, float f) noexcept {
  return static_cast<float>(static_cast<long double>(j) + static_cast<long double>(f));
}

}  // namespace

int KernelRadius(const TCustomKernel& kernel) {
  const float width = kernel.GetWidth();
  if (!(width > 0.0f)) return 0;
  if (width >= static_cast<float>(kMaxKernelRadius)) return kMaxKernelRadius;
  return static_cast<int>(std::ceil(width));
}

std::int32_t KernelWeight(const TCustomKernel& kernel, float t) {
  return RoundHalfEven(static_cast<long double>(kernel.Filter(t)) * 256.0L);
}

void CorrectTapZero(int kw, std::int32_t* w) noexcept {
  std::int64_t sum = 0;
  for (int i = 0; i <= 2 * kw; ++i) sum += w[i];
  w[kw] = static_cast<std::int32_t>(static_cast<std::uint32_t>(w[kw]) - static_cast<std::uint32_t>(sum - 256));
}

void ExactWeights(const TCustomKernel& kernel, int kw, float f, std::int32_t* w) {
  for (int j = -kw; j <= kw; ++j) w[j + kw] = KernelWeight(kernel, TapDistance(j, f));
  CorrectTapZero(kw, w);
}

// ---- TLanczosWeightTable ----------------------------------------------------

TLanczosWeightTable::TLanczosWeightTable(float width) : width_(width) {
  // Beyond the width the smooth formula goes on (those taps are masked to 0),
  // so every distance below 4 has an interval.
  const int intervals = 4 * kStepsPerUnit;
  coefficients_.resize(static_cast<std::size_t>(intervals) * 4);
  const double h = 1.0 / kStepsPerUnit;
  double f0 = 0, d0 = 0;
  Lanczos256(0.0, width, f0, d0);
  for (int k = 0; k < intervals; ++k) {
    double f1 = 0, d1 = 0;
    Lanczos256((k + 1) * h, width, f1, d1);
    // Hermite cubic on u in [0, 1] through (f0, h d0) and (f1, h d1).
    double* c = &coefficients_[static_cast<std::size_t>(k) * 4];
    c[0] = f0;
    c[1] = h * d0;
    c[2] = 3.0 * (f1 - f0) - h * (2.0 * d0 + d1);
    c[3] = 2.0 * (f0 - f1) + h * (d0 + d1);
    f0 = f1;
    d0 = d1;
  }
  if (width > 2.0f && width <= 3.0f) {
    phases_.resize(static_cast<std::size_t>(kStepsPerUnit) * 16);
    for (int q = 0; q < kStepsPerUnit; ++q) {
      for (int c = 0; c < 4; ++c) {
        for (int m = 0; m < 4; ++m) {
          phases_[static_cast<std::size_t>((q * 4 + c) * 4 + m)] =
              static_cast<float>(coefficients_[static_cast<std::size_t>((m * kStepsPerUnit + q) * 4 + c)]);
        }
      }
    }
  }
}

double TLanczosWeightTable::Interpolate(float t) const noexcept {
  const float s = std::fabs(t) * static_cast<float>(kStepsPerUnit);  // exact: |t| < 4
  const int k = static_cast<int>(s);
  const double u = static_cast<double>(s) - k;
  const double* c = &coefficients_[static_cast<std::size_t>(k) * 4];
  return c[0] + u * (c[1] + u * (c[2] + u * c[3]));
}

std::int32_t TLanczosWeightTable::Weight(const TCustomKernel& kernel, float t) const {
  const float x = std::fabs(t);
  if (x >= width_) return 0;
  if (x < width_) {
    const double p = Interpolate(t);
    const double r = RoundToIntegral(p);
    if (std::fabs(p - r) < 0.5 - kLanczosRoundingMargin) return static_cast<std::int32_t>(r);
  }
  // Close to a rounding boundary (or NaN): the kernel's own arithmetic.
  return KernelWeight(kernel, t);
}

int TLanczosWeightTable::Row(const TCustomKernel& kernel, int kw, float f, std::int32_t* w) const {
  int fallbacks = 0;
  if (kw == 3 && !phases_.empty() && PhaseRow(kernel, f, w, fallbacks)) return fallbacks;
  const double* const coefficients = coefficients_.data();
  const float width = width_;
  std::int32_t others = 0;
  for (int j = -kw; j <= kw; ++j) {
    if (j == 0) continue;
    // single(j + f): the double sum is exact for f >= 2^-27 and rounds to j
    // for smaller f, just like the extended sum, so one rounding to single
    // gives the same value.
    const float t = static_cast<float>(static_cast<double>(j) + static_cast<double>(f));
    const float x = std::fabs(t);
    std::int32_t wj = 0;
    if (x < width) {
      const float s = x * static_cast<float>(kStepsPerUnit);
      const int k = static_cast<int>(s);
      const double u = static_cast<double>(s) - k;
      const double* c = coefficients + static_cast<std::size_t>(k) * 4;
      const double p = c[0] + u * (c[1] + u * (c[2] + u * c[3]));
      const double r = RoundToIntegral(p);
      if (std::fabs(p - r) < 0.5 - kLanczosRoundingMargin) {
        wj = static_cast<std::int32_t>(r);
      } else {
        ++fallbacks;
        wj = KernelWeight(kernel, t);
      }
    }
    w[j + kw] = wj;
    others += wj;
  }
  w[kw] = 256 - others;
  return fallbacks;
}

bool TLanczosWeightTable::Serves(const TCustomKernel& kernel) {
  if (typeid(kernel) != typeid(TLanczosKernel)) return false;
  const float width = kernel.GetWidth();
  return width >= 1.0f && width <= static_cast<float>(kMaxKernelRadius);
}

// ---- TLanczosFractionTable --------------------------------------------------

TLanczosFractionTable::TLanczosFractionTable(const TCustomKernel& kernel, const TLanczosWeightTable& table)
    : width_(table.Width()), rows_(kRows) {
  for (int g = 0; g < kRows; ++g) {
    std::int32_t w[kWeightRowCapacity] = {};
    // g / 65536 is exact in single precision.
    table.Row(kernel, 3, static_cast<float>(g) * (1.0f / 65536.0f), w);
    for (int j = 0; j < 7; ++j) rows_[static_cast<std::size_t>(g)].w[j] = static_cast<std::int16_t>(w[j]);
    rows_[static_cast<std::size_t>(g)].w[7] = 0;
  }
}

// ---- TKernelWeights ----------------------------------------------------------

void TKernelWeights::Bind(const TCustomKernel& kernel) {
  kernel_ = &kernel;
  radius_ = KernelRadius(kernel);
  use_table_ = TLanczosWeightTable::Serves(kernel);
  small_weights_ = use_table_ || typeid(kernel) == typeid(TBoxKernel);
  if (use_table_ && (!table_ || table_->Width() != kernel.GetWidth())) table_ = TableFor(kernel.GetWidth());
  if (use_table_ && radius_ == 3) {
    if (!fractions_ || fractions_->Width() != table_->Width()) fractions_ = FractionTableFor(kernel, *table_);
  } else {
    fractions_.reset();
  }
  // Rows are read in groups of eight: no entry past this radius's taps may
  // keep a weight of an earlier kernel.
  for (TSlot& slot : slots_) slot = TSlot{};
}

const std::int32_t* TKernelWeights::Row(float f) {
  std::uint32_t key;
  std::memcpy(&key, &f, sizeof key);
  for (int i = 0; i < 2; ++i) {
    if (slots_[i].valid && slots_[i].key == key) {
      next_slot_ = 1 - i;
      return slots_[i].w;
    }
  }
  TSlot& slot = slots_[next_slot_];
  next_slot_ ^= 1;
  slot.key = key;
  slot.valid = true;
  const int kw = radius_;
  if (use_table_ && f >= 0.0f && f < 1.0f) {
    fallbacks_ += static_cast<std::uint64_t>(table_->Row(*kernel_, kw, f, slot.w));
  } else {
    ExactWeights(*kernel_, kw, f, slot.w);
  }
  return slot.w;
}

void TKernelWeights::Rows(float fx, float fy, const std::int32_t*& wx, const std::int32_t*& wy) {
  std::uint32_t kx;
  std::uint32_t ky;
  std::memcpy(&kx, &fx, sizeof kx);
  std::memcpy(&ky, &fy, sizeof ky);
  const bool kept = (slots_[0].valid && (slots_[0].key == kx || slots_[0].key == ky)) ||
                    (slots_[1].valid && (slots_[1].key == kx || slots_[1].key == ky));
  if (!kept && kx != ky && use_table_ && radius_ == 3) {
    int fallbacks = 0;
    if (table_->PhaseRows(*kernel_, fx, fy, slots_[0].w, slots_[1].w, fallbacks)) {
      slots_[0].key = kx;
      slots_[1].key = ky;
      slots_[0].valid = slots_[1].valid = true;
      next_slot_ = 0;
      fallbacks_ += static_cast<std::uint64_t>(fallbacks);
      wx = slots_[0].w;
      wy = slots_[1].w;
      return;
    }
    // A failed attempt may have written into both slots.
    slots_[0].valid = slots_[1].valid = false;
  }
  wx = Row(fx);
  wy = Row(fy);
}

}  // namespace vesk::raster
