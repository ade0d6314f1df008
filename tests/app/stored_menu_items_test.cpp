// The menu's check marks as stored properties: found by name, read and set
// without running the items' click handlers.
#include <gtest/gtest.h>

#include "app/stored_menu_items.h"

namespace vesk::app {
namespace {

TEST(StoredMenuItems, CheckedIsSetWithoutAClick) {
  TPopupMenu menu = MakePopupMenu1();
  int clicks = 0;
  for (const char* name : {"OnTop1", "LoadatStartup1", "Chimes1"}) menu.SetOnClick(name, [&] { ++clicks; });
  const auto components = MakeMenuItemComponents(menu);
  std::vector<std::string> names;
  for (const auto& c : components) names.push_back(c->Name());
  EXPECT_EQ(names, (std::vector<std::string>{"VeskClock1", "N1", "Settings1", "OnTop1", "LoadatStartup1",
                                             "Chimes1", "N2", "Exit1"}));
  const desktop::TPublishedProperty* checked = components[3]->FindProperty("checked");
  ASSERT_NE(checked, nullptr);
  EXPECT_EQ(checked->Name, "Checked");
  EXPECT_EQ(checked->ValueNames[checked->Get()], "True");
  checked->Set(0);
  EXPECT_FALSE(menu.Checked("OnTop1"));
  EXPECT_EQ(checked->ValueNames[checked->Get()], "False");
  EXPECT_EQ(clicks, 0) << "setting Checked runs no click handler";
  EXPECT_TRUE(menu.Checked("Chimes1"));
  EXPECT_EQ(components[3]->FindProperty("Caption"), nullptr);
}

}  // namespace
}  // namespace vesk::app
