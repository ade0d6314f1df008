// The per-second face, the layered-window update and the fades.
#include "app/face_text_layout.h"
#include "app/win32/application.h"
#include "app/win32/frm_main.h"

namespace vesk::app::win32 {

void TfrmMain::UpdateLayered() {
  if (!CompositionBitmap || CompositionBitmap->Empty()) return;
  BLENDFUNCTION blend{BlendFunction.BlendOp, BlendFunction.BlendFlags, BlendFunction.SourceConstantAlpha,
                      BlendFunction.AlphaFormat};
  if (!UpdateLayeredWindow(handle_, ScreenDC, &WindowPosition, &WindowSize,
                           static_cast<HDC>(CompositionBitmap->Handle()), &SourcePoint, 0, &blend, ULW_ALPHA)) {
    // Reported (at most one box at a time, see the throttle) and otherwise
    // ignored: the next update tries again.
    application_.ShowSystemError(GetLastError());
  }
}

void TfrmMain::fadeTimerTimer() {
  const bool close_now = fade_.Tick();
  if (IsWindowVisible(handle_)) {
    WindowPosition = CurrentPosition();
    UpdateLayered();
  }
  if (close_now) Close();
}

void TfrmMain::Timer1Timer() {
  const std::optional<THandAngles> angles = redraw_gate_.BeginTick();
  if (angles) {
    // TODO(step 3.1/3.2 of the tick): set Scaled of TextLayer, then Angle of
    // HourHand, MinuteHand and SecondHand from *angles, once the rotating
    // layers exist.
    RenderClock();
    redraw_gate_.FaceDrawn();
  }
  // TODO: the hourly chime check runs here on every tick.
}

void TfrmMain::RenderClock() {
  WindowPosition = CurrentPosition();
  const TLocalTime t = clock_.Now();
  // TODO: clear TextLayer's bitmap and draw the four items with
  // DrawAlphaText into it, once the rotating layer and the alpha text
  // renderer exist. The layout is ready: MakeFaceTextLayout(t, <TextWidth
  // of the text layer's bitmap in the item's font>).
  static_cast<void>(t);
  CompositionBitmap->Clear(0);
  // TODO: Image321->PaintTo(CompositionBitmap, face rectangle) once the
  // image control exists. Until then the face alone is drawn as the image
  // control's first paint stage would draw it.
  if (face_bitmap_) face_bitmap_->DrawTo(*CompositionBitmap);
  if (IsWindowVisible(handle_)) UpdateLayered();
}

}  // namespace vesk::app::win32
