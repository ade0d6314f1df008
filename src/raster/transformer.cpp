#include "raster/transformer.h"

#include <algorithm>
#include <cmath>
#include <typeinfo>

#include "raster/affine_transformation.h"
#include "raster/bitmap32_resampler.h"
#include "raster/nearest_resampler.h"

namespace vesk::raster {

namespace {

// Nearest integer, halves to even, saturated to the 32-bit range (NaN: 0).
std::int32_t RoundToInt(float v) noexcept { return RoundHalfEven(static_cast<long double>(v)); }

}  // namespace

TTransformer::TTransformer(TCustomSampler* sampler, TTransformation* transformation) {
  SetTransformation(transformation);
  SetSampler(sampler);
}

TTransformation& TTransformer::Mapping() const {
  if (transformation_ == nullptr) throw ENestedException("Transformation is nil");
  return *transformation_;
}

TColor32 TTransformer::GetSampleInt(std::int32_t x, std::int32_t y) {
  const TFixedPoint p = Mapping().ReverseTransformFixed(IntToFixed(x), IntToFixed(y));
  return Nested().GetSampleFixed(p.X, p.Y);
}

TColor32 TTransformer::GetSampleFixed(TFixed x, TFixed y) {
  const TFixedPoint p = Mapping().ReverseTransformFixed(x, y);
  return Nested().GetSampleFixed(p.X, p.Y);
}

TColor32 TTransformer::GetSampleFloat(float x, float y) {
  const TFloatPoint p = Mapping().ReverseTransformFloat(x, y);
  return Nested().GetSampleFloat(p.X, p.Y);
}

void TTransformer::PrepareSampling() {
  Nested().PrepareSampling();
  TTransformation& t = Mapping();
  if (!t.TransformValid()) t.PrepareTransform();
}

bool TTransformer::HasBounds() const { return Mapping().HasTransformedBounds() && Nested().HasBounds(); }

TRect TTransformer::GetSampleBounds() const {
  const TRect b = Nested().GetSampleBounds();
  return Mapping().GetTransformedBounds(TFloatRect{static_cast<float>(b.Left), static_cast<float>(b.Top),
                                                   static_cast<float>(b.Right), static_cast<float>(b.Bottom)});
}

// ---- runs ---------------------------------------------------------------------

// Through a TAffineTransformation the fixed reverse mapping of (x * 65536,
// y * 65536) is FixedMul(x * 65536, I00) + FixedMul(y * 65536, I10) + I20
// (and likewise for v) with 32-bit wrapping sums. For |x| <= 32767 the first
// product is exactly x * I00 cut to 32 bits, so one step in x adds I00 (and
// I01 to v) modulo 2^32, which is what the fixed runs do.
const TTransformer::TRunTargets& TTransformer::RunTargets() const {
  TRunTargets& t = run_targets_;
  if (t.sampler != Sampler() || t.transformation != transformation_) {
    t = TRunTargets{};
    t.sampler = Sampler();
    t.transformation = transformation_;
    t.rows = dynamic_cast<TFixedRowSampler*>(Sampler());
    auto* nearest = dynamic_cast<TNearestResampler*>(Sampler());
    if (nearest != nullptr && typeid(*nearest) == typeid(TNearestResampler)) t.nearest = nearest;
    t.affine = transformation_ != nullptr && typeid(*transformation_) == typeid(TAffineTransformation);
  }
  return t;
}

bool TTransformer::RowStart(std::int32_t x, std::int32_t y, std::int32_t count, TFixedPoint& start,
                            TFixedPoint& step) const {
  if (!RunTargets().affine) return false;
  constexpr std::int64_t kLimit = 32767;
  const std::int64_t last = std::int64_t{x} + count - 1;
  if (count <= 0 || x < -kLimit || last > kLimit || y < -kLimit || y > kLimit) return false;
  const auto& affine = static_cast<const TAffineTransformation&>(*transformation_);
  start = transformation_->ReverseTransformFixed(IntToFixed(x), IntToFixed(y));
  step = TFixedPoint{affine.InverseFixedMatrix()[0][0], affine.InverseFixedMatrix()[0][1]};
  return true;
}

const TBitmap32* TTransformer::NestedBitmap() const {
  if (const auto* r = dynamic_cast<const TBitmap32Resampler*>(Sampler())) return r->Bitmap();
  return nullptr;
}

bool TTransformer::SampleRowInt(std::int32_t x, std::int32_t y, std::int32_t count, TColor32* out) {
  TFixedRowSampler* rows = RunTargets().rows;
  TFixedPoint start;
  TFixedPoint step;
  if (rows == nullptr || !RowStart(x, y, count, start, step)) return false;
  return rows->SampleRowFixed(start.X, start.Y, step.X, step.Y, count, out);
}

const TBitmap32* TTransformer::SampledBitmap() const {
  if (const TFixedRowSampler* rows = RunTargets().rows) return rows->SampledBitmap();
  return NestedBitmap();
}

void TTransformer::RestartRun() {
  if (TFixedRowSampler* rows = RunTargets().rows) rows->RestartRun();
}

// ---- TNearestTransformer ----------------------------------------------------

TColor32 TNearestTransformer::GetSampleInt(std::int32_t x, std::int32_t y) {
  const TPoint p = Mapping().ReverseTransformInt(x, y);
  return Nested().GetSampleInt(p.X, p.Y);
}

TColor32 TNearestTransformer::GetSampleFixed(TFixed x, TFixed y) {
  const TFixedPoint p = Mapping().ReverseTransformFixed(x, y);
  return Nested().GetSampleInt(static_cast<std::int32_t>(static_cast<std::uint32_t>(p.X) >> 16),
                               static_cast<std::int32_t>(static_cast<std::uint32_t>(p.Y) >> 16));
}

TColor32 TNearestTransformer::GetSampleFloat(float x, float y) {
  const TFloatPoint p = Mapping().ReverseTransformFloat(x, y);
  return Nested().GetSampleInt(RoundToInt(p.X), RoundToInt(p.Y));
}

// Sample i is the nested GetSampleInt(FixedRound(u_i), FixedRound(v_i))
// (ReverseTransformInt of TAffineTransformation is the base's: the fixed
// mapping, then FixedRound). A TNearestResampler in pamSafe reads the pixel
// inside the bitmap's clip rectangle and OuterColor elsewhere; its other
// modes are asked pixel by pixel.
bool TNearestTransformer::SampleRowInt(std::int32_t x, std::int32_t y, std::int32_t count, TColor32* out) {
  TNearestResampler* nearest = RunTargets().nearest;
  if (nearest == nullptr || nearest->Bitmap() == nullptr) return false;
  TFixedPoint start;
  TFixedPoint step;
  if (!RowStart(x, y, count, start, step)) return false;
  auto u = static_cast<std::uint32_t>(start.X);
  auto v = static_cast<std::uint32_t>(start.Y);
  const auto du = static_cast<std::uint32_t>(step.X);
  const auto dv = static_cast<std::uint32_t>(step.Y);
  if (nearest->PixelAccessMode() != pamSafe) {
    for (std::int32_t i = 0; i < count; ++i, u += du, v += dv) {
      out[i] = nearest->GetSampleInt(FixedRound(static_cast<TFixed>(u)), FixedRound(static_cast<TFixed>(v)));
    }
    return true;
  }
  const TBitmap32& bitmap = *nearest->Bitmap();
  const TRect& c = bitmap.ClipRect();
  const TColor32 outer = bitmap.OuterColor();
  const TColor32* bits = bitmap.Bits();
  const std::ptrdiff_t stride = bitmap.Width();
  std::int32_t i = 0;
  // A whole-pixel step along the row: the in-clip part is one run of
  // consecutive pixels of one source row.
  const bool no_wrap = std::int64_t{static_cast<std::int32_t>(u)} + (std::int64_t{count} - 1) * FixedOne <= INT32_MAX;
  if (du == static_cast<std::uint32_t>(FixedOne) && dv == 0 && (u & 0xFFFFu) == 0 && (v & 0xFFFFu) == 0 && no_wrap) {
    const std::int32_t sx = FixedRound(static_cast<TFixed>(u));
    const std::int32_t sy = FixedRound(static_cast<TFixed>(v));
    if (sy < c.Top || sy >= c.Bottom) {
      for (; i < count; ++i) out[i] = outer;
      return true;
    }
    // Columns sx + i inside [Left, Right) for i in [first, last).
    const std::int64_t first = std::clamp<std::int64_t>(std::int64_t{c.Left} - sx, 0, count);
    const std::int64_t last = std::clamp<std::int64_t>(std::int64_t{c.Right} - sx, first, count);
    std::fill(out, out + first, outer);
    if (last > first) {
      const std::ptrdiff_t offset = sy * stride + sx + first;
      std::copy(bits + offset, bits + offset + (last - first), out + first);
    }
    std::fill(out + last, out + count, outer);
    return true;
  }
  for (; i < count; ++i, u += du, v += dv) {
    const std::int32_t sx = FixedRound(static_cast<TFixed>(u));
    const std::int32_t sy = FixedRound(static_cast<TFixed>(v));
    out[i] = (sx >= c.Left && sx < c.Right && sy >= c.Top && sy < c.Bottom) ? bits[sy * stride + sx] : outer;
  }
  return true;
}

const TColor32* TNearestTransformer::PeekRowInt(std::int32_t x, std::int32_t y, std::int32_t count) {
  TNearestResampler* nearest = RunTargets().nearest;
  if (nearest == nullptr || nearest->Bitmap() == nullptr || nearest->PixelAccessMode() != pamSafe) return nullptr;
  TFixedPoint start;
  TFixedPoint step;
  if (!RowStart(x, y, count, start, step)) return nullptr;
  if (step.X != FixedOne || step.Y != 0 || (start.X & 0xFFFF) != 0 || (start.Y & 0xFFFF) != 0) return nullptr;
  // FixedRound of a whole value is the value itself.
  const std::int64_t sx = start.X >> 16;
  const std::int64_t sy = start.Y >> 16;
  const TBitmap32& bitmap = *nearest->Bitmap();
  const TRect& c = bitmap.ClipRect();
  if (sy < c.Top || sy >= c.Bottom || sx < c.Left || sx + count > c.Right) return nullptr;
  return bitmap.PixelPtr(static_cast<std::int32_t>(sx), static_cast<std::int32_t>(sy));
}

}  // namespace vesk::raster
