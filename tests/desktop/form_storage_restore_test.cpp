// Restoring the window's placement and the three check marks from the
// settings store.
#include <gtest/gtest.h>

#include "platform/registry_error.h"
#include "storage_fixture.h"

namespace vesk::desktop::testing {
namespace {

using Restore = StorageFixture;

TEST_F(Restore, FirstRunKeepsTheDesignAndRaisesTheRestoreEvent) {
  Show();
  EXPECT_EQ(owner_.Window.Bounds, (TRect{192, 114, 342, 264})) << "no position applied";
  EXPECT_EQ(owner_.Window.State, wsNormal);
  for (const char* item : {"OnTop1", "LoadatStartup1", "Chimes1"}) EXPECT_TRUE(owner_.Item(item).checked_) << item;
  EXPECT_EQ(events_, (std::vector<std::string>{"RestorePlacement", "FormShow on_top=1"}));
  EXPECT_TRUE(errors_.empty());
  EXPECT_TRUE(storage_->Restored());
  EXPECT_TRUE(store_.Writes.empty()) << "a restore writes nothing";
  // The closing placement pass: hidden while not shown, maximized at (0, 0).
  ASSERT_EQ(owner_.Window.SetCalls.size(), 1u);
  EXPECT_EQ(owner_.Window.SetCalls[0].ShowCmd, platform::kShowHide);
  EXPECT_EQ(owner_.Window.SetCalls[0].MaxPosition, (TPoint{0, 0}));
}

TEST_F(Restore, PositionOnlyWithTheSizeKept) {
  const struct {
    const char* what;
    std::vector<std::pair<std::string, std::string>> values;
    TRect expected;
  } rows[] = {
      {"plain NormPos", {{"NormPos", "300,200,500,350"}}, {300, 200, 450, 350}},
      {"spaces and commas", {{"NormPos", "300, 200 ,  450,350"}}, {300, 200, 450, 350}},
      {"stored size unused", {{"NormPos", "300,200,0,0"}}, {300, 200, 450, 350}},
      {"screen-size name first", {{"NormPos(1920x1080)", "10,20,30,40"}, {"NormPos", "300,200,0,0"}}, {10, 20, 160, 170}},
      {"another screen's value ignored", {{"NormPos(1024x768)", "10,20,30,40"}, {"NormPos", "300,200,0,0"}},
       {300, 200, 450, 350}},
      {"missing words keep the current place", {{"NormPos", "300"}}, {300, 114, 450, 264}},
      {"words that do not convert", {{"NormPos", "x,-50"}}, {192, -50, 342, 100}},
      {"PixelsPerInch 120 against 96", {{"NormPos", "300,200,450,350"}, {"PixelsPerInch", "120"}},
       {192, 114, 342, 264}},
      {"PixelsPerInch 96", {{"NormPos", "300,200,450,350"}, {"PixelsPerInch", "96"}}, {300, 200, 450, 350}},
      {"PixelsPerInch not a number counts as equal", {{"NormPos", "300,200,450,350"}, {"PixelsPerInch", "x"}},
       {300, 200, 450, 350}},
      {"REG_EXPAND_SZ", {{"NormPos", "300,200,0,0"}}, {300, 200, 450, 350}},
      {"far edge beyond 32 bits", {{"NormPos", "2147483600,5"}}, {192, 114, 342, 264}},
  };
  for (const auto& row : rows) {
    store_.Inner.DeleteKey(kSectionPath);
    owner_.Window = TFakeWindow{};
    for (const auto& [name, text] : row.values) {
      Seed(name, text, std::string(row.what) == "REG_EXPAND_SZ" ? platform::rvExpandString : platform::rvString);
    }
    storage_->RestoreFromRegistry();
    EXPECT_EQ(owner_.Window.Bounds, row.expected) << row.what;
  }
}

TEST_F(Restore, FlagsAndMinMaxPositions) {
  owner_.Window.Flags = 2;
  Seed("Flags", "1");
  Seed("MinMaxPos", "-32000,-32000,-1,-1");
  storage_->RestoreFromRegistry();
  ASSERT_EQ(owner_.Window.SetCalls.size(), 2u) << "the stored placement, then the closing pass";
  EXPECT_EQ(owner_.Window.SetCalls[0].Flags, 1u);
  EXPECT_EQ(owner_.Window.SetCalls[0].MinPosition, (TPoint{-32000, -32000}));
  EXPECT_EQ(owner_.Window.SetCalls[0].MaxPosition, (TPoint{-1, -1}));
  EXPECT_EQ(owner_.Window.SetCalls[0].ShowCmd, platform::kShowHide) << "not shown yet";
  EXPECT_EQ(owner_.Window.SetCalls[1].MaxPosition, (TPoint{0, 0}));

  owner_.Window = TFakeWindow{};
  owner_.Window.Flags = 2;
  Seed("Flags", "one");
  storage_->RestoreFromRegistry();
  EXPECT_EQ(owner_.Window.SetCalls.at(0).Flags, 2u) << "a Flags that does not convert keeps the current flags";
}

TEST_F(Restore, ShowCmdDecidesTheState) {
  const struct {
    const char* show_cmd;
    TWindowState state;
    int posts;
  } rows[] = {{"1", wsNormal, 0},    {"5", wsNormal, 0}, {"9", wsNormal, 0}, {"3", wsMaximized, 0},
              {"2", wsNormal, 1},    {"6", wsNormal, 1}, {"7", wsNormal, 1}, {"4", wsNormal, 0},
              {"", wsNormal, 0}};
  for (const auto& row : rows) {
    owner_.Window = TFakeWindow{};
    owner_.Window.State = wsMaximized;  // so that "normal" is seen to be set
    Seed("ShowCmd", row.show_cmd);
    storage_->RestoreFromRegistry();
    EXPECT_EQ(owner_.Window.State, row.state) << "ShowCmd " << row.show_cmd;
    EXPECT_EQ(owner_.Window.MinimizePosts, row.posts) << "ShowCmd " << row.show_cmd;
    EXPECT_EQ(owner_.Window.Repaints, row.posts == 0 ? 1 : 0) << "no repaint after a minimize";
  }
  // A window that is not the main window minimizes itself.
  owner_.Window = TFakeWindow{};
  owner_.Window.MainWindow = false;
  Seed("ShowCmd", "2");
  storage_->RestoreFromRegistry();
  EXPECT_EQ(owner_.Window.State, wsMinimized);
  EXPECT_EQ(owner_.Window.MinimizePosts, 0);
}

TEST_F(Restore, CheckMarksByValueName) {
  const struct {
    const char* text;
    bool checked;  // starting from checked; "(unchecked)" rows start unchecked
    bool start;
  } rows[] = {{"false", false, true}, {"FALSE", false, true}, {" \tFalse\r\n", false, true},
              {"0", true, true},      {"no", true, true},     {"", true, true},
              {"True", true, false},  {"tRUE", true, false},  {"Truer", false, false}};
  for (const auto& row : rows) {
    owner_.Item("OnTop1").checked_ = row.start;
    Seed("OnTop1_Checked", row.text);
    storage_->RestoreFromRegistry();
    EXPECT_EQ(owner_.Item("OnTop1").checked_, row.checked) << '"' << row.text << '"';
    EXPECT_TRUE(owner_.Item("Chimes1").checked_);
  }
  // A value of the wrong type leaves its mark; the others still load.
  Seed("OnTop1_Checked", "1", platform::rvDword);
  Seed("Chimes1_Checked", "False");
  owner_.Item("OnTop1").checked_ = true;
  storage_->RestoreFromRegistry();
  EXPECT_TRUE(owner_.Item("OnTop1").checked_);
  EXPECT_FALSE(owner_.Item("Chimes1").checked_);
}

TEST_F(Restore, RestoredMarksAreSeenByTheWindowsShowHandler) {
  Seed("OnTop1_Checked", "False");
  Show();
  EXPECT_EQ(events_, (std::vector<std::string>{"RestorePlacement", "FormShow on_top=0"}));
}

TEST_F(Restore, OlderFormVersionRestoresNothing) {
  Seed("FormVersion", "-1");
  Seed("NormPos", "300,200,0,0");
  Seed("OnTop1_Checked", "False");
  Show();
  EXPECT_EQ(owner_.Window.Left(), 192);
  EXPECT_TRUE(owner_.Item("OnTop1").checked_);
  EXPECT_EQ(restore_events_, 0);
  EXPECT_TRUE(storage_->Restored()) << "so the close saves the current state";
  EXPECT_TRUE(CloseQuery());
  EXPECT_EQ(Value("FormVersion"), "0");
}

// A value of a non-string type is reported (placement values) or passed
// over (check marks), counts as absent, and the close writes the whole key
// as strings, so the next start is clean and a changed setting is kept.
TEST_F(Restore, NonStringValueIsReportedThenRewritten) {
  struct Case {
    const char* name;
    platform::TRegValueType type;
    bool reported;
  };
  const Case cases[] = {{"FormVersion", platform::rvBinary, true},     {"NormPos", platform::rvBinary, true},
                        {"NormPos(1920x1080)", platform::rvDword, true}, {"ShowCmd", platform::rvDword, true},
                        {"PixelsPerInch", platform::rvDword, true},      {"Chimes1_Checked", platform::rvDword, false}};
  for (const Case& c : cases) {
    store_.Inner.DeleteKey(kSectionPath);
    events_.clear();
    errors_.clear();
    storage_.reset();
    storage_ = MakeStorage();
    owner_.Window = TFakeWindow{};
    Seed("OnTop1_Checked", "False");
    Seed(c.name, "5", c.type);
    Show();
    const std::vector<std::string> want =
        c.reported ? std::vector<std::string>{"Invalid data type for '" + std::string(c.name) + "'"}
                   : std::vector<std::string>{};
    EXPECT_EQ(errors_, want) << c.name;
    EXPECT_FALSE(owner_.Item("OnTop1").checked_) << "the other values load (" << c.name << ")";
    owner_.Item("LoadatStartup1").checked_ = false;  // a setting the user changes
    EXPECT_TRUE(CloseQuery());
    Destroy();
    EXPECT_TRUE(Value(c.name).has_value()) << "rewritten as a string (" << c.name << ")";
    EXPECT_EQ(Value("LoadatStartup1_Checked"), "False") << c.name;
    // The next start: no box, the change kept.
    errors_.clear();
    storage_.reset();
    storage_ = MakeStorage();
    owner_.Item("LoadatStartup1").checked_ = true;
    Show();
    EXPECT_TRUE(errors_.empty()) << c.name;
    EXPECT_FALSE(owner_.Item("LoadatStartup1").checked_) << c.name;
  }
}

TEST_F(Restore, OffScreenPositionIsBroughtBackButNotRewritten) {
  Seed("NormPos", "5000,5000,5150,5150");
  Show();
  EXPECT_EQ(owner_.Window.Bounds, (TRect{1770, 890, 1920, 1040})) << "into the work area, same size";
  EXPECT_EQ(Value("NormPos"), "5000,5000,5150,5150") << "until the next save";
  // A position on a second monitor that exists stays.
  owner_.Window = TFakeWindow{};
  owner_.Window.Monitors.push_back({1920, 0, 3200, 1024});
  Seed("NormPos", "2500,600,0,0");
  storage_->RestoreFromRegistry();
  EXPECT_EQ(owner_.Window.Bounds.Left, 2500);
  EXPECT_EQ(owner_.Window.Moves, 0);
}

TEST_F(Restore, StoredPropsResolution) {
  storage_.reset();
  storage_ = MakeStorage({"LoadatStartup1.Checked", "Nope.Checked", "OnTop1", ".Checked", "OnTop1. ",
                              " chimes1 . Checked ", "OnTop1.Caption", "OnTop1.checked"});
  std::vector<std::string> texts;
  for (const auto& entry : storage_->StoredProps) texts.push_back(entry.Text);
  EXPECT_EQ(texts, (std::vector<std::string>{"LoadatStartup1.Checked", " chimes1 . Checked ", "OnTop1.Caption",
                                             "OnTop1.checked"}));
  // The texts are rewritten from the components' names at a restore; an
  // unknown property is skipped, the declared name spells the value name.
  Seed("OnTop1_Checked", "False");
  Seed("Chimes1_Checked", "False");
  storage_->RestoreFromRegistry();
  EXPECT_FALSE(owner_.Item("OnTop1").checked_);
  EXPECT_FALSE(owner_.Item("Chimes1").checked_);
  EXPECT_EQ(storage_->StoredProps[1].Text, "Chimes1.Checked");
  // A renamed component is followed; a component that has gone is dropped.
  owner_.Item("Chimes1").Rename("Bells1");
  owner_.Items.erase(owner_.Items.begin());  // OnTop1
  storage_->RestoreFromRegistry();
  texts.clear();
  for (const auto& entry : storage_->StoredProps) texts.push_back(entry.Text);
  EXPECT_EQ(texts, (std::vector<std::string>{"LoadatStartup1.Checked", "Bells1.Checked"}));
}

}  // namespace
}  // namespace vesk::desktop::testing
