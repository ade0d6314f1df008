#include "raster/paint_box32.h"

#include <algorithm>

namespace vesk::raster {

void TCustomPaintBox32::SetBounds(std::int32_t left, std::int32_t top, std::int32_t width,
                                  std::int32_t height) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  left_ = left;
  top_ = top;
  if (width == width_ && height == height_) return;
  width_ = width;
  height_ = height;
  Resize();
}

void TCustomPaintBox32::SetColor(TGdiColor value) {
  if (value == color_) return;
  color_ = value;
  Invalidate();
}

void TCustomPaintBox32::SetRepaintMode(TRepaintMode value) {
  repaint_mode_ = value;
  Invalidate();
}

void TCustomPaintBox32::Invalidate() { buffer_valid_ = false; }

void TCustomPaintBox32::Resize() { Invalidate(); }

}  // namespace vesk::raster
