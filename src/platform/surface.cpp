#include "platform/surface.h"

#include <atomic>

namespace vesk::platform {

namespace {
std::atomic<SurfaceFactory> g_factory{nullptr};
}  // namespace

bool SurfaceSizeValid(std::int32_t width, std::int32_t height) noexcept {
  if (width <= 0 || height <= 0) return false;
  const std::uint64_t bytes = static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height) * 4u;
  return bytes <= kMaxSurfaceBytes;
}

std::unique_ptr<Surface> CreateSurface(std::int32_t width, std::int32_t height) {
  if (!SurfaceSizeValid(width, height)) throw SurfaceError(kErrAllocateDib);
  const SurfaceFactory factory = g_factory.load();
  return factory != nullptr ? factory(width, height) : CreateNativeSurface(width, height);
}

SurfaceFactory SetSurfaceFactory(SurfaceFactory factory) noexcept { return g_factory.exchange(factory); }

}  // namespace vesk::platform
