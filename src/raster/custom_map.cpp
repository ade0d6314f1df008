#include "raster/custom_map.h"

#include <algorithm>

namespace vesk::raster {

bool TCustomMap::SetSize(std::int32_t new_width, std::int32_t new_height) {
  new_width = std::max(new_width, 0);
  new_height = std::max(new_height, 0);
  if (new_width == width_ && new_height == height_) return false;
  ChangeSize(new_width, new_height);
  Changed();
  Resized();
  return true;
}

void TCustomMap::Delete() { SetSize(0, 0); }

bool TCustomMap::Empty() const { return width_ == 0 || height_ == 0; }

void TCustomMap::ChangeSize(std::int32_t new_width, std::int32_t new_height) {
  width_ = new_width;
  height_ = new_height;
}

void TCustomMap::Resized() {
  if (OnResize) OnResize(this);
}

}  // namespace vesk::raster
