#pragma once
// TKernelResampler: the colour at a fractional source position as a
// convolution of the surrounding pixels with a filter kernel, in 8-bit
// integer weights (kernel_weights.h). The clock's hands use it with a
// Lanczos kernel so that they turn smoothly.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "raster/bitmap32_resampler.h"
#include "raster/kernel_weights.h"
#include "raster/kernels.h"
#include "raster/row_sampler.h"

namespace vesk::raster {

// kmDynamic evaluates the kernel per sample; the table modes read
// precomputed weight rows (the nearest row, or two rows interpolated).
enum class TKernelMode : std::uint8_t { kmDynamic = 0, kmTableNearest = 1, kmTableLinear = 2 };
using enum TKernelMode;

class TKernelResampler : public TBitmap32Resampler, public TFixedRowSampler {
 public:
  // A box kernel, kmDynamic, TableSize 32.
  TKernelResampler();
  ~TKernelResampler() override;
  // Makes a kernel resampler for the bitmap and installs it as its Resampler
  // (the bitmap frees its previous one).
  static TKernelResampler* Create(TBitmap32& bitmap) { return CreateFor<TKernelResampler>(bitmap); }

  [[nodiscard]] std::string_view ClassName() const override { return "TKernelResampler"; }
  // The kernel's width.
  [[nodiscard]] float GetWidth() const override { return kernel_->GetWidth(); }

  // ---- settings -------------------------------------------------------------
  [[nodiscard]] TCustomKernel& Kernel() const noexcept { return *kernel_; }
  // Takes ownership. nullptr and the current kernel are ignored; otherwise the
  // old kernel is freed, the new one stored, then Changed.
  void SetKernel(std::unique_ptr<TCustomKernel> value);
  [[nodiscard]] std::string KernelClassName() const { return std::string(kernel_->ClassName()); }
  // An empty name, the current class's name or an unregistered name changes
  // nothing; otherwise a new kernel of that class replaces the current one.
  void SetKernelClassName(std::string_view value);
  [[nodiscard]] TKernelMode KernelMode() const noexcept { return kernel_mode_; }
  // Stores a different value and calls Changed.
  void SetKernelMode(TKernelMode value);
  [[nodiscard]] std::int32_t TableSize() const noexcept { return table_size_; }
  // Values below 2 are raised to 2; a different value is stored and Changed
  // is called.
  void SetTableSize(std::int32_t value);
  // The bitmap's OuterColor as copied by PrepareSampling.
  [[nodiscard]] TColor32 OuterColor() const noexcept { return outer_color_; }
  // The weight rows of the table modes (TableSize + 1 rows of 2 KW + 1
  // weights); empty outside a sampling run and in kmDynamic.
  [[nodiscard]] const std::vector<std::int32_t>& WeightTable() const noexcept { return weight_table_; }
  // Kernel settings, KernelMode and TableSize of another kernel resampler
  // (PixelAccessMode through the base).
  void Assign(const TCustomSampler& source) override;

  // ---- sampling ---------------------------------------------------------------
  // Copies the clip rectangle and OuterColor and binds the kernel's weights;
  // the table modes build WeightTable.
  void PrepareSampling() override;
  // Frees WeightTable and the run's working copy of the pixels.
  void FinalizeSampling() override;
  // The convolution at (x, y); see kernel_resampler.cpp.
  [[nodiscard]] TColor32 GetSampleFloat(float x, float y) override;

  // Run form of GetSampleFixed for pamSafe and pamTransparentEdge in
  // kmDynamic (false otherwise).
  bool SampleRowFixed(TFixed u, TFixed v, TFixed du, TFixed dv, std::int32_t count, TColor32* out) override;
  [[nodiscard]] const TBitmap32* SampledBitmap() const override { return bitmap_; }
  // Drops the run's working copy of the pixels.
  void RestartRun() override;

  // Number of weights recomputed exactly near a rounding boundary (kept for
  // the benchmark).

 private:
  [[nodiscard]] const std::int32_t* WeightsFor(float f);
  void BuildWeightTable();
  // Copies the clip rectangle into padded_ with a frame of outer pixels.
  void BuildPaddedCopy(TColor32 outer);

  std::unique_ptr<TCustomKernel> kernel_;
  TKernelMode kernel_mode_ = kmDynamic;
  std::vector<std::int32_t> weight_table_;
  std::int32_t table_size_ = 32;
  TColor32 outer_color_ = 0;

  // Per run: the radius, the weight source, and a working row for the
  // interpolated table mode.
  int radius_ = 0;
  TKernelWeights weights_;
  std::int32_t mixed_row_[kMaxKernelTaps] = {};
  // The clip rectangle's pixels framed by outer pixels, made on the first
  // run request of a sampling run: every tap of every in-range sample lies
  // inside it, so runs read it without edge tests.
  std::vector<TColor32> padded_;
  std::int32_t padded_stride_ = 0;
  bool padded_ready_ = false;
  // Runs give GetSampleFixed's colours only while no subclass changed the
  // sample operations; decided at preparation.
  bool runs_allowed_ = false;
};

}  // namespace vesk::raster
