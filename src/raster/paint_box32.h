#pragma once
// TCustomPaintBox32: the base of the image control. The raster engine keeps
// it as a plain object, not a window: it has a position, a size, a colour and
// a repaint mode, and "invalidating" it marks its painted state stale. A
// window shell that shows the control on screen paints it when BufferValid is
// false.
#include <cstdint>

#include "raster/color32.h"
#include "raster/notifiable_persistent.h"

namespace vesk::raster {

enum class TRepaintMode : std::uint8_t { rmFull = 0, rmDirect = 1, rmOptimizer = 2 };
using enum TRepaintMode;

// The system colour of a button face: the default colour of a control.
inline constexpr TGdiColor kClBtnFace = static_cast<TGdiColor>(0x8000000Fu);

class TCustomPaintBox32 : public TPersistent {
 public:
  // 192 x 192 at (0, 0), visible, button-face colour, rmFull.
  TCustomPaintBox32() = default;

  [[nodiscard]] std::int32_t Left() const noexcept { return left_; }
  [[nodiscard]] std::int32_t Top() const noexcept { return top_; }
  [[nodiscard]] std::int32_t Width() const noexcept { return width_; }
  [[nodiscard]] std::int32_t Height() const noexcept { return height_; }
  // A new size (negative values count as 0) calls Resize.
  void SetBounds(std::int32_t left, std::int32_t top, std::int32_t width, std::int32_t height);

  [[nodiscard]] bool Visible() const noexcept { return visible_; }
  void SetVisible(bool value) noexcept { visible_ = value; }

  [[nodiscard]] TGdiColor Color() const noexcept { return color_; }
  // Stores a different value and invalidates.
  void SetColor(TGdiColor value);

  [[nodiscard]] TRepaintMode RepaintMode() const noexcept { return repaint_mode_; }
  // Stores the mode and invalidates, always.
  virtual void SetRepaintMode(TRepaintMode value);

  // Marks the painted state stale (the window, if any, repaints).
  virtual void Invalidate();
  [[nodiscard]] bool BufferValid() const noexcept { return buffer_valid_; }

 protected:
  // The size changed; invalidates.
  virtual void Resize();

 private:
  std::int32_t left_ = 0;
  std::int32_t top_ = 0;
  std::int32_t width_ = 192;
  std::int32_t height_ = 192;
  bool visible_ = true;
  TGdiColor color_ = kClBtnFace;
  TRepaintMode repaint_mode_ = rmFull;
  bool buffer_valid_ = false;
};

}  // namespace vesk::raster
