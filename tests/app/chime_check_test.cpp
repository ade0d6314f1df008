// The hourly chime's trigger on 10 ms ticks of a fake clock, with the real
// player over a fake MCI.
#include <gtest/gtest.h>

#include <memory>

#include <vector>

#include "chime_rig.h"

namespace vesk::app {
namespace {

TLocalTime At(int h, int mi, int s, int ms = 0) { return {2026, 12, 7, h, mi, s, ms}; }

// The chime rig, ticked as the window's timer ticks it.
struct Clock : TChimeRig {
  using TChimeRig::TChimeRig;
  std::vector<TLocalTime> opened_at;  // the clock when each Open was sent
  int errors = 0;

  // One tick's chime step; an escaping error counts as one error box.
  void Tick() {
    const int before = Opens();
    const TLocalTime now = clock.Now();
    clock.Set(now);  // the reading above does not count as one of the tick's
    try {
      check.Run(chimes, [this] { StartChime(*player); });
    } catch (const EMCIDeviceError&) {
      ++errors;
    }
    if (Opens() > before) opened_at.push_back(now);
  }
  // Ticks every 10 ms for `ms` milliseconds.
  void Run(std::int64_t ms) {
    for (std::int64_t t = 0; t < ms; t += 10) {
      Tick();
      clock.Advance(10);
    }
  }
};

TEST(ChimeCheck, ChimesOnTheFirstTickOfTheHourOncePerHour) {
  Clock c(At(12, 59, 59, 995));
  c.Run(2 * 60'000);
  ASSERT_EQ(c.opened_at.size(), 1u);
  // The tick after 13:00:00.000: at most one tick (10 ms) late.
  EXPECT_EQ(c.opened_at[0], At(13, 0, 0, 5));
  EXPECT_EQ(c.LastMinute, 1);
  // The sound ends, the device is closed; the next hour opens it again.
  c.device->EndSound(1);
  while (!c.mci.Pending.empty()) {
    c.player->MMNotify(c.mci.Pending.front().Result);
    c.mci.Pending.pop_front();
  }
  EXPECT_FALSE(c.player->IsOpen());
  c.clock.Set(At(13, 59, 59, 990));
  c.Run(100);
  ASSERT_EQ(c.opened_at.size(), 2u);
  EXPECT_EQ(c.opened_at[1], At(14, 0, 0, 0));
}

TEST(ChimeCheck, SilentCases) {
  struct Case {
    const char* what;
    TLocalTime start;
    std::int64_t run_ms;
  };
  const Case cases[] = {
      // LastMinute is already 0 at creation.
      {"started at hh:00:30", At(13, 0, 30), 60'000},
      // Nothing at hh:30 and no chime for the minutes of the hour.
      {"a quarter past to a quarter to", At(13, 15, 0), 30 * 60'000},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Clock clock(c.start);
    clock.Run(c.run_ms);
    EXPECT_EQ(clock.Opens(), 0);
  }
  // Started at hh:00:30, the first chime is at the next full hour.
  Clock late(At(13, 0, 30));
  late.Run(60'000);
  late.clock.Set(At(13, 59, 59, 990));
  late.Run(20);
  EXPECT_EQ(late.Opens(), 1);
}

TEST(ChimeCheck, UncheckedBeforeTheHourSuppressesItCheckingAtTenPastDoesNot) {
  Clock c(At(12, 59, 50));
  c.chimes = false;
  c.Run(10'000);        // to 13:00:00
  c.Run(10'000);        // to 13:00:10, LastMinute follows the clock
  EXPECT_EQ(c.LastMinute, 0);
  c.chimes = true;
  c.Run(60'000);
  EXPECT_EQ(c.Opens(), 0);
  c.clock.Set(At(13, 59, 59, 990));
  c.Run(20);
  EXPECT_EQ(c.Opens(), 1);
}

TEST(ChimeCheck, ATickStraddlingTheHourBetweenItsReadingsLeavesThatHourSilent) {
  Clock c(At(13, 59, 59, 999));
  c.clock.SetStepPerReading(1);  // first reading 13:59, second 14:00
  c.check.Run(true, [&] { StartChime(*c.player); });
  EXPECT_EQ(c.LastMinute, 0);  // from the third reading
  c.clock.SetStepPerReading(0);
  c.Run(1000);
  EXPECT_EQ(c.Opens(), 0);
}

TEST(ChimeCheck, ClockSetBackToTheFullHourChimesAgain) {
  Clock c(At(12, 59, 59, 995));
  c.Run(20);
  c.clock.Set(At(13, 5, 0));
  c.Run(10);
  c.clock.Set(At(13, 0, 0));
  c.Run(10);
  EXPECT_EQ(c.Opens(), 2);
}

TEST(ChimeCheck, AFailedOpenIsReportedOnceAndTriedAgainAtTheNextHour) {
  Clock c(At(12, 59, 59, 995));
  c.mci.OpenError = 275;  // the file is missing
  c.Run(20);
  // The failing tick: the error leaves it, LastMinute keeps its old value.
  EXPECT_EQ(c.errors, 1);
  EXPECT_EQ(c.LastMinute, 59);
  EXPECT_TRUE(c.check.FailedHour(At(13, 30, 0)));
  // The rest of minute 0 (the ticks that run while the box is open
  // included): no new attempt, no new error, LastMinute follows the clock.
  c.Run(2 * 60'000);
  EXPECT_EQ(c.Opens(), 1);
  EXPECT_EQ(c.errors, 1);
  EXPECT_EQ(c.LastMinute, 2);
  // The clock set back to the failed hour's start does not try again.
  c.clock.Set(At(13, 0, 0));
  c.Run(20);
  EXPECT_EQ(c.Opens(), 1);
  // The next hour tries again; the file is back, so it chimes.
  c.mci.OpenError = 0;
  c.clock.Set(At(13, 59, 59, 995));
  c.Run(20);
  EXPECT_EQ(c.Opens(), 2);
  EXPECT_EQ(c.errors, 1);
  EXPECT_TRUE(c.player->IsOpen());
  EXPECT_FALSE(c.check.FailedHour(At(13, 30, 0)));
}

}  // namespace
}  // namespace vesk::app
