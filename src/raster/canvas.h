#pragma once
// A minimal canvas: the device-context handle and surface of a bitmap, and a
// change event. Drawing through it is done with the surface's operations (or
// with GDI on the handle), after which the user calls Changed.
#include "raster/notifiable_persistent.h"

namespace vesk::platform {
class Surface;
}

namespace vesk::raster {

class TCanvas : public TPersistent {
 public:
  [[nodiscard]] void* Handle() const noexcept { return handle_; }
  [[nodiscard]] platform::Surface* Surface() const noexcept { return surface_; }
  void Bind(platform::Surface* surface, void* handle) noexcept {
    surface_ = surface;
    handle_ = handle;
  }

  void Changed() {
    if (OnChange) OnChange(this);
  }

  TNotifyEvent OnChange;

 private:
  platform::Surface* surface_ = nullptr;
  void* handle_ = nullptr;
};

}  // namespace vesk::raster
