#include "raster/nested_sampler.h"

namespace vesk::raster {

TCustomSampler& TNestedSampler::Nested() const {
  if (sampler_ == nullptr) throw ENestedException("Nested sampler is nil");
  return *sampler_;
}

TColor32 TNestedSampler::GetSampleInt(std::int32_t x, std::int32_t y) { return Nested().GetSampleInt(x, y); }

TColor32 TNestedSampler::GetSampleFixed(TFixed x, TFixed y) { return Nested().GetSampleFixed(x, y); }

TColor32 TNestedSampler::GetSampleFloat(float x, float y) { return Nested().GetSampleFloat(x, y); }

void TNestedSampler::PrepareSampling() { Nested().PrepareSampling(); }

void TNestedSampler::FinalizeSampling() { Nested().FinalizeSampling(); }

bool TNestedSampler::HasBounds() const { return Nested().HasBounds(); }

TRect TNestedSampler::GetSampleBounds() const { return Nested().GetSampleBounds(); }

}  // namespace vesk::raster
