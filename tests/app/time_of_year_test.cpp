// Calendar arithmetic, the second of the year and the fake clock's stepping.
#include <gtest/gtest.h>

#include "app/calendar.h"
#include "app/clock_source.h"
#include "app/second_of_year.h"

namespace vesk::app {
namespace {

TLocalTime At(int y, int mo, int d, int h, int mi, int s, int ms = 0) { return {y, mo, d, h, mi, s, ms}; }

TEST(SecondOfYear, WorkedExamples) {
  struct Row {
    TLocalTime t;
    std::uint32_t expected;
  };
  const Row rows[] = {
      {At(2023, 1, 1, 0, 0, 0), 0},
      {At(2023, 1, 1, 0, 0, 1, 999), 1},               // milliseconds do not count
      {At(2023, 1, 2, 0, 0, 0), 86'400},
      {At(2023, 3, 1, 0, 0, 0), 59 * 86'400u},         // no 29 February
      {At(2024, 3, 1, 0, 0, 0), 60 * 86'400u},         // leap year
      {At(2023, 12, 31, 23, 59, 59), 31'535'999},
      {At(2024, 12, 31, 23, 59, 59), 31'622'399},      // the largest value
      {At(2026, 12, 7, 13, 30, 15), (340u * 24 + 13) * 3600 + 30 * 60 + 15},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(SecondOfYear(r.t), r.expected)
        << r.t.Year << "-" << r.t.Month << "-" << r.t.Day << " " << r.t.Hour << ":" << r.t.Minute << ":" << r.t.Second;
  }
}

// Walking day by day through four centuries (two leap-century rules) with a
// plain day counter must agree with the era arithmetic in both directions.
TEST(Calendar, CivilDaysRoundTripAgainstAPlainWalk) {
  std::int64_t days = DaysFromCivil(1899, 1, 1);
  int day_of_year = 1;
  for (int y = 1899; y <= 2301; ++y) {
    for (int m = 1; m <= 12; ++m) {
      for (int d = 1; d <= DaysInMonth(y, m); ++d) {
        ASSERT_EQ(DaysFromCivil(y, m, d), days) << y << "-" << m << "-" << d;
        const TCivilDate back = CivilFromDays(days);
        ASSERT_TRUE(back.Year == y && back.Month == m && back.Day == d) << days;
        ASSERT_EQ(DayOfYear(y, m, d), day_of_year);
        ++days;
        ++day_of_year;
      }
    }
    day_of_year = 1;
  }
  EXPECT_EQ(DaysFromCivil(1970, 1, 1), 0);
  EXPECT_EQ(DaysFromCivil(1969, 12, 31), -1);
}

TEST(AddMilliseconds, CarriesThroughEveryField) {
  EXPECT_EQ(AddMilliseconds(At(2024, 12, 31, 23, 59, 59, 990), 10), At(2025, 1, 1, 0, 0, 0, 0));
  EXPECT_EQ(AddMilliseconds(At(2025, 1, 1, 0, 0, 0, 0), -1), At(2024, 12, 31, 23, 59, 59, 999));
  EXPECT_EQ(AddMilliseconds(At(2024, 2, 28, 12, 0, 0), 86'400'000), At(2024, 2, 29, 12, 0, 0));
  EXPECT_EQ(AddMilliseconds(At(2023, 2, 28, 12, 0, 0), 86'400'000), At(2023, 3, 1, 12, 0, 0));
  EXPECT_EQ(AddMilliseconds(At(2023, 6, 15, 12, 59, 59, 500), 3 * 86'400'000LL + 500),
            At(2023, 6, 18, 13, 0, 0, 0));
}

TEST(FakeClockSource, StandsStillOrStepsPerReading) {
  TFakeClockSource clock(At(2023, 5, 5, 12, 59, 59, 990));
  EXPECT_EQ(clock.Now(), clock.Now());
  clock.SetStepPerReading(5);
  EXPECT_EQ(clock.Now().Millisecond, 990);
  EXPECT_EQ(clock.Now().Millisecond, 995);
  EXPECT_EQ(clock.Now(), At(2023, 5, 5, 13, 0, 0, 0));
  EXPECT_EQ(clock.Readings(), 5);
}

TEST(SystemClockSource, GivesAPlausibleLocalTime) {
  TSystemClockSource clock;
  const TLocalTime t = clock.Now();
  EXPECT_GE(t.Year, 2020);
  EXPECT_TRUE(t.Month >= 1 && t.Month <= 12 && t.Day >= 1 && t.Day <= DaysInMonth(t.Year, t.Month));
  EXPECT_TRUE(t.Hour >= 0 && t.Hour < 24 && t.Minute >= 0 && t.Minute < 60 && t.Second >= 0 && t.Second < 60);
  EXPECT_TRUE(t.Millisecond >= 0 && t.Millisecond < 1000);
}

}  // namespace
}  // namespace vesk::app
