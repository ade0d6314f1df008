// The clock program's answers to the user: dragging, the menu and its
// commands, the notification-area icon, and a move to a monitor of another
// scale.
#include "app/clock_program.h"

namespace vesk::app {

void TClockProgram::MouseMove(const TMouseButtons& buttons, TPoint at) { FormMouseMove(buttons, at); }

void TClockProgram::FormMouseMove(const TMouseButtons& buttons, TPoint /*at*/) {
  // The system's move loop moves the window with the mouse until the button
  // is released; the new place reaches the presentation at the next update.
  if (ShouldStartWindowMove(buttons)) window_.BeginMove();
}

void TClockProgram::ContextMenu() {
  // Left-aligned at the mouse, tracking the right button; the clock becomes
  // the foreground window first, so a click elsewhere closes the menu and
  // the keyboard reaches it.
  window_.PopupMenuAtCursor(PopupMenu1);
}

void TClockProgram::Command(std::uint16_t id) {
  // An automatic check mark flips, then the item's handler runs.
  PopupMenu1.Click(id);
}

void TClockProgram::TTrayMenu::Popup(int x, int y) {
  program_.window_.TrackMenu(program_.PopupMenu1, TPoint{x, y});
}

bool TClockProgram::TrayNotify(std::uint32_t message, std::uintptr_t wparam, std::intptr_t lparam) {
  return TrayIcon1 != nullptr && TrayIcon1->HandleMessage(message, wparam, lparam);
}

void TClockProgram::ShellRestarted() {
  // Without its icon a hidden clock could not be shown again.
  if (TrayIcon1 != nullptr) TrayIcon1->ShellRecreated();
}

void TClockProgram::TrayIcon1Click(desktop::TMouseButton /*button*/, desktop::TShiftState /*shift*/, int /*x*/,
                                   int /*y*/) {
  // Hides a visible clock; shows a hidden one with a fresh face at once, in
  // the foreground. Nothing else changes: faces are composed and fades run
  // on while the window is hidden.
  if (window_.Visible()) {
    window_.Hide();
    return;
  }
  window_.ShowNormal();
  RenderClock();
  window_.BringToForeground();
}

void TClockProgram::ApplicationMinimize() { window_.Hide(); }

void TClockProgram::BringForward() {
  if (!window_.Visible()) {
    window_.ShowNormal();
    RenderClock();
  }
  window_.BringToForeground();
}

void TClockProgram::DpiChanged(std::int32_t pixels_per_inch, const TRect& suggested) {
  const TFaceScale scale = FaceScaleFor(pixels_per_inch);
  const TRect old = window_.Bounds();
  const std::int32_t old_width = RectWidth(old);
  const std::int32_t old_height = RectHeight(old);
  if (scale == Face.Scale() || !Face.Built()) {
    window_.SetBounds(TRect{suggested.Left, suggested.Top, suggested.Left + old_width, suggested.Top + old_height});
    return;
  }
  // The face again, at the new scale; the old one is dropped first.
  Face.Reset();
  Face.SetScale(scale);
  Face.Build(SkinFolder());
  const std::int32_t width = Face.Width();
  const std::int32_t height = Face.Height();
  window_size_ = TSize{width, height};

  // Where the suggestion puts it; when the cursor holds the face (a drag
  // across monitors), the point of the face under it stays under it.
  std::int32_t left = suggested.Left;
  std::int32_t top = suggested.Top;
  const std::optional<TPoint> cursor = window_.CursorPos();
  if (cursor && PointInRect(old, *cursor) && old_width > 0 && old_height > 0) {
    left = cursor->X - MulDiv(cursor->X - old.Left, width, old_width);
    top = cursor->Y - MulDiv(cursor->Y - old.Top, height, old_height);
  }
  window_.SetBounds(TRect{left, top, left + width, top + height});
  const TRect now = window_.Bounds();
  window_position_ = TPoint{now.Left, now.Top};
  // The next tick draws the face at once, at the new scale.
  redraw_gate_.Reset();
}

}  // namespace vesk::app
