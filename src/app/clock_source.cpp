#include "app/clock_source.h"

#include <chrono>
#include <ctime>

#include "app/calendar.h"

namespace vesk::app {

TLocalTime TSystemClockSource::Now() {
  const auto now = std::chrono::system_clock::now();
  const auto since_epoch = now.time_since_epoch();
  const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(since_epoch);
  const auto millis = std::chrono::duration_cast<std::chrono::milliseconds>(since_epoch - seconds);
  const std::time_t whole = static_cast<std::time_t>(seconds.count());
  std::tm local{};
#ifdef _WIN32
  localtime_s(&local, &whole);
#else
  localtime_r(&whole, &local);
#endif
  TLocalTime t;
  t.Year = local.tm_year + 1900;
  t.Month = local.tm_mon + 1;
  t.Day = local.tm_mday;
  t.Hour = local.tm_hour;
  t.Minute = local.tm_min;
  // A leap second (60) is shown as the last ordinary second of the minute.
  t.Second = local.tm_sec > 59 ? 59 : local.tm_sec;
  t.Millisecond = static_cast<std::int32_t>(millis.count());
  return t;
}

TLocalTime TFakeClockSource::Now() {
  const TLocalTime t = now_;
  ++readings_;
  if (step_ms_ != 0) now_ = AddMilliseconds(now_, step_ms_);
  return t;
}

void TFakeClockSource::Advance(std::int64_t milliseconds) { now_ = AddMilliseconds(now_, milliseconds); }

TLocalTime AddMilliseconds(const TLocalTime& t, std::int64_t milliseconds) {
  constexpr std::int64_t kMsPerDay = 86'400'000;
  std::int64_t days = DaysFromCivil(t.Year, t.Month, t.Day);
  std::int64_t ms_of_day =
      ((static_cast<std::int64_t>(t.Hour) * 60 + t.Minute) * 60 + t.Second) * 1000 + t.Millisecond +
      milliseconds;
  // Floor division, so negative steps borrow whole days.
  std::int64_t carry = ms_of_day / kMsPerDay;
  ms_of_day %= kMsPerDay;
  if (ms_of_day < 0) {
    ms_of_day += kMsPerDay;
    --carry;
  }
  days += carry;
  const TCivilDate date = CivilFromDays(days);
  TLocalTime r;
  r.Year = date.Year;
  r.Month = date.Month;
  r.Day = date.Day;
  r.Millisecond = static_cast<std::int32_t>(ms_of_day % 1000);
  const std::int64_t secs = ms_of_day / 1000;
  r.Second = static_cast<std::int32_t>(secs % 60);
  r.Minute = static_cast<std::int32_t>(secs / 60 % 60);
  r.Hour = static_cast<std::int32_t>(secs / 3600);
  return r;
}

}  // namespace vesk::app
