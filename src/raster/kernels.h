#pragma once
// Filter kernels of the kernel resampler: a kernel gives the weight of a
// source pixel at a signed distance x from the sample point. Filter and
// GetWidth are single precision throughout; the resampler turns Filter into
// 8-bit integer weights (kernel_weights.h).
#include <memory>
#include <span>
#include <string_view>

#include "raster/notifiable_persistent.h"

namespace vesk::raster {

class TCustomKernel : public TPersistent {
 public:
  TCustomKernel() = default;

  // The registered class name ("TBoxKernel", ...).
  [[nodiscard]] virtual std::string_view ClassName() const = 0;
  // Takes over the settings of a kernel of the same class; others are ignored.
  virtual void Assign(const TCustomKernel& source) { static_cast<void>(source); }
  // Whether sums of the weighted channels are clamped to 0..255 (true for
  // kernels with negative lobes) instead of being cut to their low 8 bits.
  [[nodiscard]] virtual bool RangeCheck() const { return false; }
  // The weight at distance x.
  [[nodiscard]] virtual float Filter(float x) const = 0;
  // The radius beyond which Filter is 0.
  [[nodiscard]] virtual float GetWidth() const = 0;
  // A new kernel of the same class with the same settings.
  [[nodiscard]] virtual std::unique_ptr<TCustomKernel> Clone() const = 0;

  // Told of every change of a setting (nobody listens by default).
  TNotifiablePersistent* Observer = nullptr;

 protected:
  void Changed() {
    if (Observer != nullptr) Observer->Changed();
  }
};

// 1 for -0.5 <= x <= 0.5, else 0; width 1.
class TBoxKernel : public TCustomKernel {
 public:
  [[nodiscard]] std::string_view ClassName() const override { return "TBoxKernel"; }
  [[nodiscard]] float Filter(float x) const override;
  [[nodiscard]] float GetWidth() const override { return 1.0f; }
  [[nodiscard]] std::unique_ptr<TCustomKernel> Clone() const override;
};

// sin(pi x)/(pi x) as singles: 1 for x = 0 exactly; otherwise a := single(pi
// * x) (pi in extended precision) and the result is single(sin a / a), the
// sine and the quotient in extended precision.
[[nodiscard]] float SinC(float x) noexcept;

// SinC(x) times a window, zero from Width on. Width is at most 4.
class TWindowedSincKernel : public TCustomKernel {
 public:
  [[nodiscard]] bool RangeCheck() const override { return true; }
  // x := single(|x|); 0 when x >= Width, else single(SinC(x) * Window(x)).
  [[nodiscard]] float Filter(float x) const override;
  [[nodiscard]] float GetWidth() const override { return width_; }
  void Assign(const TCustomKernel& source) override;

  [[nodiscard]] float Width() const noexcept { return width_; }
  // Stores min(value, 4) when that differs from the current width, and then
  // tells the observer.
  void SetWidth(float value);

  // The window at distance x >= 0.
  [[nodiscard]] virtual float Window(float x) const = 0;

 private:
  float width_ = 3.0f;
};

// The Lanczos window: SinC(single(x / Width)). With Width 3 the filter is
// sinc(x) * sinc(x / 3) for |x| < 3.
class TLanczosKernel : public TWindowedSincKernel {
 public:
  [[nodiscard]] std::string_view ClassName() const override { return "TLanczosKernel"; }
  [[nodiscard]] float Window(float x) const override;
  [[nodiscard]] std::unique_ptr<TCustomKernel> Clone() const override;
};

// ---- kernel classes by name ----------------------------------------------

using TKernelFactory = std::unique_ptr<TCustomKernel> (*)();

struct TKernelClass {
  std::string_view Name;
  TKernelFactory Create;
};

// Every registered kernel class, first registered first.
[[nodiscard]] std::span<const TKernelClass> KernelClassList();
// The first class whose name equals name exactly (case-sensitive), or nullptr.
[[nodiscard]] const TKernelClass* FindKernelClass(std::string_view name);
// Appends a class; for start-up only. The name must outlive the program.
void RegisterKernelClass(std::string_view name, TKernelFactory create);

}  // namespace vesk::raster
