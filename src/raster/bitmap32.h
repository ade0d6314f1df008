#pragma once
// TBitmap32: the pixel store of the raster engine. Width x Height TColor32
// pixels, top row first, row stride exactly Width pixels, held in a platform
// surface (on Windows a 32-bit top-down DIB section selected into a memory
// device context for the bitmap's whole life, so GDI and the layered-window
// update read the same memory). Besides the pixels a bitmap carries how it is
// combined when drawn into another (draw mode, combine mode, master alpha),
// change notification, a font for text measurement and a resampler for
// scaled and transformed drawing.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "raster/canvas.h"
#include "raster/color32.h"
#include "raster/custom_map.h"
#include "raster/font.h"
#include "raster/modes.h"
#include "base/geometry.h"

namespace vesk::platform {
class Surface;
class PlatformBitmap;
}  // namespace vesk::platform

namespace vesk::raster {

class TCustomResampler;
class TBitmap32;

// Info word of an area report: the area is a plain rectangle.
inline constexpr std::uint32_t kAreaInfoRect = 0x80000000u;

// Callback of dmCustom: F the source pixel, B the destination pixel (updated
// in place), M the source's master alpha.
using TPixelCombineEvent = std::function<void(TColor32 f, TColor32& b, TColor32 m)>;
// Change event with the changed area.
using TAreaChangedEvent = std::function<void(TObject* sender, const TRect& area, std::uint32_t info)>;

// A GDI colour (0x00BBGGRR, system colours resolved) as an opaque TColor32:
// red and blue swap places, alpha 255.
[[nodiscard]] TColor32 Color32(TGdiColor color) noexcept;

class TBitmap32 : public TCustomMap {
 public:
  TBitmap32();
  ~TBitmap32() override;

  // ---- size and handles -------------------------------------------------
  // SetSize, SetWidth, SetHeight, Delete, Width, Height: see TCustomMap.
  // Empty when there is no surface or a dimension is 0.
  [[nodiscard]] bool Empty() const override;
  [[nodiscard]] TRect BoundsRect() const noexcept { return TRect{0, 0, width_, height_}; }

  // The memory device context (HDC on Windows), the DIB section (HBITMAP) and
  // the surface that owns the pixels; null while empty.
  [[nodiscard]] void* Handle() const noexcept;
  [[nodiscard]] void* BitmapHandle() const noexcept;
  [[nodiscard]] platform::Surface* Surface() const noexcept { return surface_.get(); }
  // Made on first request and bound to Handle; its change event calls Changed.
  TCanvas& Canvas();

  // ---- pixels -------------------------------------------------------------
  [[nodiscard]] PColor32 Bits() const noexcept { return bits_; }
  [[nodiscard]] PColor32 ScanLine(std::int32_t y) const noexcept { return bits_ + Offset(0, y); }
  [[nodiscard]] PColor32 PixelPtr(std::int32_t x, std::int32_t y) const noexcept { return bits_ + Offset(x, y); }
  // Unchecked read and write.
  [[nodiscard]] TColor32 Pixel(std::int32_t x, std::int32_t y) const noexcept { return bits_[Offset(x, y)]; }
  void SetPixel(std::int32_t x, std::int32_t y, TColor32 value) noexcept { bits_[Offset(x, y)] = value; }
  // OuterColor outside ClipRect, else Pixel. The writer ignores points outside.
  [[nodiscard]] TColor32 PixelS(std::int32_t x, std::int32_t y) const noexcept;
  void SetPixelS(std::int32_t x, std::int32_t y, TColor32 value) noexcept;
  // x and y folded into ClipRect by the WrapMode rule, then Pixel.
  [[nodiscard]] TColor32 PixelW(std::int32_t x, std::int32_t y) const noexcept;

