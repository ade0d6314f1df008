// Shell_NotifyIcon failing for each of its messages, once and lasting: the
// icon never reports it, a failed add is tried again by the next refresh,
// clicks keep working, and removing the icon never raises.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "desktop/tray_icon.h"

namespace vesk::desktop {
namespace {

// A shell that refuses `failing` messages (`times` of them, -1 all) and
// otherwise accepts everything.
class TFailingShell : public ITrayShell {
 public:
  bool NotifyIcon(TNotifyIconMessage message, const TNotifyIconRecord&) override {
    Calls.push_back(message);
    if (message == Failing && Times != 0) {
      if (Times > 0) --Times;
      return false;
    }
    return true;
  }
  TNotifyIconMessage Failing = nimAdd;
  int Times = 0;
  std::vector<TNotifyIconMessage> Calls;
};

class TQuietHost : public ITrayHost {
 public:
  [[nodiscard]] std::uintptr_t WindowHandle() const override { return 0x1234; }
  [[nodiscard]] TPoint CursorPos() override { return {10, 10}; }
  [[nodiscard]] TShiftState ModifierKeys() override { return 0; }
  [[nodiscard]] bool WindowEnabled() override { return true; }
  void SetForeground() override {}
  void CancelModeToActiveWindow() override {}
  void ProcessMessages() override {}
  void ReportError(const std::exception& error) override { Errors.emplace_back(error.what()); }
  std::vector<std::string> Errors;
};

TEST(TrayIconFaults, EveryShellMessageFailingOnceAndLasting) {
  for (const TNotifyIconMessage failing : {nimAdd, nimModify, nimDelete}) {
    for (const int times : {1, -1}) {
      SCOPED_TRACE("message " + std::to_string(static_cast<int>(failing)) + (times < 0 ? " lasting" : " once"));
      TFailingShell shell;
      shell.Failing = failing;
      shell.Times = times;
      TQuietHost host;
      int clicks = 0;
      {
        TTrayIcon icon(shell, host);
        icon.OnClick = [&](TMouseButton, TShiftState, int, int) { ++clicks; };
        icon.SetIcon(0xA1);
        icon.SetHint("Vesk Clock");
        icon.SetActive(true);
        // A failed add leaves the icon not shown; each refresh tries again
        // until the shell accepts it.
        EXPECT_EQ(icon.Shown(), failing != nimAdd);
        for (int i = 0; i < 3; ++i) icon.Refresh();
        EXPECT_EQ(icon.Shown(), !(failing == nimAdd && times < 0));
        icon.SetHint("Vesk Clock 2");  // a modify (or an add while not shown)
        icon.ShellRecreated();
        // The shell's notifications keep reaching the click.
        EXPECT_TRUE(icon.HandleMessage(kTrayCallbackMessage, 0, 0x201));
        EXPECT_TRUE(icon.HandleMessage(kTrayCallbackMessage, 0, 0x202));
        EXPECT_EQ(clicks, 1);
        icon.Hide();
        EXPECT_FALSE(icon.Shown());
      }  // destroyed: one more delete, which may fail too
      EXPECT_TRUE(host.Errors.empty()) << host.Errors.front();
      int adds = 0;
      for (TNotifyIconMessage m : shell.Calls) adds += m == nimAdd;
      if (failing == nimAdd && times < 0) EXPECT_GE(adds, 4) << "every refresh tries to add again";
    }
  }
}

}  // namespace
}  // namespace vesk::desktop
