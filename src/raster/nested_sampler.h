#pragma once
// TNestedSampler: a sampler that passes its requests on to another sampler
// (not owned), possibly after changing them; the transformers build on it.
#include "raster/custom_sampler.h"
#include "base/errors.h"

namespace vesk::raster {

class ENestedException : public Exception {
 public:
  using Exception::Exception;
};

class TNestedSampler : public TCustomSampler {
 public:
  TNestedSampler() = default;
  explicit TNestedSampler(TCustomSampler* sampler) { SetSampler(sampler); }

  [[nodiscard]] std::string_view ClassName() const override { return "TNestedSampler"; }

  [[nodiscard]] TCustomSampler* Sampler() const noexcept { return sampler_; }
  void SetSampler(TCustomSampler* value) noexcept { sampler_ = value; }

  // The nested sampler's operations. Each raises ENestedException "Nested
  // sampler is nil" while no sampler is set.
  [[nodiscard]] TColor32 GetSampleInt(std::int32_t x, std::int32_t y) override;
  [[nodiscard]] TColor32 GetSampleFixed(TFixed x, TFixed y) override;
  [[nodiscard]] TColor32 GetSampleFloat(float x, float y) override;
  void PrepareSampling() override;
  void FinalizeSampling() override;
  [[nodiscard]] bool HasBounds() const override;
  [[nodiscard]] TRect GetSampleBounds() const override;

 protected:
  // The nested sampler; raises ENestedException when none is set.
  [[nodiscard]] TCustomSampler& Nested() const;

 private:
  TCustomSampler* sampler_ = nullptr;
};

}  // namespace vesk::raster
