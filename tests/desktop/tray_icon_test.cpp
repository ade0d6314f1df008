// The notification-area icon against a fake shell, host and menu: the
// record, Show/Hide/Refresh, the re-add after a shell restart, the mouse
// table with its click rule, the popup menu's steps and error handling.
#include "desktop/tray_icon.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace vesk::desktop {
namespace {

// A shell that keeps icons by (window, id) as the real one does: an add of
// a known icon and a modify or delete of an unknown one fail.
class TFakeShell : public ITrayShell {
 public:
  bool NotifyIcon(TNotifyIconMessage message, const TNotifyIconRecord& record) override {
    Calls.push_back(message);
    Records.push_back(record);
    const auto key = std::make_pair(record.Window, record.Id);
    switch (message) {
      case nimAdd:
        if (RefuseAdds || Icons.contains(key)) return false;
        Icons[key] = record;
        return true;
      case nimModify:
        if (!Icons.contains(key)) return false;
        Icons[key] = record;
        return true;
      case nimDelete:
        return Icons.erase(key) == 1;
    }
    return false;
  }
  // The shell restarted: it knows no icons.
  void Restart() { Icons.clear(); }

  bool RefuseAdds = false;
  std::vector<TNotifyIconMessage> Calls;
  std::vector<TNotifyIconRecord> Records;
  std::map<std::pair<std::uintptr_t, std::uint32_t>, TNotifyIconRecord> Icons;
};

class TFakeHost : public ITrayHost {
 public:
  [[nodiscard]] std::uintptr_t WindowHandle() const override { return 0x1234; }
  [[nodiscard]] TPoint CursorPos() override { return Cursor; }
  [[nodiscard]] TShiftState ModifierKeys() override { return Keys; }
  [[nodiscard]] bool WindowEnabled() override { return Enabled; }
  void SetForeground() override { Log.push_back("foreground"); }
  void CancelModeToActiveWindow() override { Log.push_back("cancel-mode"); }
  void ProcessMessages() override { Log.push_back("process-messages"); }
  void ReportError(const std::exception& error) override { Errors.emplace_back(error.what()); }

  TPoint Cursor{700, 740};
  TShiftState Keys = 0;
  bool Enabled = true;
  std::vector<std::string>& Log;
  std::vector<std::string> Errors;
  explicit TFakeHost(std::vector<std::string>& log) : Log(log) {}
};

class TFakeMenu : public ITrayPopupMenu {
 public:
  explicit TFakeMenu(std::vector<std::string>& log) : Log(log) {}
  [[nodiscard]] bool AutoPopup() const override { return Auto; }
  void SetPopupComponent(const TTrayIcon* component) override { Component = component; }
  void Popup(int x, int y) override {
    Log.push_back("popup " + std::to_string(x) + "," + std::to_string(y));
    if (Fails) throw std::runtime_error("menu failed");
  }
  bool ClickDefaultItem() override {
    if (!HasDefault) return false;
    Log.push_back("default item");
    return true;
  }

  std::vector<std::string>& Log;
  bool Auto = true;
  bool Fails = false;
  bool HasDefault = false;
  const TTrayIcon* Component = nullptr;
};

class TrayIconTest : public ::testing::Test {
 protected:
  TrayIconTest() {
    Icon.SetIcon(0xA1);
    Icon.SetHint("Vesk Clock");
    Icon.SetPopupMenu(&Menu);
    Icon.OnClick = [this](TMouseButton button, TShiftState shift, int x, int y) {
      Log.push_back(std::string(button == mbLeft ? "click left" : button == mbRight ? "click right" : "click middle") +
                    " shift=" + std::to_string(shift) + " at " + std::to_string(x) + "," + std::to_string(y));
    };
    Icon.OnDblClick = [this] { Log.push_back("dblclick"); };
    Icon.OnMouseDown = [this](TMouseButton button, TShiftState shift, int, int) {
      Log.push_back("down " + std::to_string(static_cast<int>(button)) + " shift=" + std::to_string(shift));
    };
  }

  void Mouse(std::initializer_list<std::uint32_t> messages) {
    for (std::uint32_t m : messages) {
      EXPECT_TRUE(Icon.HandleMessage(kTrayCallbackMessage, 0, static_cast<std::intptr_t>(m)));
    }
  }
  // The log without the mouse-down lines.
  [[nodiscard]] std::vector<std::string> Actions() const {
    std::vector<std::string> out;
    for (const std::string& line : Log) {
      if (line.rfind("down ", 0) != 0) out.push_back(line);
    }
    return out;
  }

