// PopupMenu1: its tree, captions, command ids, first-run check marks, and the
// order of check flip and handler on a click.
#include <gtest/gtest.h>

#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/menu_model.h"

namespace vesk::app {
namespace {

struct Expected {
  const char* name;
  const char* caption;
  TMenuItemKind kind;
  bool auto_check;
  bool checked;
};

void ExpectItems(const std::vector<TMenuItem>& items, const std::vector<Expected>& expected) {
  ASSERT_EQ(items.size(), expected.size());
  for (std::size_t i = 0; i < items.size(); ++i) {
    SCOPED_TRACE(expected[i].name);
    EXPECT_EQ(items[i].Name, expected[i].name);
    EXPECT_EQ(items[i].Caption, expected[i].caption);
    EXPECT_EQ(items[i].Kind, expected[i].kind);
    EXPECT_EQ(items[i].AutoCheck, expected[i].auto_check);
    EXPECT_EQ(items[i].Checked, expected[i].checked);
  }
}

TEST(PopupMenu1, HasTheItemsInDisplayOrder) {
  const TPopupMenu menu = MakePopupMenu1();
  ExpectItems(menu.Items(), {{"VeskClock1", "About Vesk Clock...", mkCommand, false, false},
                             {"N1", "-", mkSeparator, false, false},
                             {"Settings1", "Settings", mkSubmenu, false, false},
                             {"N2", "-", mkSeparator, false, false},
                             {"Exit1", "Exit", mkCommand, false, false}});
  ExpectItems(menu.Items()[2].Items, {{"OnTop1", "On Top", mkCommand, true, true},
                                      {"LoadatStartup1", "Load at Startup", mkCommand, true, true},
                                      {"Chimes1", "Chimes", mkCommand, true, true}});
  for (const TMenuItem& item : menu.Items()) {
    if (item.Kind != mkSubmenu) {
      EXPECT_TRUE(item.Items.empty()) << item.Name;
    }
  }
}

TEST(PopupMenu1, EveryCommandHasItsOwnId) {
  TPopupMenu menu = MakePopupMenu1();
  std::set<std::uint16_t> ids;
  for (const char* name : {"VeskClock1", "OnTop1", "LoadatStartup1", "Chimes1", "Exit1"}) {
    const TMenuItem& item = menu.Item(name);
    EXPECT_NE(item.Command, 0) << name;
    EXPECT_TRUE(ids.insert(item.Command).second) << name << " shares its id";
    EXPECT_EQ(menu.FindCommand(item.Command), &item) << name;
  }
  // Separators, the submenu and unknown ids are not clickable.
  EXPECT_EQ(menu.FindCommand(0), nullptr);
  EXPECT_EQ(menu.FindCommand(menu.Item("Settings1").Command), nullptr);
  EXPECT_EQ(menu.FindCommand(0x7777), nullptr);
  EXPECT_FALSE(menu.Click(0x7777));
  EXPECT_THROW((void)menu.Item("Missing1"), std::out_of_range);
}

TEST(PopupMenu1, AutomaticCheckFlipsBeforeTheHandlerRuns) {
  TPopupMenu menu = MakePopupMenu1();
  std::vector<bool> seen;
  menu.SetOnClick("OnTop1", [&] { seen.push_back(menu.Checked("OnTop1")); });
  EXPECT_TRUE(menu.Click(kCmdOnTop1));
  EXPECT_TRUE(menu.Click(kCmdOnTop1));
  EXPECT_EQ(seen, (std::vector<bool>{false, true}));
  EXPECT_TRUE(menu.Checked("OnTop1"));

  // Chimes has no handler: the click only flips the mark; nothing else moves.
  EXPECT_TRUE(menu.Click(kCmdChimes1));
  EXPECT_FALSE(menu.Checked("Chimes1"));
  EXPECT_TRUE(menu.Checked("LoadatStartup1"));

  // Plain commands never take a check mark.
  int exits = 0;
  menu.SetOnClick("Exit1", [&] { ++exits; });
  EXPECT_TRUE(menu.Click(kCmdExit1));
  EXPECT_EQ(exits, 1);
  EXPECT_FALSE(menu.Item("Exit1").Checked);
}

TEST(PopupMenu1, AFailingHandlerLeavesTheMarkFlipped) {
  TPopupMenu menu = MakePopupMenu1();
  menu.SetOnClick("LoadatStartup1", [] { throw std::runtime_error("Failed to set data for 'VeskClock'"); });
  EXPECT_THROW(menu.Click(kCmdLoadatStartup1), std::runtime_error);
  EXPECT_FALSE(menu.Checked("LoadatStartup1"));
}

}  // namespace
}  // namespace vesk::app
