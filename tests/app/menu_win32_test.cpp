// The platform's popup menu built from PopupMenu1, and the way a chosen
// command comes back to the model. Needs no display: the menu is only built
// and inspected, and commands are handed over directly.
#ifdef _WIN32
#include <gtest/gtest.h>
#include <windows.h>

#include <stdexcept>
#include <string>

#include "app/menu_model.h"
#include "app/win32/popup_menu.h"

namespace vesk::app::win32 {
namespace {

std::wstring TextAt(HMENU menu, UINT position) {
  wchar_t text[128] = {};
  GetMenuStringW(menu, position, text, 128, MF_BYPOSITION);
  return text;
}

bool CheckedAt(HMENU menu, UINT position) { return (GetMenuState(menu, position, MF_BYPOSITION) & MF_CHECKED) != 0; }

TEST(PopupMenuWin32, ShowsTheModelWithItsCurrentMarks) {
  TPopupMenu model = MakePopupMenu1();
  model.Item("LoadatStartup1").Checked = false;
  HMENU menu = BuildMenuHandle(model);
  ASSERT_NE(menu, nullptr);
  ASSERT_EQ(GetMenuItemCount(menu), 5);
  EXPECT_EQ(TextAt(menu, 0), L"About Vesk Clock...");
  EXPECT_EQ(GetMenuItemID(menu, 0), kCmdVeskClock1);
  EXPECT_NE(GetMenuState(menu, 1, MF_BYPOSITION) & MF_SEPARATOR, 0u);
  EXPECT_EQ(TextAt(menu, 2), L"Settings");
  EXPECT_NE(GetMenuState(menu, 3, MF_BYPOSITION) & MF_SEPARATOR, 0u);
  EXPECT_EQ(TextAt(menu, 4), L"Exit");
  EXPECT_EQ(GetMenuItemID(menu, 4), kCmdExit1);

  HMENU settings = GetSubMenu(menu, 2);
  ASSERT_NE(settings, nullptr);
  ASSERT_EQ(GetMenuItemCount(settings), 3);
  EXPECT_EQ(TextAt(settings, 0), L"On Top");
  EXPECT_EQ(TextAt(settings, 1), L"Load at Startup");
  EXPECT_EQ(TextAt(settings, 2), L"Chimes");
  EXPECT_EQ(GetMenuItemID(settings, 0), kCmdOnTop1);
  EXPECT_TRUE(CheckedAt(settings, 0));
  EXPECT_FALSE(CheckedAt(settings, 1));
  EXPECT_TRUE(CheckedAt(settings, 2));
  DestroyMenu(menu);
}

TEST(PopupMenuWin32, ACommandClicksTheModelAndErrorsAreHandedOn) {
  TPopupMenu model = MakePopupMenu1();
  std::string error;
  int clicks = 0;
  bool seen = true;
  model.SetOnClick("OnTop1", [&] {
    ++clicks;
    seen = model.Checked("OnTop1");
  });
  model.SetOnClick("Exit1", [] { throw std::runtime_error("Failed to set data for 'VeskClock'"); });
  TPopupMenuWindow window(
      GetModuleHandleW(nullptr), [&](std::uint16_t command) { return model.Click(command); },
      [&](const std::exception& e) { error = e.what(); });

  EXPECT_TRUE(window.HandleCommand(MAKEWPARAM(kCmdOnTop1, 0)));
  EXPECT_EQ(clicks, 1);
  EXPECT_FALSE(seen) << "the mark flips before the handler";
  EXPECT_TRUE(window.HandleCommand(MAKEWPARAM(kCmdExit1, 0)));
  EXPECT_EQ(error, "Failed to set data for 'VeskClock'");
  // Not from a menu, or not one of ours.
  EXPECT_FALSE(window.HandleCommand(MAKEWPARAM(kCmdOnTop1, 1)));
  EXPECT_FALSE(window.HandleCommand(MAKEWPARAM(0x7777, 0)));
  EXPECT_EQ(clicks, 1);
}

}  // namespace
}  // namespace vesk::app::win32
#endif
