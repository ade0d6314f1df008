// TBitmap32: copying from another bitmap or from a platform bitmap.
#include "base/scope_exit.h"
#include "platform/platform_bitmap.h"
#include "platform/surface.h"
#include "raster/bitmap32.h"
#include "raster/custom_resampler.h"
#include "raster/lowlevel.h"

namespace vesk::raster {

// Both assignments run inside one update bracket and report once at the
// end, also when they fail.
void TBitmap32::Assign(const TBitmap32* source) {
  const TUpdateScope bracket(*this, crChanged);
  if (source == nullptr) {
    SetSize(0, 0);
    return;
  }
  source->CopyMapTo(*this);
  source->CopyPropertiesTo(*this);
}

void TBitmap32::CopyMapTo(TBitmap32& destination) const {
  destination.SetSize(width_, height_);
  if (!Empty()) MoveLongword(bits_, destination.bits_, width_ * height_);
}

void TBitmap32::CopyPropertiesTo(TBitmap32& destination) const {
  destination.SetDrawMode(draw_mode_);
  destination.SetCombineMode(combine_mode_);
  destination.SetWrapMode(wrap_mode_);
  destination.SetMasterAlpha(master_alpha_);
  destination.outer_color_ = outer_color_;
  destination.SetResamplerClassName(ResamplerClassName());
  if (resampler_ && destination.resampler_ && resampler_.get() != destination.resampler_.get()) {
    destination.resampler_->Assign(*resampler_);
  }
  destination.font_.Assign(font_);
}

void TBitmap32::Assign(const platform::PlatformBitmap& source) {
  const TUpdateScope bracket(*this, crChanged);
  SetSize(source.Width(), source.Height());
  if (Empty()) return;
  source.CopyTo(*surface_);
  if (source.Format() != platform::PixelFormat::pf32bit) ResetAlpha(255);
  if (source.Transparent) {
    // Pixels of the transparent colour keep their RGB value with alpha 0.
    const TColor32 key = Color32(source.TransparentColor) & 0x00FFFFFFu;
    const std::ptrdiff_t n = static_cast<std::ptrdiff_t>(width_) * height_;
    for (std::ptrdiff_t i = 0; i < n; ++i) {
      if ((bits_[i] & 0x00FFFFFFu) == key) bits_[i] = key;
    }
  }
  font_.Assign(source.Font);
}

}  // namespace vesk::raster
