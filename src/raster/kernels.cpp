#include "raster/kernels.h"

#include <cmath>
#include <vector>

namespace vesk::raster {

namespace {

// pi rounded to the 64-bit mantissa of the extended type.
constexpr long double kPiExtended = 3.14159265358979323846264338327950288L;

template <class K>
std::unique_ptr<TCustomKernel> Make() {
  return std::make_unique<K>();
}

std::vector<TKernelClass>& Registry() {
  static std::vector<TKernelClass> list{
      {"TBoxKernel", &Make<TBoxKernel>},
      {"TLanczosKernel", &Make<TLanczosKernel>},
  };
  return list;
}

}  // namespace

float TBoxKernel::Filter(float x) const { return (x >= -0.5f && x <= 0.5f) ? 1.0f : 0.0f; }

std::unique_ptr<TCustomKernel> TBoxKernel::Clone() const { return std::make_unique<TBoxKernel>(); }

float SinC(float x) noexcept {
  if (x == 0.0f) return 1.0f;
  const long double a = static_cast<float>(kPiExtended * static_cast<long double>(x));
  return static_cast<float>(std::sin(a) / a);
}

float TWindowedSincKernel::Filter(float x) const {
  const float ax = std::fabs(x);
  if (ax >= width_) return 0.0f;
  return static_cast<float>(static_cast<long double>(SinC(ax)) * static_cast<long double>(Window(ax)));
}

void TWindowedSincKernel::SetWidth(float value) {
  // The smaller of value and 4; a value that does not compare below 4 (NaN
  // included) gives 4.
  const float w = value < 4.0f ? value : 4.0f;
  if (w == width_) return;
  width_ = w;
  Changed();
}

void TWindowedSincKernel::Assign(const TCustomKernel& source) {
  if (const auto* other = dynamic_cast<const TWindowedSincKernel*>(&source)) SetWidth(other->Width());
}

float TLanczosKernel::Window(float x) const {
  return SinC(static_cast<float>(static_cast<long double>(x) / static_cast<long double>(Width())));
}

std::unique_ptr<TCustomKernel> TLanczosKernel::Clone() const {
  auto k = std::make_unique<TLanczosKernel>();
  k->Assign(*this);
  return k;
}

std::span<const TKernelClass> KernelClassList() { return Registry(); }

const TKernelClass* FindKernelClass(std::string_view name) {
  for (const TKernelClass& c : Registry()) {
    if (c.Name == name) return &c;
  }
  return nullptr;
}

void RegisterKernelClass(std::string_view name, TKernelFactory create) {
  Registry().push_back(TKernelClass{name, create});
}

}  // namespace vesk::raster
