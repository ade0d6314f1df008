#pragma once
// The resampler classes that can be chosen by class name, in registration
// order. Each entry makes a resampler of its class for a bitmap and installs
// it as that bitmap's Resampler.
#include <span>
#include <string_view>

namespace vesk::raster {

class TBitmap32;
class TBitmap32Resampler;

using TResamplerFactory = TBitmap32Resampler* (*)(TBitmap32& bitmap);

struct TResamplerClass {
  std::string_view Name;
  TResamplerFactory Create;
};

// Every registered class, first registered first.
[[nodiscard]] std::span<const TResamplerClass> ResamplerClassList();

// The first class whose name equals name exactly (case-sensitive), or nullptr.
[[nodiscard]] const TResamplerClass* FindResamplerClass(std::string_view name);

// Appends a class. For start-up only (before any bitmap looks a name up);
// the name must outlive the program (a string literal).
void RegisterResamplerClass(std::string_view name, TResamplerFactory create);

}  // namespace vesk::raster
