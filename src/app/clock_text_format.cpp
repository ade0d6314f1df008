#include "app/clock_text_format.h"

#include <array>

namespace vesk::app {

namespace {

constexpr std::array<const char*, 12> kShortMonthNames = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

void AppendTwoDigits(std::string& out, int value) {
  out.push_back(static_cast<char>('0' + value / 10 % 10));
  out.push_back(static_cast<char>('0' + value % 10));
}

}  // namespace

std::string FormatClockTime(const TLocalTime& t) {
  const int hour12 = t.Hour % 12 == 0 ? 12 : t.Hour % 12;
  std::string s;
  s.reserve(11);
  AppendTwoDigits(s, hour12);
  s.push_back(':');
  AppendTwoDigits(s, t.Minute);
  s.push_back(':');
  AppendTwoDigits(s, t.Second);
  s += t.Hour < 12 ? " am" : " pm";
  return s;
}

std::string FormatClockDate(const TLocalTime& t) {
  std::string s;
  s.reserve(6);
  AppendTwoDigits(s, t.Day);
  s.push_back(' ');
  const int month = t.Month >= 1 && t.Month <= 12 ? t.Month : 1;
  s += kShortMonthNames[static_cast<std::size_t>(month - 1)];
  return s;
}

}  // namespace vesk::app