  // Fills the clip rectangle (or everything when not clipping) and reports;
  // an empty bitmap does nothing at all.
  void Clear();  // opaque black, 0xFF000000
  void Clear(TColor32 fill_color);
  // Fills columns x1..x2-1 of rows y1..y2-1 without clipping or bounds check
  // (the caller keeps 0 <= x1 <= x2 <= Width, 0 <= y1 <= y2 <= Height), then
  // reports the rectangle.
  void FillRect(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2, TColor32 value);
  // The same clipped to ClipRect; always reports the (clamped) rectangle.
  void FillRectS(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2, TColor32 value);
  void FillRectS(const TRect& rect, TColor32 value) { FillRectS(rect.Left, rect.Top, rect.Right, rect.Bottom, value); }
  // Sets the alpha byte of every pixel, then Changed.
  void ResetAlpha(std::uint8_t alpha = 255);

  // ---- copying and drawing ---------------------------------------------
  // Copies size, pixels and properties of another bitmap; nullptr empties
  // this bitmap. Runs inside one update bracket and ends with one Changed,
  // also when it fails.
  void Assign(const TBitmap32* source);
  // Copies a platform bitmap: size, pixels (24-bit sources get alpha 255),
  // transparency mark (pixels of the transparent colour get alpha 0) and font.
  void Assign(const platform::PlatformBitmap& source);
  // SetSize to the source's size and copy its pixels into this bitmap.
  virtual void CopyMapTo(TBitmap32& destination) const;
  // DrawMode, CombineMode, WrapMode, MasterAlpha, OuterColor, resampler class
  // and settings, Font.
  virtual void CopyPropertiesTo(TBitmap32& destination) const;

  // Draws the whole bitmap into dst_rect of the destination (clipped to the
  // destination's ClipRect) with this bitmap's DrawMode, CombineMode,
  // MasterAlpha, OnPixelCombine and Resampler; reports dst_rect to the
  // destination.
  void DrawTo(TBitmap32& destination, const TRect& dst_rect);
  void DrawTo(TBitmap32& destination, std::int32_t x, std::int32_t y);
  void DrawTo(TBitmap32& destination) { DrawTo(destination, 0, 0); }

  // ---- clipping ---------------------------------------------------------
  [[nodiscard]] const TRect& ClipRect() const noexcept { return clip_rect_; }
  // Stores value intersected with BoundsRect; no notification.
  void SetClipRect(const TRect& value);
  void ResetClipRect() { SetClipRect(BoundsRect()); }
  // ClipRect differs from BoundsRect.
  [[nodiscard]] bool Clipping() const noexcept { return clipping_; }
  // ClipRect with every coordinate times 65536 (16.16 fixed point) and times
  // 256; coordinates beyond the range wrap around in 32 bits.
  [[nodiscard]] const TRect& FixedClipRect() const noexcept { return fixed_clip_rect_; }
  [[nodiscard]] const TRect& ClipRect256() const noexcept { return clip_rect_256_; }

  // ---- how the bitmap is drawn ------------------------------------------
  // Setters store and call Changed only when the value differs.
  [[nodiscard]] TDrawMode DrawMode() const noexcept { return draw_mode_; }
  void SetDrawMode(TDrawMode value);
  [[nodiscard]] TCombineMode CombineMode() const noexcept { return combine_mode_; }
  void SetCombineMode(TCombineMode value);
  [[nodiscard]] TWrapMode WrapMode() const noexcept { return wrap_mode_; }
  void SetWrapMode(TWrapMode value);
  [[nodiscard]] std::uint32_t MasterAlpha() const noexcept { return master_alpha_; }
  void SetMasterAlpha(std::uint32_t value);
  // Read outside the clip rectangle; key colour of dmTransparent. Plain store.
  [[nodiscard]] TColor32 OuterColor() const noexcept { return outer_color_; }
  void SetOuterColor(TColor32 value) noexcept { outer_color_ = value; }

  // ---- resampler ----------------------------------------------------------
  [[nodiscard]] TCustomResampler* Resampler() const noexcept { return resampler_.get(); }
  // Takes ownership. nullptr or the current object is ignored; otherwise the
  // old resampler is freed, the new one stored, then Changed.
  void SetResampler(std::unique_ptr<TCustomResampler> value);
  [[nodiscard]] std::string ResamplerClassName() const;
  // An empty name, the current class's name or a name that is not registered
  // changes nothing; otherwise a new resampler of that class is made for this
  // bitmap (and replaces the old one).
  void SetResamplerClassName(std::string_view value);