  std::vector<std::string> Log;
  TFakeShell Shell;
  TFakeHost Host{Log};
  TFakeMenu Menu{Log};
  TTrayIcon Icon{Shell, Host};
};

TEST_F(TrayIconTest, ActivatingShowsOneIconWithTheRecordAfterRemovingAStaleOne) {
  EXPECT_TRUE(Shell.Calls.empty()) << "nothing reaches the shell before the component is active";
  Icon.SetActive(true);
  ASSERT_EQ(Shell.Calls, (std::vector{nimDelete, nimAdd}));
  EXPECT_EQ(Shell.Records[0].Window, 0x1234u) << "the stale icon is looked up by the hidden window";
  EXPECT_TRUE(Icon.Shown());
  ASSERT_EQ(Shell.Icons.size(), 1u);
  const TNotifyIconRecord& r = Shell.Records[1];
  EXPECT_EQ(r.Window, 0x1234u);
  EXPECT_EQ(r.Id, 0u);
  EXPECT_EQ(r.Flags, 7u);
  EXPECT_EQ(r.CallbackMessage, 0xB054u);
  EXPECT_EQ(r.Icon, 0xA1u);
  EXPECT_STREQ(r.Tip.data(), "Vesk Clock");

  // Show again: the old icon goes first, so there is still one.
  Icon.Show();
  EXPECT_EQ(Shell.Calls, (std::vector{nimDelete, nimAdd, nimDelete, nimAdd}));
  EXPECT_EQ(Shell.Icons.size(), 1u);
}

TEST_F(TrayIconTest, TheTipIsTheHintsShortPartCutAt63Characters) {
  EXPECT_EQ(TTrayIcon::TipText("Vesk Clock"), "Vesk Clock");
  EXPECT_EQ(TTrayIcon::TipText("Short|the long part"), "Short");
  EXPECT_EQ(TTrayIcon::TipText(std::string(70, 'x')), std::string(63, 'x'));
  EXPECT_EQ(TTrayIcon::TipText(std::string(70, 'x') + "|y"), std::string(63, 'x'));
  EXPECT_EQ(TTrayIcon::TipText("|only a long part"), "");

  Icon.SetHint(std::string(63, 'a') + "bcd");
  Icon.SetActive(true);
  const TNotifyIconRecord& r = Shell.Icons.begin()->second;
  EXPECT_EQ(std::string(r.Tip.data()), std::string(63, 'a'));
  EXPECT_EQ(r.Tip[63], '\0');
}

TEST_F(TrayIconTest, AnEmptyTipIsModifiedOnceAfterTheAddAndNoImageShowsNothing) {
  Icon.SetHint("|long part only");
  Icon.SetActive(true);
  EXPECT_EQ(Shell.Calls, (std::vector{nimDelete, nimAdd, nimModify}));

  TTrayIcon bare(Shell, Host);
  Shell.Calls.clear();
  bare.SetHint("Vesk Clock");
  bare.SetActive(true);
  EXPECT_EQ(Shell.Calls, std::vector{nimDelete}) << "without an image there is nothing to add";
  EXPECT_FALSE(bare.Shown());
}

TEST_F(TrayIconTest, AFailedAddIsNotReportedAndARefreshTriesAgain) {
  Shell.RefuseAdds = true;
  Icon.SetActive(true);
  EXPECT_FALSE(Icon.Shown());
  EXPECT_TRUE(Host.Errors.empty());
  Shell.RefuseAdds = false;
  Shell.Calls.clear();
  Icon.Refresh();
  EXPECT_EQ(Shell.Calls, (std::vector{nimDelete, nimAdd}));
  EXPECT_TRUE(Icon.Shown());
}

TEST_F(TrayIconTest, ChangesOfHintAndIconModifyTheShownIconAndNoImageHidesIt) {
  Icon.SetActive(true);
  Shell.Calls.clear();
  Icon.SetHint("Vesk Clock");  // unchanged: nothing
  Icon.SetHint("Another tip");
  Icon.SetIcon(0xB2);
  EXPECT_EQ(Shell.Calls, (std::vector{nimModify, nimModify}));
  EXPECT_STREQ(Shell.Icons.begin()->second.Tip.data(), "Another tip");
  EXPECT_EQ(Shell.Icons.begin()->second.Icon, 0xB2u);
  Icon.SetIcon(0);
  EXPECT_EQ(Shell.Calls.back(), nimDelete);
  EXPECT_FALSE(Icon.Shown());
  EXPECT_TRUE(Shell.Icons.empty());
}

TEST_F(TrayIconTest, DeactivatingAndDestroyingRemoveTheIcon) {
  Icon.SetActive(true);
  Icon.SetActive(false);
  EXPECT_TRUE(Shell.Icons.empty());
  Icon.Refresh();
  EXPECT_TRUE(Shell.Icons.empty()) << "an inactive component shows nothing on a refresh";
  {
    TTrayIcon second(Shell, Host);
    second.SetIcon(0xA1);
    second.SetActive(true);
    EXPECT_EQ(Shell.Icons.size(), 1u);
  }
  EXPECT_TRUE(Shell.Icons.empty());
}

TEST_F(TrayIconTest, AShellRestartAddsTheIconOnceAndABroadcastToTheSameShellKeepsOne) {
  Icon.SetActive(true);
  Shell.Restart();
  Icon.ShellRecreated();
  EXPECT_EQ(Shell.Icons.size(), 1u);
  EXPECT_TRUE(Icon.Shown());
  Icon.ShellRecreated();  // the broadcast again, the shell has the icon
  Icon.ShellRecreated();
  EXPECT_EQ(Shell.Icons.size(), 1u);
  EXPECT_EQ(std::count(Shell.Calls.begin(), Shell.Calls.end(), nimModify), 0) << "added again, never modified";

  // A shell that refused the first add gets the icon at its restart.
  TFakeShell other;
  other.RefuseAdds = true;
  TTrayIcon refused(other, Host);
  refused.SetIcon(0xA1);
  refused.SetActive(true);
  other.RefuseAdds = false;
  refused.ShellRecreated();
  EXPECT_EQ(other.Icons.size(), 1u);
  // An inactive component stays out.
  refused.SetActive(false);
  refused.ShellRecreated();
  EXPECT_TRUE(other.Icons.empty());
}

// Mouse sequences and what they produce (mouse-down events aside).
struct TMouseCase {
  const char* Name;
  std::vector<std::uint32_t> Messages;
  std::vector<std::string> Actions;
};

TEST_F(TrayIconTest, MouseTable) {
  const std::vector<TMouseCase> cases = {
      {"left press and release", {0x201, 0x202}, {"click left shift=0 at 700,740"}},
      {"moves and a release without a press", {0x200, 0x202, 0x200}, {}},
      {"left released elsewhere, a later release over the icon", {0x201, 0x200, 0x202}, {"click left shift=0 at 700,740"}},
      {"two presses, one release: one click", {0x201, 0x201, 0x202, 0x202}, {"click left shift=0 at 700,740"}},
      {"double click: one click, the double click does nothing of its own",
       {0x201, 0x202, 0x203, 0x202},
       {"click left shift=0 at 700,740", "dblclick"}},
      {"right click opens the menu at the cursor, no click event",
       {0x204, 0x205},
       {"cancel-mode", "foreground", "process-messages", "popup 700,740", "foreground"}},
      {"right double click opens the menu once", {0x204, 0x205, 0x206, 0x205},
       {"cancel-mode", "foreground", "process-messages", "popup 700,740", "foreground"}},
      {"middle never clicks", {0x207, 0x208, 0x209, 0x208}, {}},
      {"unknown mouse codes are ignored", {0x20A, 0x0}, {}},
  };
  for (const TMouseCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TTrayIcon icon(Shell, Host);
    icon.SetIcon(0xA1);
    icon.SetPopupMenu(&Menu);
    icon.SetActive(true);
    icon.OnClick = Icon.OnClick;
    icon.OnDblClick = Icon.OnDblClick;
    Log.clear();
    for (std::uint32_t m : c.Messages) icon.HandleMessage(kTrayCallbackMessage, 0, static_cast<std::intptr_t>(m));
    EXPECT_EQ(Actions(), c.Actions);
  }
}

TEST_F(TrayIconTest, ModifierKeysAndTheDoubleClickMarkReachTheEvents) {
  Icon.SetActive(true);
  Host.Keys = ssShift | ssCtrl;
  Host.Cursor = {-5, 1030};  // a monitor left of the primary one
  Mouse({0x201, 0x202, 0x203});
  EXPECT_EQ(Log, (std::vector<std::string>{"down 0 shift=5", "click left shift=5 at -5,1030", "dblclick",
                                           "down 0 shift=13"}));
  Log.clear();
  Host.Keys = ssAlt;
  Mouse({0x206, 0x207, 0x209});
  EXPECT_EQ(Log, (std::vector<std::string>{"down 1 shift=10", "down 2 shift=2", "down 2 shift=10"}));
}

TEST_F(TrayIconTest, ThePressedSetHoldsLeftAndRightUntilTheirReleaseAndShowEmptiesIt) {
  Icon.SetActive(true);
  Mouse({0x201, 0x204});
  EXPECT_TRUE(Icon.Pressed(mbLeft));
  EXPECT_TRUE(Icon.Pressed(mbRight));
  Mouse({0x202});
  EXPECT_FALSE(Icon.Pressed(mbLeft));
  EXPECT_TRUE(Icon.Pressed(mbRight));
  Icon.Show();
  EXPECT_FALSE(Icon.Pressed(mbRight));
  Log.clear();
  Mouse({0x205});
  EXPECT_TRUE(Actions().empty()) << "a release after the set was emptied is no click";
}

TEST_F(TrayIconTest, TheMenuGetsTheIconAsItsComponentAndADefaultItemTakesTheDoubleClick) {
  Icon.SetActive(true);
  Mouse({0x204, 0x205});
  EXPECT_EQ(Menu.Component, &Icon);
  Menu.HasDefault = true;
  Log.clear();
  Mouse({0x203});
  EXPECT_EQ(Actions(), std::vector<std::string>{"default item"});
}

TEST_F(TrayIconTest, WithoutAMenuThatOpensByItselfARightClickIsAClick) {
  Icon.SetActive(true);
  Menu.Auto = false;
  Mouse({0x204, 0x205});
  EXPECT_EQ(Actions(), std::vector<std::string>{"click right shift=0 at 700,740"});
  Log.clear();
  Menu.Auto = true;
  Icon.SetPopupMenu(nullptr);
  Mouse({0x204, 0x205});
  EXPECT_EQ(Actions(), std::vector<std::string>{"click right shift=0 at 700,740"});
}

TEST_F(TrayIconTest, ADisabledHiddenWindowIsNotMadeForeground) {
  Icon.SetActive(true);
  Host.Enabled = false;
  Mouse({0x204, 0x205});
  EXPECT_EQ(Actions(), (std::vector<std::string>{"cancel-mode", "process-messages", "popup 700,740"}));
}

TEST_F(TrayIconTest, AnErrorIsReportedOnceAndTheNextMessageIsHandled) {
  Icon.SetActive(true);
  int clicks = 0;
  Icon.OnClick = [&](TMouseButton, TShiftState, int, int) {
    if (++clicks == 1) throw std::runtime_error("click failed");
  };
  Mouse({0x201, 0x202});
  EXPECT_EQ(Host.Errors, std::vector<std::string>{"click failed"});
  Mouse({0x201, 0x202});
  EXPECT_EQ(clicks, 2);
  EXPECT_EQ(Host.Errors.size(), 1u);

  // A menu that raises: reported, and the hidden window is made foreground
  // again all the same.
  Menu.Fails = true;
  Log.clear();
  Mouse({0x204, 0x205});
  EXPECT_EQ(Actions(), (std::vector<std::string>{"cancel-mode", "foreground", "process-messages", "popup 700,740",
                                                 "foreground"}));
  EXPECT_EQ(Host.Errors, (std::vector<std::string>{"click failed", "menu failed"}));
}

TEST_F(TrayIconTest, OtherMessagesAndADisabledComponentGoToTheDefaultProcedure) {
  Icon.SetActive(true);
  EXPECT_FALSE(Icon.HandleMessage(0x0010, 0, 0x202));
  Icon.SetEnabled(false);
  EXPECT_FALSE(Icon.HandleMessage(kTrayCallbackMessage, 0, 0x201));
  EXPECT_FALSE(Icon.HandleMessage(kTrayCallbackMessage, 0, 0x202));
  EXPECT_TRUE(Log.empty());
  EXPECT_FALSE(Icon.Pressed(mbLeft));
}

}  // namespace
}  // namespace vesk::desktop
