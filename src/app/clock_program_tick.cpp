// The clock program on its timers: the per-second face, its presentation,
// the fades and the hourly chime.
#include "app/clock_program.h"

#include "app/second_timer.h"
#include "base/scope_exit.h"

namespace vesk::app {

void TClockProgram::Timer1Timer() {
  // Armed whatever the tick does: a failing face or chime must not stop the
  // clock. (An error of the arming itself is dropped while the tick's own
  // error is reported; the timer then runs on its old period.)
  const TScopeExit arm([this] { ArmTimer1ForNextSecond(); });
  const std::optional<THandAngles> angles = redraw_gate_.BeginTick();
  if (angles) {
    Face.TurnHands(*angles);
    RenderClock();
    redraw_gate_.FaceDrawn();
  }
  // On every tick, whether or not a face was drawn.
  CheckHourlyChime();
}

void TClockProgram::ArmTimer1ForNextSecond() {
  if (system_.Timer1.Enabled()) system_.Timer1.SetInterval(NextSecondDelay(clock_.Last()));
}

void TClockProgram::TimeChanged() {
  if (system_.Timer1.Enabled()) Timer1Timer();
}

void TClockProgram::RenderClock() {
  const TRect bounds = window_.Bounds();
  window_position_ = TPoint{bounds.Left, bounds.Top};
  const TLocalTime t = clock_.Now();
  // The text layer redrawn for t with the fade level of this moment, the
  // composition cleared and painted.
  Face.Compose(t, blend_function_);
  if (window_.Visible()) UpdateLayered();
}

void TClockProgram::UpdateLayered() {
  const raster::TBitmap32* composition = Face.CompositionBitmap.get();
  if (composition == nullptr || composition->Empty()) return;
  // Reported (at most one box at a time) and otherwise ignored: the next
  // update tries again.
  const TSystemError error =
      window_.Present(*composition, blend_function_, window_position_, window_size_, source_point_);
  if (error != 0) window_.ShowSystemError(error);
}

void TClockProgram::fadeTimerTimer() {
  const bool close_now = fade_.Tick();
  if (window_.Visible()) {
    const TRect bounds = window_.Bounds();
    window_position_ = TPoint{bounds.Left, bounds.Top};
    UpdateLayered();
  }
  if (close_now) Close();
}

void TClockProgram::CheckHourlyChime() {
  chime_check_.Run(PopupMenu1.Checked("Chimes1"), [this] { StartChime(MediaPlayer1); });
}

void TClockProgram::MediaNotify(std::uint32_t flags) { MediaPlayer1.MMNotify(flags); }

void TClockProgram::MediaPlayer1Notify() { CloseFinishedChime(MediaPlayer1); }

}  // namespace vesk::app
