// The per-second face, the layered-window update and the fades.
#include "app/win32/application.h"
#include "app/win32/frm_main.h"

namespace vesk::app::win32 {

void TfrmMain::UpdateLayered() {
  const raster::TBitmap32* composition = Face.CompositionBitmap.get();
  if (composition == nullptr || composition->Empty()) return;
  BLENDFUNCTION blend{BlendFunction.BlendOp, BlendFunction.BlendFlags, BlendFunction.SourceConstantAlpha,
                      BlendFunction.AlphaFormat};
  if (!UpdateLayeredWindow(handle_, ScreenDC, &WindowPosition, &WindowSize,
                           static_cast<HDC>(composition->Handle()), &SourcePoint, 0, &blend, ULW_ALPHA)) {
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
    Face.TurnHands(*angles);
    RenderClock();
    redraw_gate_.FaceDrawn();
  }
  // On every tick, whether or not a face was drawn.
  CheckHourlyChime();
}

void TfrmMain::RenderClock() {
  WindowPosition = CurrentPosition();
  const TLocalTime t = clock_.Now();
  // The text layer redrawn for t with the fade level of this moment, the
  // composition cleared and painted.
  Face.Compose(t, BlendFunction);
  if (IsWindowVisible(handle_)) UpdateLayered();
}

}  // namespace vesk::app::win32
