#pragma once
// TCustomImage32 / TImage32: the image control as a compositing engine. It
// owns a bitmap, an ordered collection of layers painted over it and a list
// of paint stages that says what is painted in which order; PaintTo paints
// all of it into another bitmap.
//
// The view maps bitmap pixels to target pixels: ViewBitmapRect is where the
// bitmap lies in the current target, ViewScaleX/Y are target pixels per
// bitmap pixel and ViewInvScaleX/Y the reverse (16.16), ViewShiftX/Y the
// target position of the bitmap's top-left corner. Inside PaintTo the view
// describes the destination rectangle; otherwise it is computed on demand
// from the control's own geometry (ScaleMode, BitmapAlign).
#include <cstdint>
#include <functional>
#include <memory>

#include "raster/bitmap32.h"
#include "raster/fixed.h"
#include "raster/layer_collection.h"
#include "raster/paint_box32.h"
#include "raster/paint_stages.h"
#include "base/geometry.h"

namespace vesk::raster {

enum class TBitmapAlign : std::uint8_t { baTopLeft = 0, baCenter = 1, baTile = 2, baCustom = 3 };
using enum TBitmapAlign;

enum class TScaleMode : std::uint8_t {
  smNormal = 0,         // the bitmap's own size
  smStretch = 1,        // the control's size
  smScale = 2,          // the bitmap's size times ScaleX, ScaleY
  smResize = 3,         // the bitmap's own size
  smOptimal = 4,        // shrunk to fit the control (aspect kept), never enlarged
  smOptimalScaled = 5,  // scaled, then shrunk to fit like smOptimal
};
using enum TScaleMode;

class TCustomImage32;

using TPaintStageEvent =
    std::function<void(TCustomImage32* sender, TBitmap32& dest, std::uint32_t stage_index)>;

class TCustomImage32 : public TCustomPaintBox32 {
 public:
  // Makes the bitmap, the layer collection (hooked to this control) and the
  // stage list, sets rmFull, then AddDefaultStages. (AddDefaultStages is
  // virtual but runs from this constructor, so an override in a subclass is
  // not reached; a subclass calls PaintStages().Clear() and its own version
  // in its constructor instead.)
  TCustomImage32();
  // Reports nothing: frees the stage list, the layers and the bitmap, in
  // that order.
  ~TCustomImage32() override;

  [[nodiscard]] TBitmap32& Bitmap() noexcept { return *bitmap_; }
  [[nodiscard]] TLayerCollection& Layers() noexcept { return *layers_; }
  [[nodiscard]] TPaintStages& PaintStages() noexcept { return *paint_stages_; }

  // Five stages, all with DesignTime true: clear background, control frame
  // (not at run time), draw bitmap, bitmap frame (not at run time), draw
  // layers with mask kLayerVisible.
  virtual void AddDefaultStages();

  // Paints the stages whose RunTime is set into dest, mapping the whole
  // bitmap onto dest_rect. An error from a stage propagates after the view
  // and the repaint mode have been restored.
  void PaintTo(TBitmap32& dest, const TRect& dest_rect);

  // ---- properties ---------------------------------------------------------
  [[nodiscard]] TBitmapAlign BitmapAlign() const noexcept { return bitmap_align_; }
  // Stores, invalidates the view and reports a change.
  void SetBitmapAlign(TBitmapAlign value);
  [[nodiscard]] TScaleMode ScaleMode() const noexcept { return scale_mode_; }
  // Stores a different value, invalidates the view and reports a change.
  void SetScaleMode(TScaleMode value);
  [[nodiscard]] float Scale() const noexcept { return scale_x_; }
  [[nodiscard]] float ScaleX() const noexcept { return scale_x_; }
  [[nodiscard]] float ScaleY() const noexcept { return scale_y_; }
  // Values below 0.001 are raised to 0.001. A new value invalidates the view,
  // fires OnScaleChange, then reports a change.
  void SetScale(float value);
  // Bitmap position for baCustom.
  void SetOffsetHorz(float value);
  void SetOffsetVert(float value);

