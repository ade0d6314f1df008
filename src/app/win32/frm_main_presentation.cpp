// The per-second face, the layered-window update and the fades.
#include "app/face_text_layout.h"
#include "app/win32/application.h"
#include "app/win32/frm_main.h"
#include "imaging/alpha_text.h"

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

void TfrmMain::DrawAlphaText(int x, int y, std::string_view text, const platform::FontDesc& font,
                             raster::TBitmap32& destination) {
  if (destination.Surface() == nullptr) return;
  imaging::DrawAlphaText(x, y, text, font, *destination.Surface(),
                         platform::BlendRecord{BlendFunction.BlendOp, BlendFunction.BlendFlags,
                                               BlendFunction.SourceConstantAlpha, BlendFunction.AlphaFormat});
  destination.Changed();
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
    TextLayer->SetScaled(true);
    HourHand->SetAngle(angles->Hour);
    MinuteHand->SetAngle(angles->Minute);
    SecondHand->SetAngle(angles->Second);
    RenderClock();
    redraw_gate_.FaceDrawn();
  }
  // TODO: the hourly chime check runs here on every tick.
}

void TfrmMain::RenderClock() {
  WindowPosition = CurrentPosition();
  const TLocalTime t = clock_.Now();
  raster::TBitmap32& text = TextLayer->Bitmap();
  text.Clear(0);
  // Ghost segments, the time over them, the label, the date centred by its
  // measured width.
  const TFaceTextLayout items = MakeFaceTextLayout(t, [&text](const TFaceTextItem& item) {
    text.Font().Assign(item.Font);
    return text.TextWidth(item.Text);
  });
  for (const TFaceTextItem& item : items) {
    text.Font().Assign(item.Font);
    DrawAlphaText(item.Position.X, item.Position.Y, item.Text, item.Font, text);
  }
  CompositionBitmap->Clear(0);
  Image321->PaintTo(*CompositionBitmap, raster::TRect{0, 0, WindowSize.cx, WindowSize.cy});
  if (IsWindowVisible(handle_)) UpdateLayered();
}

}  // namespace vesk::app::win32
