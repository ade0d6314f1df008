#pragma once
// Gregorian calendar arithmetic on plain integers.
#include <cstdint>

namespace vesk::app {

[[nodiscard]] constexpr bool IsLeapYear(std::int32_t year) noexcept {
  return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

// 28..31; month is 1..12.
[[nodiscard]] constexpr std::int32_t DaysInMonth(std::int32_t year, std::int32_t month) noexcept {
  constexpr std::int32_t kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

// 1 on 1 January, 365 or 366 on 31 December.
[[nodiscard]] constexpr std::int32_t DayOfYear(std::int32_t year, std::int32_t month,
                                               std::int32_t day) noexcept {
  std::int32_t d = day;
  for (std::int32_t m = 1; m < month; ++m) d += DaysInMonth(year, m);
  return d;
}

// Days since 1970-01-01 (negative before it) of a Gregorian date.
[[nodiscard]] std::int64_t DaysFromCivil(std::int32_t year, std::int32_t month,
                                         std::int32_t day) noexcept;

struct TCivilDate {
  std::int32_t Year = 1970;
  std::int32_t Month = 1;
  std::int32_t Day = 1;
};

// The inverse of DaysFromCivil.
[[nodiscard]] TCivilDate CivilFromDays(std::int64_t days) noexcept;

static_assert(IsLeapYear(2024) && !IsLeapYear(1900) && IsLeapYear(2000) && !IsLeapYear(2023));
static_assert(DayOfYear(2024, 12, 31) == 366 && DayOfYear(2023, 12, 31) == 365);
static_assert(DayOfYear(2023, 3, 1) == 60 && DayOfYear(2024, 3, 1) == 61);

}  // namespace vesk::app
