// TCustomImage32: PaintTo and the paint stages.
#include <algorithm>

#include "base/scope_exit.h"
#include "raster/image32.h"

namespace vesk::raster {

namespace {

// Inverts red, green and blue (alpha kept) of every second pixel of the
// one-pixel border of r, dotted in a checkerboard of the destination's
// coordinates, inside the destination's clip rectangle. Drawing the same
// frame twice restores the pixels.
void DrawFocusRect(TBitmap32& dest, const TRect& r) {
  if (dest.Empty() || IsRectEmpty(r)) return;
  const TRect clip = dest.ClipRect();
  auto dot = [&](std::int32_t x, std::int32_t y) {
    if (((x + y) & 1) != 0) return;
    if (x < clip.Left || x >= clip.Right || y < clip.Top || y >= clip.Bottom) return;
    dest.SetPixel(x, y, dest.Pixel(x, y) ^ 0x00FFFFFFu);
  };
  const std::int32_t last_x = r.Right - 1, last_y = r.Bottom - 1;
  for (std::int32_t x = r.Left; x <= last_x; ++x) {
    dot(x, r.Top);
    if (last_y > r.Top) dot(x, last_y);
  }
  for (std::int32_t y = r.Top + 1; y < last_y; ++y) {
    dot(r.Left, y);
    if (last_x > r.Left) dot(last_x, y);
  }
  dest.Changed(r, kAreaInfoRect);
}

}  // namespace

void TCustomImage32::PaintTo(TBitmap32& dest, const TRect& dest_rect) {
  const TRepaintMode saved_mode = RepaintMode();
  SetRepaintMode(rmFull);
  SetView(dest_rect);
  view_valid_ = true;
  painting_to_ = true;
  // The view and the repaint mode are restored also when a stage fails, so a
  // failed paint leaves neither a target's view nor a changed mode behind.
  const TScopeExit finish([&] {
    painting_to_ = false;
    view_valid_ = false;
    SetRepaintMode(saved_mode);
  });
  // Count is read on every round: a custom stage may change the list.
  for (std::int32_t i = 0; i < paint_stages_->Count(); ++i) {
    if (paint_stages_->Items(i).RunTime) ExecuteStage(dest, i);
  }
}

void TCustomImage32::ExecuteStage(TBitmap32& dest, std::int32_t index) {
  const TPaintStage stage = paint_stages_->Items(index);
  switch (stage.Stage) {
    case pstCustom:
      if (OnPaintStage) OnPaintStage(this, dest, static_cast<std::uint32_t>(index));
      break;
    case pstClearBuffer:
      ExecClearBuffer(dest);
      break;
    case pstClearBackground:
      ExecClearBackground(dest);
      break;
    case pstDrawBitmap:
      ExecDrawBitmap(dest);
      break;
    case pstDrawLayers:
      ExecDrawLayers(dest, stage.Parameter);
      break;
    case pstControlFrame:
      ExecControlFrame(dest);
      break;
    case pstBitmapFrame:
      ExecBitmapFrame(dest);
      break;
    default:
      break;
  }
}

void TCustomImage32::ExecClearBuffer(TBitmap32& dest) { dest.Clear(Color32(Color())); }

void TCustomImage32::ExecClearBackground(TBitmap32& dest) {
  const TColor32 fill = Color32(Color());
  if (bitmap_->Empty() || bitmap_->DrawMode() != dmOpaque) {
    dest.Clear(fill);
    return;
  }
  const TRect& r = view_bitmap_rect_;
  const std::int32_t w = Width(), h = Height();
  if (r.Left <= 0 && r.Right >= w && r.Top <= 0 && (r.Bottom >= h || bitmap_align_ == baTile)) {
    return;
  }
  dest.FillRectS(0, 0, w, r.Top, fill);
  dest.FillRectS(0, r.Bottom, w, h, fill);
  dest.FillRectS(0, r.Top, r.Left, r.Bottom, fill);
  dest.FillRectS(r.Right, r.Top, w, r.Bottom, fill);
}

void TCustomImage32::ExecDrawBitmap(TBitmap32& dest) {
  const TRect r = view_bitmap_rect_;
  if (bitmap_->Empty() || IsRectEmpty(r)) return;
  TLockScope lock(*bitmap_);
  if (bitmap_align_ != baTile) {
    bitmap_->DrawTo(dest, r);
    return;
  }
  // Tiles repeat to the right and downwards at multiples of the rectangle's
  // right and bottom edges. A rectangle ending at or left of (above) 0 has
  // all its tiles outside the destination: nothing to draw.
  if (r.Right <= 0 || r.Bottom <= 0) return;
  const std::int32_t rows = dest.Height() / r.Bottom, cols = dest.Width() / r.Right;
  for (std::int32_t j = 0; j <= rows; ++j) {
    for (std::int32_t i = 0; i <= cols; ++i) {
      const std::int32_t dx = i * r.Right, dy = j * r.Bottom;
      bitmap_->DrawTo(dest, TRect{r.Left + dx, r.Top + dy, r.Right + dx, r.Bottom + dy});
    }
  }
}

void TCustomImage32::ExecDrawLayers(TBitmap32& dest, std::uint32_t mask) {
  for (std::int32_t i = 0; i < layers_->Count(); ++i) {
    TCustomLayer* layer = layers_->Items(i);
    if ((layer->LayerFlags() & mask) != 0) layer->PaintLayer(dest);
  }
}

void TCustomImage32::ExecControlFrame(TBitmap32& dest) {
  DrawFocusRect(dest, TRect{0, 0, Width(), Height()});
}

void TCustomImage32::ExecBitmapFrame(TBitmap32& dest) {
  const TRect& r = view_bitmap_rect_;
  DrawFocusRect(dest, TRect{r.Left - 1, r.Top - 1, r.Right + 1, r.Bottom + 1});
}

}  // namespace vesk::raster
