// The text forms of stored positions and the rule that keeps a restored
// window reachable.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "desktop/placement_rescue.h"
#include "desktop/placement_values.h"
#include "storage_fakes.h"

namespace vesk::desktop {
namespace {

TEST(PlacementValues, DecimalConversion) {
  const struct {
    const char* text;
    std::int32_t expected;  // with default 7
  } rows[] = {
      {"0", 0},           {"96", 96},         {"-1", -1},        {"+5", 5},
      {"2147483647", 2147483647}, {"-2147483648", INT32_MIN}, {"2147483648", 7}, {"-2147483649", 7},
      {"", 7},            {"-", 7},           {" 5", 7},         {"5 ", 7},
      {"0x10", 7},        {"1e3", 7},         {"99999999999999999999999", 7},
  };
  for (const auto& row : rows) EXPECT_EQ(StrToIntDef(row.text, 7), row.expected) << '"' << row.text << '"';
}

TEST(PlacementValues, WordsAreSeparatedByRunsOfSpacesAndCommas) {
  const std::vector<std::string_view> words = SplitPositionWords("300, 200 ,  450,350");
  ASSERT_EQ(words.size(), 4u);
  EXPECT_EQ(PositionWord(words, 0, 0), 300);
  EXPECT_EQ(PositionWord(words, 1, 0), 200);
  EXPECT_EQ(PositionWord(words, 2, 0), 450);
  EXPECT_EQ(PositionWord(words, 3, 0), 350);
  EXPECT_EQ(PositionWord(words, 4, -9), -9) << "a missing word gives the default";
  EXPECT_TRUE(SplitPositionWords(",,, ,").empty());
  const std::vector<std::string_view> hostile = SplitPositionWords("2147483648,-2147483649,,,");
  ASSERT_EQ(hostile.size(), 2u);
  EXPECT_EQ(PositionWord(hostile, 0, 11), 11);
  EXPECT_EQ(PositionWord(hostile, 1, 12), 12);
  EXPECT_EQ(SplitPositionWords(std::string(100000, ',') + "5").size(), 1u);
}

TEST(PlacementValues, FormatsAndNames) {
  EXPECT_EQ(FormatPosition(300, 200, 500, 350), "300,200,500,350");
  EXPECT_EQ(FormatPosition(-32000, -1, INT32_MIN, 0), "-32000,-1,-2147483648,0");
  EXPECT_EQ(ScreenSizeName("NormPos", 1920, 1080), "NormPos(1920x1080)");
  EXPECT_EQ(TrimControls(" \t\x01True\r\n "), "True");
  EXPECT_TRUE(SameText("fAlSe", "False"));
  EXPECT_FALSE(SameText("False ", "False"));
}

TEST(PlacementRescue, ReachabilityAndTheNewPosition) {
  const std::vector<TRect> two{{0, 0, 1920, 1080}, {1920, 0, 3200, 1024}};
  const struct {
    const char* what;
    TRect window;
    bool reachable;
  } rows[] = {
      {"fully on the primary monitor", {300, 200, 450, 350}, true},
      {"fully off every monitor", {5000, 5000, 5150, 5150}, false},
      {"a corner of 10 x 10 on the screen", {-140, -140, 10, 10}, false},
      {"exactly 32 x 32 on the screen", {-118, -118, 32, 32}, true},
      {"32 wide but 31 high on the screen", {-118, -119, 32, 31}, false},
      {"on the second monitor", {2500, 600, 2650, 750}, true},
      {"below the shorter second monitor", {2500, 1000, 2650, 1150}, false},
      {"split 16 + 16 across two monitors", {1904, 500, 1936, 532}, false},
      {"a 20 x 20 window wholly on the screen", {10, 10, 30, 30}, true},
      {"at the far end of the 32-bit range", {INT32_MAX - 150, 0, INT32_MAX, 150}, false},
  };
  for (const auto& row : rows) EXPECT_EQ(IsReachable(row.window, two), row.reachable) << row.what;

  const TRect work{0, 0, 1920, 1040};
  EXPECT_EQ(PositionInside({5000, 5000, 5150, 5150}, work), (TPoint{1770, 890}));
  EXPECT_EQ(PositionInside({-140, -140, 10, 10}, work), (TPoint{0, 0}));
  EXPECT_EQ(PositionInside({-5000, 300, -4850, 450}, work), (TPoint{0, 300})) << "only the axis that is off";
  EXPECT_EQ(PositionInside({100, 100, 3000, 200}, work), (TPoint{0, 100})) << "wider than the area";
}

TEST(PlacementRescue, MovesIntoTheNearestMonitorsWorkArea) {
  testing::TFakeWindow window;
  window.Monitors = {{0, 0, 1920, 1080}, {1920, 0, 3200, 1024}};
  window.Bounds = {3300, 2000, 3450, 2150};  // beyond the second monitor's corner
  ASSERT_TRUE(RescuePosition(window).has_value());
  EXPECT_EQ(*RescuePosition(window), (TPoint{3050, 834}));
  window.Bounds = {2500, 600, 2650, 750};
  EXPECT_FALSE(RescuePosition(window).has_value());
}

}  // namespace
}  // namespace vesk::desktop
