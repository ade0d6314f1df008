// When a mouse move starts the window-move loop.
#include <gtest/gtest.h>

#include "app/window_drag.h"

namespace vesk::app {
namespace {

TEST(ShouldStartWindowMove, OnlyWithTheLeftButtonHeld) {
  EXPECT_FALSE(ShouldStartWindowMove({}));                    // hovering must not grab the clock
  EXPECT_TRUE(ShouldStartWindowMove({.Left = true}));
  EXPECT_FALSE(ShouldStartWindowMove({.Right = true}));
  EXPECT_FALSE(ShouldStartWindowMove({.Middle = true}));
  EXPECT_TRUE(ShouldStartWindowMove({.Left = true, .Right = true}));
}

}  // namespace
}  // namespace vesk::app
