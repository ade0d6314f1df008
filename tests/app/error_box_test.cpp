// The error text rule and the throttle that keeps boxes from piling up.
#include <gtest/gtest.h>

#include "app/error_box_throttle.h"
#include "app/error_text.h"

namespace vesk::app {
namespace {

TEST(ErrorMessageText, FullStopOnlyAfterCharactersSortingAfterIt) {
  struct Row {
    const char* message;
    const char* expected;
  };
  const Row rows[] = {
      {"Cannot open file \"C:\\clock\\face\\pma.png\". The system cannot find the file specified",
       "Cannot open file \"C:\\clock\\face\\pma.png\". The system cannot find the file specified."},
      {"Failed to set data for 'VeskClock'", "Failed to set data for 'VeskClock'"},  // ' sorts before .
      {"Error 5", "Error 5."},
      {"Done.", "Done."},
      {"Stop!", "Stop!"},
      {"(see above)", "(see above)"},
      {"a/", "a/."},  // '/' is the character right after '.'
      {"a-", "a-"},   // '-' is right before it
      {"", ""},
      {"caf\xC3\xA9", "caf\xC3\xA9."},  // non-ASCII sorts after '.'
  };
  for (const Row& r : rows) EXPECT_EQ(ErrorMessageText(r.message), r.expected) << r.message;
}

TEST(ErrorBoxThrottle, OneBoxAtATimeForALastingFailure) {
  TErrorBoxThrottle throttle;
  EXPECT_TRUE(throttle.ShouldShow("1400", 0));
  // The box is open; the failure repeats every 10 ms behind it.
  for (int t = 10; t <= 5000; t += 10) EXPECT_FALSE(throttle.ShouldShow("1400", t));
  // Nor is another failure stacked on top of the open box.
  EXPECT_FALSE(throttle.ShouldShow("5", 5000));
  EXPECT_EQ(throttle.Suppressed(), 501);
  throttle.BoxClosed(6000);
  EXPECT_FALSE(throttle.BoxOpen());
  // The same failure stays quiet for a minute after the dismissal ...
  EXPECT_FALSE(throttle.ShouldShow("1400", 6010));
  EXPECT_FALSE(throttle.ShouldShow("1400", 65'999));
  // ... and is shown again after it.
  EXPECT_TRUE(throttle.ShouldShow("1400", 66'000));
}

TEST(ErrorBoxThrottle, ADifferentFailureIsShownOnceTheBoxIsClosed) {
  TErrorBoxThrottle throttle;
  EXPECT_TRUE(throttle.ShouldShow("1400", 0));
  throttle.BoxClosed(100);
  EXPECT_TRUE(throttle.ShouldShow("8", 110));
  throttle.BoxClosed(200);
  // The minute now counts for "8"; "1400" is a new failure again.
  EXPECT_FALSE(throttle.ShouldShow("8", 300));
  EXPECT_TRUE(throttle.ShouldShow("1400", 300));
}

TEST(ErrorBoxThrottle, CustomInterval) {
  TErrorBoxThrottle throttle(1000);
  EXPECT_TRUE(throttle.ShouldShow("x", 0));
  throttle.BoxClosed(0);
  EXPECT_FALSE(throttle.ShouldShow("x", 999));
  EXPECT_TRUE(throttle.ShouldShow("x", 1000));
}

}  // namespace
}  // namespace vesk::app
