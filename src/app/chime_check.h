#pragma once
// The hourly chime's trigger, run at the end of every Timer1 tick: the chime
// sounds when the minute of the hour has changed to 0 since the last tick
// and "Chimes" is checked.
//
// One tick reads the clock three times: m1 and m2, the minutes of the first
// two readings, decide (m2 differs from LastMinute, and m1 is 0); the third
// reading is stored in LastMinute at the end. A chime that fails (its Open
// raises) ends the tick with that error, so LastMinute keeps its old value.
//
// Retries: such a failure is tried and reported once per hour. After a
// failed chime no new attempt is made until the hour of the clock differs
// from the failed one; the ticks in between store LastMinute as usual, and
// the next full hour tries again. (A failure that lasts would otherwise
// raise on every tick of minute 0, error boxes included.)
#include <cstdint>
#include <functional>
#include <optional>

#include "app/clock_source.h"
#include "app/media_player.h"

namespace vesk::app {

class TChimeCheck {
 public:
  // `last_minute` is the window's LastMinute, which this check maintains.
  TChimeCheck(TClockSource& clock, std::int32_t& last_minute) : clock_(clock), last_minute_(last_minute) {}

  // One tick's check. `chime` opens and plays the sound; an error it raises
  // leaves this call (and the tick) after being recorded for the retry rule.
  void Run(bool chimes_checked, const std::function<void()>& chime);

  // Whether the hour of `t` is one whose chime failed (no new attempt).
  [[nodiscard]] bool FailedHour(const TLocalTime& t) const;

 private:
  TClockSource& clock_;
  std::int32_t& last_minute_;
  // The hour (date and hour of the clock) whose chime failed last.
  std::optional<TLocalTime> failed_hour_;
};

// The chime itself: Open (which closes a device still open from before),
// Play, and the notify option armed for the next command, so that the close
// after the sound has ended is notified too.
void StartChime(TMediaPlayer& player);

// The player's notify event: with a device open whose mode is stopped or
// playing, Close; with no device open (the close's own notification)
// nothing.
void CloseFinishedChime(TMediaPlayer& player);

}  // namespace vesk::app
