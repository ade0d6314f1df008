#include "raster/rasterizer.h"

#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "base/scope_exit.h"
#include "raster/merge.h"
#include "raster/row_sampler.h"

namespace vesk::raster {

TRasterizerClass DefaultRasterizerClass = &MakeRasterizer<TRegularRasterizer>;

namespace {

// The number of leading samples with alpha 0.
std::int32_t TransparentPrefix(const TColor32* samples, std::int32_t count) noexcept {
  std::int32_t i = 0;
#if defined(__SSE2__)
  const __m128i alpha = _mm_set1_epi32(static_cast<int>(0xFF000000u));
  for (; i + 16 <= count; i += 16) {
    const auto* p = reinterpret_cast<const __m128i*>(samples + i);
    const __m128i any = _mm_or_si128(_mm_or_si128(_mm_loadu_si128(p), _mm_loadu_si128(p + 1)),
                                     _mm_or_si128(_mm_loadu_si128(p + 2), _mm_loadu_si128(p + 3)));
    if (_mm_movemask_epi8(_mm_cmpeq_epi32(_mm_and_si128(any, alpha), _mm_setzero_si128())) != 0xFFFF) break;
  }
#endif
  while (i < count && (samples[i] >> 24) == 0) ++i;
  return i;
}

// The number of leading samples with non-zero alpha.
std::int32_t VisiblePrefix(const TColor32* samples, std::int32_t count) noexcept {
  std::int32_t i = 0;
#if defined(__SSE2__)
  const __m128i alpha = _mm_set1_epi32(static_cast<int>(0xFF000000u));
  for (; i + 4 <= count; i += 4) {
    const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(samples + i));
    if (_mm_movemask_epi8(_mm_cmpeq_epi32(_mm_and_si128(s, alpha), _mm_setzero_si128())) != 0) break;
  }
#endif
  while (i < count && (samples[i] >> 24) != 0) ++i;
  return i;
}

}  // namespace

void TRasterizer::SetSampler(TCustomSampler* value) {
  if (sampler_ == value) return;
  sampler_ = value;
  Changed();
}

void TRasterizer::Rasterize(TBitmap32& target, const TRect& r, const TBitmap32& source) {
  src_alpha_ = source.MasterAlpha();
  mode_ = source.DrawMode();
  combine_ = source.CombineMode() == cmMerge ? cmMerge : cmBlend;
  blend_ = PixelRoutines().PixelExInPlace[Column(combine_)];
  callback_ = source.OnPixelCombine;
  transparent_color_ = source.OuterColor();
  if (mode_ == dmCustom && !callback_) mode_ = dmOpaque;
  Rasterize(target, r);
}

void TRasterizer::Rasterize(TBitmap32& target, const TRect& r) {
  if (sampler_ == nullptr) return;
  TCustomSampler& sampler = *sampler_;
  const std::int32_t update_count = target.UpdateCount();
  sampler.PrepareSampling();
  const TScopeExit restore([&] {
    while (target.UpdateCount() > update_count) target.EndUpdate();
    sampler.FinalizeSampling();
  });
  TRect w = IntersectRect(r, target.BoundsRect());
  if (sampler.HasBounds()) w = IntersectRect(w, sampler.GetSampleBounds());
  DoRasterize(target, w);
}

void TRasterizer::AssignColor(TColor32& pixel, TColor32 sample) {
  switch (mode_) {
    case dmBlend:
      blend_(sample, pixel, src_alpha_);
      break;
    case dmTransparent:
      if (sample != transparent_color_) pixel = sample;
      break;
    case dmCustom:
      callback_(sample, pixel, src_alpha_);
      break;
    case dmOpaque:
    default:
      pixel = sample;
      break;
  }
}

void TRasterizer::AssignRow(TColor32* pixels, const TColor32* samples, std::int32_t count) {
  switch (mode_) {
    case dmBlend: {
      if (combine_ == cmMerge) {
        // A transparent sample leaves its pixel as it is in the merge row
        // too (its scaled alpha stays 0), and the row skips such samples
        // itself.
        MergeRowEx(samples, pixels, count, src_alpha_);
        break;
      }
      // [i, end) is the next run of samples with non-zero alpha.
      std::int32_t i = 0;
      while (i < count) {
        i += TransparentPrefix(samples + i, count - i);
        const std::int32_t end = i + VisiblePrefix(samples + i, count - i);
        for (std::int32_t k = i; k < end; ++k) blend_(samples[k], pixels[k], src_alpha_);
        i = end;
      }
      break;
    }
    case dmTransparent:
      for (std::int32_t i = 0; i < count; ++i) {
        if (samples[i] != transparent_color_) pixels[i] = samples[i];
      }
      break;
    case dmCustom:
      for (std::int32_t i = 0; i < count; ++i) callback_(samples[i], pixels[i], src_alpha_);
      break;
    case dmOpaque:
    default:
      for (std::int32_t i = 0; i < count; ++i) pixels[i] = samples[i];
      break;
  }
}

void TRegularRasterizer::DoRasterize(TBitmap32& target, const TRect& w) {
  TCustomSampler& sampler = *Sampler();
  const std::int32_t width = RectWidth(w);
  // Whole rows at once when the sampler offers runs, the samples do not read
  // the target, and no callback runs between samples.
  auto* rows = dynamic_cast<TIntRowSampler*>(&sampler);
  if (rows != nullptr && (rows->SampledBitmap() == &target || AssignMode() == dmCustom)) rows = nullptr;
  std::vector<TColor32> samples;
  if (rows != nullptr && width > 0) samples.resize(static_cast<std::size_t>(width));
  const TColor32* const bits = target.Bits();
  const std::int32_t target_width = target.Width();
  const std::int32_t target_height = target.Height();

  std::int32_t counter = 0;
  for (std::int32_t y = w.Top; y < w.Bottom; ++y) {
    if (width > 0) {
      TColor32* p = target.PixelPtr(w.Left, y);
      const TColor32* direct = rows != nullptr ? rows->PeekRowInt(w.Left, y, width) : nullptr;
      if (direct != nullptr) {
        AssignRow(p, direct, width);
      } else if (rows != nullptr && rows->SampleRowInt(w.Left, y, width, samples.data())) {
        AssignRow(p, samples.data(), width);
      } else {
        for (std::int32_t x = w.Left; x < w.Right; ++x, ++p) AssignColor(*p, sampler.GetSampleInt(x, y));
      }
    }
    if (++counter == update_row_count_) {
      target.Changed(TRect{w.Left, y + 1 - counter, w.Right, y + 1}, kAreaInfoRect);
      counter = 0;
      if (rows != nullptr) rows->RestartRun();
      // A change handler that resized the target took the rows away.
      if (target.Bits() != bits || target.Width() != target_width || target.Height() != target_height) break;
    }
  }
  target.Changed(TRect{w.Left, w.Bottom - counter, w.Right, w.Bottom}, kAreaInfoRect);
}

}  // namespace vesk::raster
