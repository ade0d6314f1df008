#pragma once
// A two-dimensional map with a size: the base of the bitmap.
#include <cstdint>

#include "raster/notifiable_persistent.h"

namespace vesk::raster {

class TCustomMap : public TThreadPersistent {
 public:
  [[nodiscard]] std::int32_t Width() const noexcept { return width_; }
  [[nodiscard]] std::int32_t Height() const noexcept { return height_; }
  void SetWidth(std::int32_t value) { SetSize(value, height_); }
  void SetHeight(std::int32_t value) { SetSize(width_, value); }

  // Negative dimensions count as 0. Returns false, changing and reporting
  // nothing, when the size stays the same; otherwise ChangeSize, Changed,
  // Resized, and true.
  virtual bool SetSize(std::int32_t new_width, std::int32_t new_height);
  // SetSize(0, 0).
  virtual void Delete();
  [[nodiscard]] virtual bool Empty() const;

  // Fired by Resized whatever the update count.
  TNotifyEvent OnResize;

 protected:
  // Stores the new size; the bitmap reallocates its pixels here.
  virtual void ChangeSize(std::int32_t new_width, std::int32_t new_height);
  virtual void Resized();

  std::int32_t width_ = 0;
  std::int32_t height_ = 0;
};

}  // namespace vesk::raster
