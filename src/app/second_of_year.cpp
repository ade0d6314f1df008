#include "app/second_of_year.h"

#include "app/calendar.h"

namespace vesk::app {

std::uint32_t SecondOfYear(const TLocalTime& t) noexcept {
  const auto d = static_cast<std::uint32_t>(DayOfYear(t.Year, t.Month, t.Day));
  return (((d - 1) * 24 + static_cast<std::uint32_t>(t.Hour)) * 60 + static_cast<std::uint32_t>(t.Minute)) * 60 +
         static_cast<std::uint32_t>(t.Second);
}

}  // namespace vesk::app
