// The fade-in, the fade-out and the two-phase close, driven tick by tick the
// way the window's fade timer drives them.
#include <gtest/gtest.h>

#include <vector>

#include "app/fade_controller.h"
#include "fake_timer.h"

namespace vesk::app {
namespace {

// The window: its blend record, its fade timer and a record of what every
// tick presented.
struct Window {
  TBlendFunction blend{0, 0, 0, 1};
  testing::TFakeTimer fade_timer;
  TFadeController fade{blend, fade_timer};
  std::vector<int> presented;  // constant alpha presented by each tick
  int close_requests = 0;
  bool closed = false;

  // One fade-timer tick as the window runs it: step, present, and make the
  // close request when the fade-out has ended.
  void Tick() {
    ASSERT_TRUE(fade_timer.Enabled()) << "tick of a stopped timer";
    const bool request_close = fade.Tick();
    presented.push_back(blend.SourceConstantAlpha);
    if (request_close) Close();
  }
  // Ticks while the timer runs; returns the number of ticks.
  int RunTimer(int limit = 1000) {
    int n = 0;
    while (fade_timer.Enabled() && !closed && n < limit) {
      Tick();
      ++n;
    }
    return n;
  }
  bool Close() {
    ++close_requests;
    if (fade.CloseQuery()) closed = true;
    return closed;
  }
};

std::vector<int> Ramp(int from, int to, int step) {
  std::vector<int> v;
  for (int a = from; step > 0 ? a < to : a > to; a += step) v.push_back(a);
  v.push_back(to);
  return v;
}

TEST(FadeController, FadeInRisesByTenAndStopsOnThe27thTick) {
  Window w;
  w.fade.BeginFadeIn();
  EXPECT_TRUE(w.fade_timer.Enabled());
  EXPECT_EQ(w.RunTimer(), 27);
  std::vector<int> expected = Ramp(10, 255, 10);  // 10, 20, ... 250, 255: 26 ticks
  ASSERT_EQ(expected.size(), 26u);
  expected.push_back(255);  // the 27th tick finds 255, stops and presents once more
  EXPECT_EQ(w.presented, expected);
  EXPECT_FALSE(w.fade_timer.Enabled());
  EXPECT_FALSE(w.fade.Closing());
  EXPECT_EQ(w.blend, (TBlendFunction{0, 0, 255, 1}));  // only the constant alpha changes
}

TEST(FadeController, CloseIsRefusedThenFadesOutAndClosesOnThe18thTick) {
  Window w;
  w.fade.BeginFadeIn();
  w.RunTimer();
  w.presented.clear();

  EXPECT_FALSE(w.Close());  // the first request starts the fade-out
  EXPECT_TRUE(w.fade.Closing());
  EXPECT_EQ(w.fade.Alpha(), 255);
  EXPECT_TRUE(w.fade_timer.Enabled());

  EXPECT_EQ(w.RunTimer(), 18);
  std::vector<int> expected = Ramp(240, 0, -15);  // 240 ... 15, 0: 17 ticks
  ASSERT_EQ(expected.size(), 17u);
  expected.push_back(0);  // the 18th presents at 0 and asks to close
  EXPECT_EQ(w.presented, expected);
  EXPECT_EQ(w.close_requests, 2);
  EXPECT_TRUE(w.closed);
  EXPECT_FALSE(w.fade_timer.Enabled());
}

TEST(FadeController, CloseDuringFadeInJumpsTo255AndFadesOut) {
  Window w;
  w.fade.BeginFadeIn();
  for (int i = 0; i < 5; ++i) w.Tick();
  ASSERT_EQ(w.fade.Alpha(), 50);
  w.presented.clear();

  EXPECT_FALSE(w.Close());
  EXPECT_EQ(w.fade.Alpha(), 255);
  w.Tick();
  EXPECT_EQ(w.presented.front(), 240);  // the fade-out starts from the top at once
  EXPECT_EQ(w.RunTimer(), 17);
  EXPECT_TRUE(w.closed);
}

TEST(FadeController, SecondCloseDuringFadeOutIsAllowedAtOnce) {
  Window w;
  w.fade.BeginFadeIn();
  w.RunTimer();
  EXPECT_FALSE(w.Close());
  w.Tick();
  w.Tick();
  EXPECT_TRUE(w.Close());
  EXPECT_EQ(w.fade.Alpha(), 225);  // closed without finishing the fade
}

TEST(FadeController, CloseBeforeAnyTickFadesOutFromTheTop) {
  Window w;
  w.fade.BeginFadeIn();
  EXPECT_FALSE(w.Close());
  EXPECT_EQ(w.RunTimer(), 18);
  EXPECT_TRUE(w.closed);
}

// The end-of-session query goes through the same close query: the first is
// refused, and a query that arrives again during the fade-out is accepted.
TEST(FadeController, EndOfSessionQueryRefusedOnlyTheFirstTime) {
  Window w;
  w.fade.BeginFadeIn();
  w.RunTimer();
  EXPECT_FALSE(w.fade.CloseQuery());
  EXPECT_TRUE(w.fade.CloseQuery());
  EXPECT_TRUE(w.fade.CloseQuery());
}

TEST(FadeController, AlphaAboveTheTopStillStopsTheFadeIn) {
  Window w;
  w.blend.SourceConstantAlpha = 250;
  w.fade.BeginFadeIn();
  w.Tick();
  EXPECT_EQ(w.fade.Alpha(), 255);
  EXPECT_TRUE(w.fade_timer.Enabled());
  w.Tick();
  EXPECT_FALSE(w.fade_timer.Enabled());
}

}  // namespace
}  // namespace vesk::app
