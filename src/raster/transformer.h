#pragma once
// Transformers: nested samplers that map each requested target position back
// into source coordinates through a transformation (not owned) and sample the
// nested sampler there. TTransformer hands fixed and float positions on as
// they are; TNearestTransformer rounds them to whole pixels first.
#include <memory>

#include "raster/nested_sampler.h"
#include "raster/row_sampler.h"
#include "raster/transformation.h"

namespace vesk::raster {

class TNearestResampler;

class TTransformer : public TNestedSampler, public TIntRowSampler {
 public:
  // Sets the transformation first, then the sampler.
  TTransformer(TCustomSampler* sampler, TTransformation* transformation);

  [[nodiscard]] std::string_view ClassName() const override { return "TTransformer"; }

  [[nodiscard]] TTransformation* Transformation() const noexcept { return transformation_; }
  void SetTransformation(TTransformation* value) noexcept { transformation_ = value; }

  // (u, v) := ReverseTransformFixed(x * 65536, y * 65536); nested
  // GetSampleFixed(u, v).
  [[nodiscard]] TColor32 GetSampleInt(std::int32_t x, std::int32_t y) override;
  // (u, v) := ReverseTransformFixed(x, y); nested GetSampleFixed(u, v).
  [[nodiscard]] TColor32 GetSampleFixed(TFixed x, TFixed y) override;
  // (u, v) := ReverseTransformFloat(x, y); nested GetSampleFloat(u, v).
  [[nodiscard]] TColor32 GetSampleFloat(float x, float y) override;

  // The nested sampler's preparation, then PrepareTransform unless the
  // transformation is valid.
  void PrepareSampling() override;
  // Both the transformation's and the nested sampler's.
  [[nodiscard]] bool HasBounds() const override;
  // The transformed bounds of the nested sampler's bounds.
  [[nodiscard]] TRect GetSampleBounds() const override;

  // Runs through an affine transformation into a nested sampler that offers
  // fixed runs; false otherwise.
  bool SampleRowInt(std::int32_t x, std::int32_t y, std::int32_t count, TColor32* out) override;
  [[nodiscard]] const TBitmap32* SampledBitmap() const override;
  void RestartRun() override;

 protected:
  // The transformation; raises ENestedException while none is set.
  [[nodiscard]] TTransformation& Mapping() const;
  // The fixed position of target pixel (x, y) and the step to (x + 1, y),
  // when the transformation is exactly a TAffineTransformation and x .. x +
  // count - 1 and y stay within the 16-bit range the integer forms allow.
  [[nodiscard]] bool RowStart(std::int32_t x, std::int32_t y, std::int32_t count, TFixedPoint& start,
                              TFixedPoint& step) const;
  [[nodiscard]] const TBitmap32* NestedBitmap() const;

  // What the run forms need to know about the nested sampler and the
  // transformation, looked up once per pair rather than per row.
  struct TRunTargets {
    const TCustomSampler* sampler = nullptr;
    const TTransformation* transformation = nullptr;
    TFixedRowSampler* rows = nullptr;      // the nested sampler's fixed runs
    TNearestResampler* nearest = nullptr;  // the nested sampler, when exactly a TNearestResampler
    bool affine = false;                   // the transformation is exactly a TAffineTransformation
  };
  [[nodiscard]] const TRunTargets& RunTargets() const;

 private:
  TTransformation* transformation_ = nullptr;
  mutable TRunTargets run_targets_;
};

class TNearestTransformer : public TTransformer {
 public:
  using TTransformer::TTransformer;

  [[nodiscard]] std::string_view ClassName() const override { return "TNearestTransformer"; }

  // (u, v) := ReverseTransformInt(x, y); nested GetSampleInt(u, v).
  [[nodiscard]] TColor32 GetSampleInt(std::int32_t x, std::int32_t y) override;
  // (u, v) := ReverseTransformFixed(x, y); nested GetSampleInt of the upper
  // 16 bits of u and of v, taken as unsigned numbers.
  [[nodiscard]] TColor32 GetSampleFixed(TFixed x, TFixed y) override;
  // (u, v) := ReverseTransformFloat(x, y); nested GetSampleInt(Round(u),
  // Round(v)), halves to even.
  [[nodiscard]] TColor32 GetSampleFloat(float x, float y) override;

  // Runs through an affine transformation into a TNearestResampler.
  bool SampleRowInt(std::int32_t x, std::int32_t y, std::int32_t count, TColor32* out) override;
  // A whole-pixel row that lies inside the clip rectangle of a
  // TNearestResampler in pamSafe is the source row itself.
  [[nodiscard]] const TColor32* PeekRowInt(std::int32_t x, std::int32_t y, std::int32_t count) override;
};

// A transformer class: makes a transformer of that class for a sampler and
// a transformation.
template <class T>
std::unique_ptr<TTransformer> MakeTransformer(TCustomSampler* sampler, TTransformation* transformation) {
  return std::make_unique<T>(sampler, transformation);
}

}  // namespace vesk::raster
