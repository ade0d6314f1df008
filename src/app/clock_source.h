#pragma once
// Where the clock reads the local date and time. Everything time-dependent
// takes a TClockSource, so tests can stand at 12:59:59.990 or at the change
// of year.
#include <cstdint>

namespace vesk::app {

// A local calendar date and wall-clock time, as the system reports it.
struct TLocalTime {
  std::int32_t Year = 2000;        // four digits
  std::int32_t Month = 1;          // 1..12
  std::int32_t Day = 1;            // 1..31
  std::int32_t Hour = 0;           // 0..23
  std::int32_t Minute = 0;         // 0..59
  std::int32_t Second = 0;         // 0..59
  std::int32_t Millisecond = 0;    // 0..999
  friend constexpr bool operator==(const TLocalTime&, const TLocalTime&) = default;
};

class TClockSource {
 public:
  virtual ~TClockSource() = default;
  // The local date and time of this moment.
  [[nodiscard]] virtual TLocalTime Now() = 0;
};

// The host's local time (the C library's local time with the system clock's
// milliseconds).
class TSystemClockSource final : public TClockSource {
 public:
  [[nodiscard]] TLocalTime Now() override;
};

// Another clock, passed through, with its last reading kept: the clock
// program arms Timer1 from the last reading of each tick without reading the
// clock once more.
class TLastReadingClockSource final : public TClockSource {
 public:
  explicit TLastReadingClockSource(TClockSource& clock) : clock_(clock) {}
  [[nodiscard]] TLocalTime Now() override { return last_ = clock_.Now(); }
  [[nodiscard]] const TLocalTime& Last() const { return last_; }

 private:
  TClockSource& clock_;
  TLocalTime last_;
};

// A clock that stands still until told otherwise. Each reading can also be
// made to advance the time by a fixed step, to model the clock moving on
// between the readings of one tick.
class TFakeClockSource final : public TClockSource {
 public:
  explicit TFakeClockSource(const TLocalTime& start) : now_(start) {}

  [[nodiscard]] TLocalTime Now() override;

  void Set(const TLocalTime& t) { now_ = t; }
  // Milliseconds added after every reading (0: the clock stands still).
  void SetStepPerReading(std::int64_t milliseconds) { step_ms_ = milliseconds; }
  void Advance(std::int64_t milliseconds);
  [[nodiscard]] int Readings() const { return readings_; }

 private:
  TLocalTime now_;
  std::int64_t step_ms_ = 0;
  int readings_ = 0;
};

// Adds a number of milliseconds (either sign) to a local time, carrying
// through seconds, minutes, hours, days, months and years of the Gregorian
// calendar.
[[nodiscard]] TLocalTime AddMilliseconds(const TLocalTime& t, std::int64_t milliseconds);

}  // namespace vesk::app
