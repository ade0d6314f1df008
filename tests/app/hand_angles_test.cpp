// Hand angles: worked examples and correct rounding to single over the day.
#include <gtest/gtest.h>

#include <cmath>

#include "app/hand_angles.h"

namespace vesk::app {
namespace {

TEST(HandAngles, Midnight) {
  const THandAngles a = HandAngles(0, 0, 0);
  EXPECT_EQ(a.Hour, 0.0f);
  EXPECT_EQ(a.Minute, 0.0f);
  EXPECT_EQ(a.Second, 0.0f);
}

TEST(HandAngles, AfternoonHourAngleIsNotReduced) {
  const THandAngles half_past_one = HandAngles(13, 30, 0);
  EXPECT_EQ(half_past_one.Hour, -405.0f);
  EXPECT_EQ(half_past_one.Minute, -180.0f);
  EXPECT_EQ(half_past_one.Second, 0.0f);

  const THandAngles last = HandAngles(23, 59, 59);
  EXPECT_EQ(last.Hour, -719.5f);
  EXPECT_EQ(last.Second, -354.0f);
  EXPECT_EQ(HandAngles(12, 0, 0).Hour, -360.0f);
}

// The exact angles are -(60h + m) / 2 and -(60m + s) / 10. The hour angle is
// a multiple of 0.5 and must come out exact; the minute angle must be the
// single nearest to the exact tenth (extended-precision intermediates leave
// no room for a double rounding that lands on the wrong neighbour).
TEST(HandAngles, EveryReadingOfTheDayIsCorrectlyRounded) {
  for (int h = 0; h < 24; ++h) {
    for (int m = 0; m < 60; ++m) {
      for (int s = 0; s < 60; ++s) {
        const THandAngles a = HandAngles(h, m, s);
        ASSERT_EQ(a.Hour, -static_cast<float>(60 * h + m) * 0.5f) << h << ":" << m;
        ASSERT_EQ(a.Second, static_cast<float>(-6 * s));
        const long double exact = -static_cast<long double>(60 * m + s) / 10.0L;
        const float below = std::nextafter(a.Minute, -1.0e9f);
        const float above = std::nextafter(a.Minute, 1.0e9f);
        const long double err = std::fabs(static_cast<long double>(a.Minute) - exact);
        ASSERT_LE(err, std::fabs(static_cast<long double>(below) - exact)) << m << ":" << s;
        ASSERT_LE(err, std::fabs(static_cast<long double>(above) - exact)) << m << ":" << s;
      }
    }
  }
}

}  // namespace
}  // namespace vesk::app