  // ---- text ---------------------------------------------------------------
  [[nodiscard]] TFont& Font() noexcept { return font_; }
  [[nodiscard]] const TFont& Font() const noexcept { return font_; }
  void SetFont(const TFont& value) { font_.Assign(value); }
  // Size of the string in Font. An empty bitmap measures on a process-wide
  // 8 x 8 stock surface, so the result does not depend on the bitmap's size.
  [[nodiscard]] TSize TextExtent(std::string_view text);
  [[nodiscard]] std::int32_t TextWidth(std::string_view text) { return TextExtent(text).cx; }
  // Draws the string in Font's colour at (x, y) with a transparent background
  // through the platform, then reports the bitmap changed. Glyph pixels get
  // alpha 0, as the system's text renderer leaves them.
  void Textout(std::int32_t x, std::int32_t y, std::string_view text);

  // ---- notification -----------------------------------------------------
  // OnAreaChanged(BoundsRect, kAreaInfoRect) when (no update bracket is open
  // or Measuring), then, unless Measuring, the inherited Changed (OnChange).
  void Changed() override;
  // The same with the given area and info.
  virtual void Changed(const TRect& area, std::uint32_t info);

  // While set, drawing operations only report areas. Nothing in the program
  // sets it; the flag keeps the drawing paths honest about it.
  [[nodiscard]] bool Measuring() const noexcept { return measuring_; }
  void SetMeasuring(bool value) noexcept { measuring_ = value; }

  TNotifyEvent OnHandleChanged;
  TPixelCombineEvent OnPixelCombine;
  TAreaChangedEvent OnAreaChanged;

 protected:
  // Reallocates the surface (see SetSize). Every step runs; HandleChanged
  // runs at the end even when an error is raised, and an error leaves the
  // bitmap empty.
  void ChangeSize(std::int32_t new_width, std::int32_t new_height) override;
  // Rebinds the canvas, then OnHandleChanged.
  virtual void HandleChanged();

 private:
  [[nodiscard]] std::ptrdiff_t Offset(std::int32_t x, std::int32_t y) const noexcept {
    return static_cast<std::ptrdiff_t>(y) * width_ + x;
  }
  void FontChanged();
  void UpdateFont();

  PColor32 bits_ = nullptr;
  std::unique_ptr<TCanvas> canvas_;
  TRect clip_rect_;
  TRect fixed_clip_rect_;
  TRect clip_rect_256_;
  bool clipping_ = false;
  TDrawMode draw_mode_ = dmOpaque;
  TCombineMode combine_mode_ = cmBlend;
  TWrapMode wrap_mode_ = wmClamp;
  TFont font_;
  std::unique_ptr<platform::Surface> surface_;
  std::uint32_t master_alpha_ = 255;
  TColor32 outer_color_ = 0;
  bool measuring_ = false;
  std::unique_ptr<TCustomResampler> resampler_;
  // Whether Font is selected into the surface (the font handle on Windows).
  bool selected_font_ = false;
};

// Draws source rectangle src_rect of src into dst_rect of dst, writing only
// inside dst_clip and the destination's bounds. Same-size rectangles are
// combined block by block (BlockCombine), others go through the resampler.
// Raises EBitmapException for a null bitmap and ESrcInvalidException for a
// non-empty src_rect outside the source. Reports dst_rect to dst when
// anything was attempted.
void TransferRect(TBitmap32* dst, const TRect& dst_rect, const TRect& dst_clip, TBitmap32* src,
                  const TRect& src_rect, TCustomResampler* resampler, TDrawMode mode,
                  const TPixelCombineEvent& combine);

// Combines the rectangle r of dst with the same-sized block of src whose
// top-left pixel is (src_x, src_y), row by row, with the draw mode: dmOpaque
// copies, dmBlend uses the source's CombineMode row operation (with its
// MasterAlpha when below 255), dmTransparent copies pixels that differ from
// the source's OuterColor, dmCustom calls the combine callback. The caller
// keeps both blocks inside their bitmaps.
void BlockCombine(TBitmap32& dst, const TRect& r, const TBitmap32& src, std::int32_t src_x, std::int32_t src_y,
                  TDrawMode mode, const TPixelCombineEvent& combine);

}  // namespace vesk::raster
