// When a tick draws a new face.
#include <gtest/gtest.h>

#include "app/face_redraw_gate.h"

namespace vesk::app {
namespace {

TLocalTime At(int y, int mo, int d, int h, int mi, int s, int ms = 0) { return {y, mo, d, h, mi, s, ms}; }

// Runs one tick; returns whether it drew.
bool Tick(TFaceRedrawGate& gate) {
  if (!gate.BeginTick()) return false;
  gate.FaceDrawn();
  return true;
}

TEST(FaceRedrawGate, FirstTickDrawsThenOncePerSecond) {
  TFakeClockSource clock(At(2026, 3, 4, 10, 0, 0, 0));
  TFaceRedrawGate gate(clock);
  EXPECT_EQ(gate.LastSecondOfYear(), -1);
  int drawn = 0;
  for (int tick = 0; tick < 300; ++tick) {  // three seconds of 10 ms ticks
    if (Tick(gate)) ++drawn;
    clock.Advance(10);
  }
  EXPECT_EQ(drawn, 3);
}

TEST(FaceRedrawGate, AnglesComeFromTheFirstReading) {
  TFakeClockSource clock(At(2026, 3, 4, 13, 30, 0, 0));
  TFaceRedrawGate gate(clock);
  const auto angles = gate.BeginTick();
  ASSERT_TRUE(angles);
  EXPECT_EQ(angles->Hour, -405.0f);
  EXPECT_EQ(angles->Minute, -180.0f);
}

TEST(FaceRedrawGate, ClockSetBackAndChangeOfYearRedraw) {
  TFakeClockSource clock(At(2026, 3, 4, 10, 0, 5));
  TFaceRedrawGate gate(clock);
  ASSERT_TRUE(Tick(gate));
  EXPECT_FALSE(Tick(gate));
  clock.Set(At(2026, 3, 4, 10, 0, 4));  // one second back
  EXPECT_TRUE(Tick(gate));

  clock.Set(At(2026, 12, 31, 23, 59, 59));
  EXPECT_TRUE(Tick(gate));
  EXPECT_EQ(gate.LastSecondOfYear(), 31'535'999);
  clock.Set(At(2027, 1, 1, 0, 0, 0));
  EXPECT_TRUE(Tick(gate));
  EXPECT_EQ(gate.LastSecondOfYear(), 0);
}

// A face that takes long enough for the clock to move on records the next
// second as drawn: that second is skipped, the one after it is drawn.
TEST(FaceRedrawGate, SlowFaceSkipsTheNextSecond) {
  TFakeClockSource clock(At(2026, 3, 4, 10, 0, 0, 900));
  TFaceRedrawGate gate(clock);
  ASSERT_TRUE(gate.BeginTick());
  clock.Advance(200);  // drawing took 200 ms: now 10:00:01.100
  gate.FaceDrawn();
  EXPECT_FALSE(Tick(gate));  // 10:00:01 counts as drawn
  clock.Advance(900);
  EXPECT_TRUE(Tick(gate));
}

// The angles are taken from the reading before the compared one: a tick at
// the very end of a second shows the hands of that second.
TEST(FaceRedrawGate, ReadingsStraddlingASecond) {
  TFakeClockSource clock(At(2026, 3, 4, 10, 0, 59, 999));
  clock.SetStepPerReading(1);
  TFaceRedrawGate gate(clock);
  const auto angles = gate.BeginTick();
  ASSERT_TRUE(angles);
  EXPECT_EQ(angles->Second, -354.0f);
  gate.FaceDrawn();
  EXPECT_EQ(gate.LastSecondOfYear(), static_cast<std::int32_t>((62u * 24 + 10) * 3600 + 60));
}

}  // namespace
}  // namespace vesk::app
