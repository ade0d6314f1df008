#pragma once
// What the menu's commands do: keep the window above all others, register
// the program to start at the user's logon, close, and the About command.
// The decisions are here; the window supplies the few platform calls through
// TSettingsWindow.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "app/menu_model.h"
#include "platform/key_store.h"

namespace vesk::app {

// The key, under the current user's root, whose values the system starts at
// logon.
inline constexpr std::string_view kRunKeyPath = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// Where "On Top" puts the window in the z-order, numbered as the window
// manager's insert-after handles HWND_TOPMOST (-1) and HWND_NOTOPMOST (-2).
enum class TZOrderPlacement : std::int8_t { zpTopmost = -1, zpNotTopmost = -2 };
using enum TZOrderPlacement;

[[nodiscard]] constexpr TZOrderPlacement OnTopPlacement(bool on_top) noexcept {
  return on_top ? zpTopmost : zpNotTopmost;
}

// The startup value's name: the executable's file name without its folder
// (anything up to the last '\', '/' or ':') and without its extension (the
// last '.' and what follows). A leading dot does not start an extension, so
// a file named ".exe" keeps its whole name rather than giving the empty name,
// which would be the Run key's default value.
[[nodiscard]] std::string StartupValueName(std::string_view executable_path);

// Registers (load_at_startup) or unregisters the executable: opens the Run
// key with full access, creating it if missing, and writes the REG_SZ value
// StartupValueName -> the full path, or deletes that value. A value that is
// not there is no error; values of other names are left alone.
// Raises ERegistryException: "Failed to set data for '<name>'" when the key
// cannot be opened or the value not written, "Failed to delete value
// '<name>'" when it cannot be removed. A path without a file name raises the
// first when registering and does nothing when unregistering.
void UpdateStartupRegistration(platform::IKeyStore& store, std::string_view executable_path,
                               bool load_at_startup);

// The window's side of the actions.
struct TSettingsWindow {
  // Moves the window in the z-order without moving or sizing it; a failure
  // is ignored.
  std::function<void(TZOrderPlacement)> SetZOrder;
  // A close request, the same as any other (it starts the fade-out).
  std::function<void()> RequestClose;
  // Opens the product page (the About command). May be left empty.
  std::function<void()> OpenProductPage;
};

// The handlers of PopupMenu1's commands. Binds itself to the menu's items on
// construction; the menu, the store and the object must outlive each other's
// use (the window owns all three).
class TSettingsActions {
 public:
  TSettingsActions(TPopupMenu& menu, platform::IKeyStore& store, std::string executable_path,
                   TSettingsWindow window);
  TSettingsActions(const TSettingsActions&) = delete;
  TSettingsActions& operator=(const TSettingsActions&) = delete;

  // About: opens the product page through the window, when it can.
  void VeskClock1Click();
  // Applies "On Top" to the window (also run by FormShow).
  void OnTop1Click();
  // Writes or removes the startup registration per "Load at Startup".
  void LoadatStartup1Click();
  // The settings storage's restore event: re-applies "Load at Startup", so
  // a moved executable is registered under its new path at every start.
  void FormStorage1RestorePlacement();
  void Exit1Click();

 private:
  TPopupMenu& menu_;
  platform::IKeyStore& store_;
  std::string executable_path_;
  TSettingsWindow window_;
};

}  // namespace vesk::app