  // ---- change notification ----------------------------------------------
  void BeginUpdate() noexcept { ++update_count_; }
  // An unpaired call raises EAssertionFailed "Unpaired EndUpdate call" and
  // leaves the count at 0.
  void EndUpdate();
  // With no bracket open: invalidates the control and fires OnChange.
  virtual void Changed();
  [[nodiscard]] std::int32_t UpdateCount() const noexcept { return update_count_; }

  // Also marks the view stale, except while PaintTo runs (the view then
  // belongs to the paint target).
  void Invalidate() override;
  // Re-hooks the bitmap's change events, then invalidates.
  void SetRepaintMode(TRepaintMode value) override;

  // ---- view -------------------------------------------------------------
  // Where the bitmap lies in the control under ScaleMode and BitmapAlign.
  [[nodiscard]] TRect GetBitmapRect() const;
  // Recomputes the view from GetBitmapRect when it is not valid.
  void UpdateView();
  // Viewport answers given to the layers: ViewScaleX/Y / 65536 and
  // ViewShiftX/Y, as singles, after UpdateView.
  void GetViewportScale(float& sx, float& sy);
  void GetViewportShift(float& tx, float& ty);

  [[nodiscard]] const TRect& ViewBitmapRect() const noexcept { return view_bitmap_rect_; }
  [[nodiscard]] TFixed ViewScaleX() const noexcept { return view_scale_x_; }
  [[nodiscard]] TFixed ViewScaleY() const noexcept { return view_scale_y_; }
  [[nodiscard]] std::int32_t ViewShiftX() const noexcept { return view_shift_x_; }
  [[nodiscard]] std::int32_t ViewShiftY() const noexcept { return view_shift_y_; }
  [[nodiscard]] TFixed ViewInvScaleX() const noexcept { return view_inv_scale_x_; }
  [[nodiscard]] TFixed ViewInvScaleY() const noexcept { return view_inv_scale_y_; }
  [[nodiscard]] bool ViewValid() const noexcept { return view_valid_; }
  [[nodiscard]] bool PaintingTo() const noexcept { return painting_to_; }

  TNotifyEvent OnChange;
  TNotifyEvent OnBitmapResize;
  TNotifyEvent OnScaleChange;
  // Called by pstCustom stages.
  TPaintStageEvent OnPaintStage;

 protected:
  // Runs the stage at index into dest (kinds 1-7; any other kind paints
  // nothing). A subclass may add kinds.
  virtual void ExecuteStage(TBitmap32& dest, std::int32_t index);

  void ExecClearBuffer(TBitmap32& dest);
  void ExecClearBackground(TBitmap32& dest);
  void ExecDrawBitmap(TBitmap32& dest);
  void ExecDrawLayers(TBitmap32& dest, std::uint32_t mask);
  void ExecControlFrame(TBitmap32& dest);
  void ExecBitmapFrame(TBitmap32& dest);

  // The bitmap reported a change (rmFull hook): reports Changed.
  virtual void BitmapChanged();
  // The bitmap's size changed: the view goes stale, OnBitmapResize fires.
  virtual void BitmapResized();
  void Resize() override;

 private:
  void HookBitmapEvents();
  void InvalidateView() noexcept;
  // Fills the view numbers for the bitmap lying at r (identity when r is
  // narrower or lower than one pixel, or the bitmap is empty).
  void SetView(const TRect& r);

  std::unique_ptr<TBitmap32> bitmap_;
  TBitmapAlign bitmap_align_ = baTopLeft;
  std::unique_ptr<TLayerCollection> layers_;
  float offset_horz_ = 0;
  float offset_vert_ = 0;
  std::unique_ptr<TPaintStages> paint_stages_;
  float scale_x_ = 1;
  float scale_y_ = 1;
  TScaleMode scale_mode_ = smNormal;
  std::int32_t update_count_ = 0;

  TRect view_bitmap_rect_{};
  TFixed view_scale_x_ = FixedOne;
  TFixed view_scale_y_ = FixedOne;
  std::int32_t view_shift_x_ = 0;
  std::int32_t view_shift_y_ = 0;
  TFixed view_inv_scale_x_ = FixedOne;
  TFixed view_inv_scale_y_ = FixedOne;
  bool view_valid_ = false;
  bool painting_to_ = false;
};

// The published face of the image control; adds nothing.
class TImage32 : public TCustomImage32 {
 public:
  TImage32() = default;
};

}  // namespace vesk::raster
