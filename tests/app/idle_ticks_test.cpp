// Timer1 between two seconds: the whole program on a simulated system timer
// for ten idle minutes (the wakeups, how late each second is presented, the
// chime at the full hour), ticks that come early or late, and the time
// changing under the clock.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "app/second_of_year.h"
#include "app/second_timer.h"
#include "clock_program_rig.h"

namespace vesk::app::testing {
namespace {

bool IsPresent(const std::string& line) { return line.rfind("Present ", 0) == 0; }

// The rig started at `start` and run through its fade-in; the log emptied.
void StartIdle(TClockProgramRig& rig, std::int64_t grid_us = 0) {
  rig.Start();
  rig.Run(2100, grid_us);
  ASSERT_FALSE(rig.fade_timer.Enabled());
  rig.log.clear();
}

TEST(IdleTicks, TenMinutesOneTickJustAfterEachSecond) {
  // The default interrupt period of the system, a raised resolution, and
  // an exact timer.
  for (const std::int64_t grid_us : {15'625, 1'000, 0}) {
    SCOPED_TRACE("timer grid " + std::to_string(grid_us) + " us");
    TClockProgramRig rig(TLocalTime{2026, 12, 9, 10, 50, 0, 0});
    StartIdle(rig, grid_us);
    ASSERT_TRUE(rig.program->PopupMenu1.Checked("Chimes1"));
    const std::int64_t from_us = rig.now_us;
    int ticks = 0;
    int presents = 0;
    std::int64_t last_second = -1;
    std::int64_t worst_late_us = 0;
    int out_of_order = 0;  // a second skipped or presented twice
    std::int64_t chime_open_us = -1;
    std::size_t seen = 0;
    rig.Run(10 * 60'000, grid_us, [&] {
      ++ticks;
      for (; seen < rig.log.size(); ++seen) {
        if (!IsPresent(rig.log[seen])) continue;
        ++presents;
        const std::int64_t second = rig.now_us / 1'000'000;
        if (last_second >= 0 && second != last_second + 1) ++out_of_order;
        last_second = second;
        worst_late_us = std::max(worst_late_us, rig.now_us % 1'000'000);
      }
      if (chime_open_us < 0 && !rig.mci.Calls.empty()) chime_open_us = rig.now_us;
    });
    const double seconds = static_cast<double>(rig.now_us - from_us) / 1e6;
    EXPECT_LE(ticks / seconds, 1.1) << ticks << " ticks";
    EXPECT_EQ(presents, 600);
    EXPECT_EQ(out_of_order, 0);
    EXPECT_LE(worst_late_us, 20'000);
    // 11:00:00 lies 10 minutes after the start.
    ASSERT_GE(chime_open_us, 0) << "no chime";
    EXPECT_EQ(rig.mci.Calls.front().Command, kMciOpen);
    EXPECT_GE(chime_open_us, 600'000'000);
    EXPECT_LE(chime_open_us, 600'020'000);
  }
}

// One tick at a given moment, in the steady state after the second 10:50:01
// was drawn: what it presents, and when it arms the next.
TEST(IdleTicks, EarlyLateAndChangedTime) {
  struct Case {
    const char* what;
    std::int64_t jump_ms;  // the clock moved this far (from 10:50:01.005)
    bool time_changed;     // the system said so (else a timer tick)
    bool presents;
  };
  const Case cases[] = {
      {"a tick 10 ms before the boundary: nothing drawn, armed for the rest", 985, false, false},
      {"a tick 400 ms late: the new second at once, the next at its boundary", 1395, false, true},
      {"the time set forward an hour", 3'600'000, true, true},
      {"the time set back five seconds", -5'000, true, true},
      {"a zone two hours west", -7'200'000, true, true},
      {"a resume after three hours of sleep", 10'800'517, true, true},
      {"a setting change within the same second: only armed again", 300, true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TClockProgramRig rig(TLocalTime{2026, 12, 9, 10, 49, 59, 0});
    StartIdle(rig);
    rig.clock.Set(TLocalTime{2026, 12, 9, 10, 50, 1, 5});
    rig.clock.Advance(c.jump_ms);
    const TLocalTime now = rig.clock.Now();
    if (c.time_changed) {
      rig.program->TimeChanged();
    } else {
      rig.program->Timer1Timer();
    }
    int presents = 0;
    for (const std::string& line : rig.log) presents += IsPresent(line) ? 1 : 0;
    EXPECT_EQ(presents, c.presents ? 1 : 0);
    EXPECT_EQ(rig.program->LastSecondOfYear(), static_cast<std::int32_t>(SecondOfYear(now)));
    ASSERT_FALSE(rig.log.empty());
    EXPECT_EQ(rig.log.back(), "Timer1 every " + std::to_string(NextSecondDelay(now)));
  }
}

}  // namespace
}  // namespace vesk::app::testing
