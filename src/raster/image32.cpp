// TCustomImage32: construction, properties, change notification and the view.
#include "raster/image32.h"

#include <algorithm>
#include <cmath>

#include "base/errors.h"

namespace vesk::raster {

namespace {

constexpr float kMinScale = 0.001f;

std::int32_t RoundSize(long double v) { return std::max(RoundHalfEven(v), 0); }

}  // namespace

TCustomImage32::TCustomImage32() {
  bitmap_ = std::make_unique<TBitmap32>();
  bitmap_->OnResize = [this](TObject*) { BitmapResized(); };
  layers_ = std::make_unique<TLayerCollection>(this);
  layers_->OnChange = [this](TObject*) { Changed(); };
  layers_->OnGDIUpdate = [this](TObject*) { TCustomPaintBox32::Invalidate(); };
  layers_->OnGetViewportScale = [this](TLayerCollection*, float& sx, float& sy) {
    GetViewportScale(sx, sy);
  };
  layers_->OnGetViewportShift = [this](TLayerCollection*, float& tx, float& ty) {
    GetViewportShift(tx, ty);
  };
  SetRepaintMode(rmFull);
  paint_stages_ = std::make_unique<TPaintStages>();
  AddDefaultStages();
}

TCustomImage32::~TCustomImage32() {
  ++update_count_;
  paint_stages_.reset();
  layers_.reset();
  bitmap_.reset();
}

void TCustomImage32::AddDefaultStages() {
  const struct {
    std::uint32_t stage;
    bool run_time;
    std::uint32_t parameter;
  } defaults[] = {{pstClearBackground, true, 0},
                  {pstControlFrame, false, 0},
                  {pstDrawBitmap, true, 0},
                  {pstBitmapFrame, false, 0},
                  {pstDrawLayers, true, kLayerVisible}};
  for (const auto& d : defaults) {
    TPaintStage& stage = paint_stages_->Add();
    stage.DesignTime = true;
    stage.RunTime = d.run_time;
    stage.Stage = d.stage;
    stage.Parameter = d.parameter;
  }
}

// ---- properties -------------------------------------------------------------

void TCustomImage32::SetBitmapAlign(TBitmapAlign value) {
  bitmap_align_ = value;
  InvalidateView();
  Changed();
}

void TCustomImage32::SetScaleMode(TScaleMode value) {
  if (value == scale_mode_) return;
  scale_mode_ = value;
  InvalidateView();
  Changed();
}

void TCustomImage32::SetScale(float value) {
  value = std::max(value, kMinScale);
  if (value == scale_x_ && value == scale_y_) return;
  scale_x_ = value;
  scale_y_ = value;
  InvalidateView();
  if (OnScaleChange) OnScaleChange(this);
  Changed();
}

void TCustomImage32::SetOffsetHorz(float value) {
  if (value == offset_horz_) return;
  offset_horz_ = value;
  InvalidateView();
  Changed();
}

void TCustomImage32::SetOffsetVert(float value) {
  if (value == offset_vert_) return;
  offset_vert_ = value;
  InvalidateView();
  Changed();
}

// ---- change notification ----------------------------------------------------

void TCustomImage32::EndUpdate() {
  if (update_count_ <= 0) {
    update_count_ = 0;
    throw EAssertionFailed("Unpaired EndUpdate call");
  }
  --update_count_;
}

void TCustomImage32::Changed() {
  if (update_count_ != 0) return;
  Invalidate();
  if (OnChange) OnChange(this);
}

void TCustomImage32::Invalidate() {
  InvalidateView();
  TCustomPaintBox32::Invalidate();
}

void TCustomImage32::InvalidateView() noexcept {
  if (!painting_to_) view_valid_ = false;
}

void TCustomImage32::SetRepaintMode(TRepaintMode value) {
  TCustomPaintBox32::SetRepaintMode(value);
  HookBitmapEvents();
}

// Every mode listens to whole-bitmap changes: the repaint optimiser that
// would take area reports in rmOptimizer is not part of this control.
void TCustomImage32::HookBitmapEvents() {
  bitmap_->OnAreaChanged = nullptr;
  bitmap_->OnChange = [this](TObject*) { BitmapChanged(); };
}

void TCustomImage32::BitmapChanged() { Changed(); }

void TCustomImage32::BitmapResized() {
  InvalidateView();
  TCustomPaintBox32::Invalidate();
  if (OnBitmapResize) OnBitmapResize(this);
}

void TCustomImage32::Resize() {
  InvalidateView();
  TCustomPaintBox32::Resize();
}

// ---- view ---------------------------------------------------------------------

TRect TCustomImage32::GetBitmapRect() const {
  if (bitmap_->Empty()) return TRect{};
  const long double bw = bitmap_->Width(), bh = bitmap_->Height();
  const long double cw = Width(), ch = Height();
  long double w = bw, h = bh;
  switch (scale_mode_) {
    case smNormal:
    case smResize:
      break;
    case smStretch:
      w = cw;
      h = ch;
      break;
    case smScale:
    case smOptimalScaled:
      w = bw * scale_x_;
      h = bh * scale_y_;
      break;
    case smOptimal:
      break;
  }
  if ((scale_mode_ == smOptimal || scale_mode_ == smOptimalScaled) && (w > cw || h > ch) &&
      w > 0 && h > 0) {
    const long double k = std::min(cw / w, ch / h);
    w *= k;
    h *= k;
  }
  const std::int32_t iw = RoundSize(w), ih = RoundSize(h);
  std::int32_t x = 0, y = 0;
  switch (bitmap_align_) {
    case baTopLeft:
    case baTile:
      break;
    case baCenter:
      x = (Width() - iw) / 2;
      y = (Height() - ih) / 2;
      break;
    case baCustom:
      x = RoundHalfEven(offset_horz_);
      y = RoundHalfEven(offset_vert_);
      break;
  }
  return TRect{x, y, x + iw, y + ih};
}

void TCustomImage32::SetView(const TRect& r) {
  view_bitmap_rect_ = r;
  const std::int32_t rw = RectWidth(r), rh = RectHeight(r);
  if (rw < 1 || rh < 1 || bitmap_->Empty()) {
    view_scale_x_ = view_scale_y_ = FixedOne;
    view_shift_x_ = view_shift_y_ = 0;
    view_inv_scale_x_ = view_inv_scale_y_ = FixedOne;
    return;
  }
  const std::int32_t bw = bitmap_->Width(), bh = bitmap_->Height();
  view_shift_x_ = r.Left;
  view_shift_y_ = r.Top;
  view_scale_x_ = MulDiv(rw, FixedOne, bw);
  view_scale_y_ = MulDiv(rh, FixedOne, bh);
  view_inv_scale_x_ = MulDiv(bw, FixedOne, rw);
  view_inv_scale_y_ = MulDiv(bh, FixedOne, rh);
}

void TCustomImage32::UpdateView() {
  if (view_valid_) return;
  SetView(GetBitmapRect());
  view_valid_ = true;
}

void TCustomImage32::GetViewportScale(float& sx, float& sy) {
  UpdateView();
  sx = static_cast<float>(view_scale_x_ / 65536.0L);
  sy = static_cast<float>(view_scale_y_ / 65536.0L);
}

void TCustomImage32::GetViewportShift(float& tx, float& ty) {
  UpdateView();
  tx = static_cast<float>(view_shift_x_);
  ty = static_cast<float>(view_shift_y_);
}

}  // namespace vesk::raster
