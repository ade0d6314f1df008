// The kernel resampler's settings and its per-sample convolution. The run
// form for whole target rows is in kernel_resampler_rows.cpp.
#include "raster/kernel_resampler.h"

#include <algorithm>
#include <cmath>
#include <typeinfo>

#include "raster/fixed.h"
#include "raster/kernel_sample.h"
#include "raster/wrap.h"

namespace vesk::raster {

TKernelResampler::TKernelResampler() : kernel_(std::make_unique<TBoxKernel>()) {}

TKernelResampler::~TKernelResampler() = default;

void TKernelResampler::SetKernel(std::unique_ptr<TCustomKernel> value) {
  if (!value || value.get() == kernel_.get()) return;
  kernel_ = std::move(value);
  Changed();
}

void TKernelResampler::SetKernelClassName(std::string_view value) {
  if (value.empty() || value == kernel_->ClassName()) return;
  if (const TKernelClass* c = FindKernelClass(value)) SetKernel(c->Create());
}

void TKernelResampler::SetKernelMode(TKernelMode value) {
  if (kernel_mode_ == value) return;
  kernel_mode_ = value;
  Changed();
}

void TKernelResampler::SetTableSize(std::int32_t value) {
  value = std::max<std::int32_t>(value, 2);
  if (table_size_ == value) return;
  table_size_ = value;
  Changed();
}

void TKernelResampler::Assign(const TCustomSampler& source) {
  TBitmap32Resampler::Assign(source);
  const auto* other = dynamic_cast<const TKernelResampler*>(&source);
  if (other == nullptr || other == this) return;
  SetKernelClassName(other->KernelClassName());
  kernel_->Assign(*other->kernel_);
  SetKernelMode(other->KernelMode());
  SetTableSize(other->TableSize());
}

// ---- sampling run ---------------------------------------------------------------

void TKernelResampler::PrepareSampling() {
  TBitmap32Resampler::PrepareSampling();
  outer_color_ = bitmap_ != nullptr ? bitmap_->OuterColor() : 0;
  radius_ = KernelRadius(*kernel_);
  weights_.Bind(*kernel_);
  padded_ready_ = false;
  runs_allowed_ = typeid(*this) == typeid(TKernelResampler);
  weight_table_.clear();
  if (kernel_mode_ != kmDynamic) BuildWeightTable();
}

void TKernelResampler::FinalizeSampling() {
  weight_table_.clear();
  weight_table_.shrink_to_fit();
  padded_.clear();
  padded_.shrink_to_fit();
  padded_ready_ = false;
}

void TKernelResampler::RestartRun() { padded_ready_ = false; }

// Row i holds the weights for the fraction single(i / (TableSize - 1)),
// i = 0 .. TableSize.
void TKernelResampler::BuildWeightTable() {
  const int taps = 2 * radius_ + 1;
  weight_table_.assign(static_cast<std::size_t>(table_size_ + 1) * taps, 0);
  for (std::int32_t i = 0; i <= table_size_; ++i) {
    const float f = static_cast<float>(static_cast<long double>(i) / (table_size_ - 1));
    ExactWeights(*kernel_, radius_, f, &weight_table_[static_cast<std::size_t>(i) * taps]);
  }
}

const std::int32_t* TKernelResampler::WeightsFor(float f) {
  if (kernel_mode_ == kmDynamic || weight_table_.empty()) return weights_.Row(f);
  const int taps = 2 * radius_ + 1;
  const long double pos = static_cast<long double>(f) * (table_size_ - 1);
  if (kernel_mode_ == kmTableNearest) {
    const std::int32_t i = std::clamp(RoundHalfEven(pos), 0, table_size_);
    return &weight_table_[static_cast<std::size_t>(i) * taps];
  }
  // kmTableLinear: the two neighbouring rows mixed with an 8-bit fraction,
  // each weight rounded to nearest (halves up), then tap 0 corrected.
  const std::int32_t i0 = std::clamp(static_cast<std::int32_t>(std::floor(pos)), 0, table_size_ - 1);
  const std::int32_t a = std::clamp(RoundHalfEven((pos - i0) * 256.0L), 0, 256);
  const std::int32_t* r0 = &weight_table_[static_cast<std::size_t>(i0) * taps];
  const std::int32_t* r1 = r0 + taps;
  for (int j = 0; j < taps; ++j) {
    mixed_row_[j] = static_cast<std::int32_t>(
        (static_cast<std::int64_t>(r0[j]) * (256 - a) + static_cast<std::int64_t>(r1[j]) * a + 128) >> 8);
  }
  CorrectTapZero(radius_, mixed_row_);
  return mixed_row_;
}

// The convolution:
//  1. cx := Ceil(x), cy := Ceil(y). In pamSafe and pamTransparentEdge a
//     sample whose cx lies outside [Left, Right] or cy outside [Top, Bottom]
//     of the clip rectangle (right and bottom included) is the outer colour
//     (transparent black for pamTransparentEdge).
//  2. Weights wx for fx := single(cx - x) and wy for fy := single(cy - y),
//     taps -KW .. KW (kernel_weights.h).
//  3. Every channel sums wx[j] * wy[i] * (channel of the pixel at (cx + j,
//     cy + i)); a tap outside the clip rectangle reads the outer colour. The
//     sums are the 32-bit two's complement accumulations of the row-by-row
//     convolution (h := sum over j of wx[j] * pixel, then h * wy[i]);
//     integer addition in 32 bits is associative, so the grouping is free.
//  4. Each channel := (sum >> 16, arithmetic) taken as a signed 16-bit
//     number, clamped to 0 .. 255 when the kernel range-checks, else cut to
//     its low 8 bits.
// pamUnsafe and pamWrap skip the range test and read every tap of the full
// square: pamWrap folds the coordinates by the bitmap's WrapMode, pamUnsafe
// clamps them into the clip rectangle (so no read leaves the bitmap).
TColor32 TKernelResampler::GetSampleFloat(float x, float y) {
  const TPixelAccessMode mode = pixel_access_mode_;
  const bool ranged = mode == pamSafe || mode == pamTransparentEdge;
  const TColor32 outer = mode == pamTransparentEdge ? 0 : outer_color_;
  if (bitmap_ == nullptr) return outer;
  const TRect& c = clip_rect_;
  std::int32_t cx = 0;
  std::int32_t cy = 0;
  if (!CeilToInt(x, cx) || !CeilToInt(y, cy)) return outer;
  if (ranged ? (cx < c.Left || cx > c.Right || cy < c.Top || cy > c.Bottom) : IsRectEmpty(c)) return outer;

  const int kw = radius_;
  const int taps = 2 * kw + 1;
  std::int32_t wx[kMaxKernelTaps];
  std::int32_t wy[kMaxKernelTaps];
  std::copy_n(WeightsFor(static_cast<float>(static_cast<long double>(cx) - x)), taps, wx);
  std::copy_n(WeightsFor(static_cast<float>(static_cast<long double>(cy) - y)), taps, wy);

  const TWrapMode wrap = bitmap_->WrapMode();
  const TColor32* bits = bitmap_->Bits();
  const std::int64_t stride = bitmap_->Width();
  auto fold = [&](std::int32_t v, std::int32_t lo, std::int32_t hi) {
    return mode == pamWrap ? WrapCoordinate(wrap, v, lo, hi) : WrapClamp(v, lo, hi);
  };

  TKernelSums sums;
  for (int i = 0; i < taps; ++i) {
    if (wy[i] == 0) continue;
    std::int32_t row = cy + i - kw;
    bool row_inside = row >= c.Top && row < c.Bottom;
    if (!ranged) {
      row = fold(row, c.Top, c.Bottom - 1);
      row_inside = true;
    }
    TKernelSums h;
    for (int j = 0; j < taps; ++j) {
      std::int32_t col = cx + j - kw;
      bool inside = row_inside && col >= c.Left && col < c.Right;
      if (!ranged) {
        col = fold(col, c.Left, c.Right - 1);
        inside = true;
      }
      h.Add(inside ? bits[row * stride + col] : outer, wx[j]);
    }
    sums.AddScaled(h, wy[i]);
  }
  return sums.Pack(kernel_->RangeCheck());
}

}  // namespace vesk::raster
