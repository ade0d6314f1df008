// TBitmap32: construction, sizing, handles, clipping, modes and notification.
#include "raster/bitmap32.h"

#include "base/scope_exit.h"
#include "platform/surface.h"
#include "platform/sys_color.h"
#include "raster/exceptions.h"
#include "raster/nearest_resampler.h"
#include "raster/resampler_registry.h"
#include "raster/wrap.h"

namespace vesk::raster {

TColor32 Color32(TGdiColor color) noexcept {
  const std::uint32_t bgr = platform::ResolveGdiColor(color);  // 0x00BBGGRR
  return 0xFF000000u | ((bgr & 0xFFu) << 16) | (bgr & 0xFF00u) | ((bgr >> 16) & 0xFFu);
}

TBitmap32::TBitmap32() {
  font_.OnChange = [this](TObject*) { FontChanged(); };
  TNearestResampler::Create(*this);
}

TBitmap32::~TBitmap32() {
  // A dying bitmap tells nobody: listeners may already be half destroyed
  // themselves (an owner frees its bitmap from its own destructor).
  OnChange = nullptr;
  OnResize = nullptr;
  OnHandleChanged = nullptr;
  OnAreaChanged = nullptr;
  OnPixelCombine = nullptr;
  BeginUpdate();
  Lock();
  canvas_.reset();
  SetSize(0, 0);
  resampler_.reset();
  Unlock();
}

bool TBitmap32::Empty() const { return surface_ == nullptr || width_ == 0 || height_ == 0; }

void* TBitmap32::Handle() const noexcept { return surface_ ? surface_->Handle() : nullptr; }

void* TBitmap32::BitmapHandle() const noexcept { return surface_ ? surface_->BitmapHandle() : nullptr; }

TCanvas& TBitmap32::Canvas() {
  if (!canvas_) {
    canvas_ = std::make_unique<TCanvas>();
    canvas_->Bind(surface_.get(), Handle());
    canvas_->OnChange = [this](TObject*) { Changed(); };
  }
  return *canvas_;
}

void TBitmap32::ChangeSize(std::int32_t new_width, std::int32_t new_height) {
  // The clip rectangle follows the size, also when a failure leaves the
  // bitmap empty.
  const TScopeExit done([this] {
    ResetClipRect();
    HandleChanged();
  });
  FontChanged();
  canvas_.reset();
  surface_.reset();
  bits_ = nullptr;
  width_ = 0;
  height_ = 0;
  if (new_width > 0 && new_height > 0) {
    // The size is checked before anything is allocated.
    if (!platform::SurfaceSizeValid(new_width, new_height)) throw EDibError(platform::kErrAllocateDib);
    try {
      surface_ = platform::CreateSurface(new_width, new_height);
    } catch (const platform::SurfaceError& e) {
      throw EDibError(e.what());
    }
    bits_ = surface_->Bits();
  }
  width_ = new_width;
  height_ = new_height;
}

void TBitmap32::HandleChanged() {
  if (canvas_) canvas_->Bind(surface_.get(), Handle());
  if (OnHandleChanged) OnHandleChanged(this);
}

void TBitmap32::Changed() { Changed(BoundsRect(), kAreaInfoRect); }

void TBitmap32::Changed(const TRect& area, std::uint32_t info) {
  if ((update_count_ == 0 || measuring_) && OnAreaChanged) OnAreaChanged(this, area, info);
  if (!measuring_) TCustomMap::Changed();
}

// ---- clipping -------------------------------------------------------------

void TBitmap32::SetClipRect(const TRect& value) {
  clip_rect_ = IntersectRect(value, BoundsRect());
  // x * 65536 and x * 256, wrapping in 32 bits for coordinates beyond
  // 32767 and 8388607 (no signed overflow).
  auto scaled = [](const TRect& r, int shift) {
    auto s = [shift](std::int32_t v) {
      return static_cast<std::int32_t>(static_cast<std::uint32_t>(v) << shift);
    };
    return TRect{s(r.Left), s(r.Top), s(r.Right), s(r.Bottom)};
  };
  fixed_clip_rect_ = scaled(clip_rect_, 16);
  clip_rect_256_ = scaled(clip_rect_, 8);
  clipping_ = clip_rect_ != BoundsRect();
}

TColor32 TBitmap32::PixelS(std::int32_t x, std::int32_t y) const noexcept {
  const TRect& c = clip_rect_;
  if (x < c.Left || x >= c.Right || y < c.Top || y >= c.Bottom) return outer_color_;
  return Pixel(x, y);
}

void TBitmap32::SetPixelS(std::int32_t x, std::int32_t y, TColor32 value) noexcept {
  const TRect& c = clip_rect_;
  if (x < c.Left || x >= c.Right || y < c.Top || y >= c.Bottom) return;
  SetPixel(x, y, value);
}

TColor32 TBitmap32::PixelW(std::int32_t x, std::int32_t y) const noexcept {
  const TRect& c = clip_rect_;
  // Nothing to fold into: the outer colour instead of a read of no memory.
  if (IsRectEmpty(c)) return outer_color_;
  return Pixel(WrapCoordinate(wrap_mode_, x, c.Left, c.Right - 1),
               WrapCoordinate(wrap_mode_, y, c.Top, c.Bottom - 1));
}

// ---- modes ----------------------------------------------------------------

void TBitmap32::SetDrawMode(TDrawMode value) {
  if (draw_mode_ == value) return;
  draw_mode_ = value;
  Changed();
}

void TBitmap32::SetCombineMode(TCombineMode value) {
  if (combine_mode_ == value) return;
  combine_mode_ = value;
  Changed();
}

void TBitmap32::SetWrapMode(TWrapMode value) {
  if (wrap_mode_ == value) return;
  wrap_mode_ = value;
  Changed();
}

void TBitmap32::SetMasterAlpha(std::uint32_t value) {
  if (master_alpha_ == value) return;
  master_alpha_ = value;
  Changed();
}

// ---- resampler ------------------------------------------------------------

void TBitmap32::SetResampler(std::unique_ptr<TCustomResampler> value) {
  if (!value) return;
  if (value.get() == resampler_.get()) {
    static_cast<void>(value.release());  // already owned
    return;
  }
  resampler_ = std::move(value);
  Changed();
}

std::string TBitmap32::ResamplerClassName() const {
  return resampler_ ? std::string(resampler_->ClassName()) : std::string();
}

void TBitmap32::SetResamplerClassName(std::string_view value) {
  if (value.empty() || value == ResamplerClassName()) return;
  if (const TResamplerClass* c = FindResamplerClass(value)) c->Create(*this);
}

}  // namespace vesk::raster
