#pragma once
// The read-out's and the date's text, always in US English whatever the
// user's locale: month names and the am/pm markers never come from the system.
#include <string>

#include "app/clock_source.h"

namespace vesk::app {

// "hh:nn:ss am/pm": the hour on the 12-hour clock with two digits (12 for
// hour 0 and hour 12), then minute and second, then "am" before noon and "pm"
// from noon on. 21:05:03 gives "09:05:03 pm", 00:00:00 gives "12:00:00 am".
[[nodiscard]] std::string FormatClockTime(const TLocalTime& t);

// "dd mmm": the day of the month with two digits and the abbreviated English
// month name, e.g. "06 Dec".
[[nodiscard]] std::string FormatClockDate(const TLocalTime& t);

}  // namespace vesk::app
