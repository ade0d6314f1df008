#include "raster/resampler_registry.h"

#include <vector>

#include "raster/kernel_resampler.h"
#include "raster/nearest_resampler.h"

namespace vesk::raster {

namespace {

template <class R>
TBitmap32Resampler* Make(TBitmap32& bitmap) {
  return R::Create(bitmap);
}

std::vector<TResamplerClass>& Registry() {
  // The classes known to the raster engine, in their fixed order.
  static std::vector<TResamplerClass> list{
      {"TNearestResampler", &Make<TNearestResampler>},
      {"TKernelResampler", &Make<TKernelResampler>},
  };
  return list;
}

}  // namespace

std::span<const TResamplerClass> ResamplerClassList() { return Registry(); }

const TResamplerClass* FindResamplerClass(std::string_view name) {
  for (const TResamplerClass& c : Registry()) {
    if (c.Name == name) return &c;
  }
  return nullptr;
}

void RegisterResamplerClass(std::string_view name, TResamplerFactory create) {
  Registry().push_back(TResamplerClass{name, create});
}

}  // namespace vesk::raster
