#include "app/chime_check.h"

namespace vesk::app {
namespace {

TLocalTime HourOf(const TLocalTime& t) { return TLocalTime{t.Year, t.Month, t.Day, t.Hour, 0, 0, 0}; }

}  // namespace

bool TChimeCheck::FailedHour(const TLocalTime& t) const { return failed_hour_ && *failed_hour_ == HourOf(t); }

void TChimeCheck::Run(bool chimes_checked, const std::function<void()>& chime) {
  const std::int32_t m1 = clock_.Now().Minute;
  const TLocalTime second = clock_.Now();
  const std::int32_t m2 = second.Minute;
  if (m2 != last_minute_ && m1 == 0 && chimes_checked && !FailedHour(second)) {
    try {
      chime();
    } catch (...) {
      failed_hour_ = HourOf(second);
      throw;
    }
    failed_hour_.reset();
  }
  last_minute_ = clock_.Now().Minute;
}

void StartChime(TMediaPlayer& player) {
  player.Open();
  player.Play();
  player.SetNotify(true);
}

void CloseFinishedChime(TMediaPlayer& player) {
  if (player.DeviceID() == 0) return;
  const TMPModes mode = player.Mode();
  if (mode == TMPModes::mpStopped || mode == TMPModes::mpPlaying) player.Close();
}

}  // namespace vesk::app
