// The clock's popup menu on the window: opening it on a right-click, and the
// handlers of its commands (On Top, Load at Startup, About, Exit).
#include <exception>
#include <memory>
#include <utility>

#include "app/win32/application.h"
#include "app/win32/frm_main.h"
#include "app/win32/settings_actions_win32.h"

namespace vesk::app::win32 {

void TfrmMain::CreateMenuComponents() {
  key_store_ = platform::MakeUserKeyStore();
  TSettingsWindow window;
  window.SetZOrder = [this](TZOrderPlacement placement) { ApplyZOrder(handle_, placement); };
  window.RequestClose = [this] { Close(); };
  window.OpenProductPage = [this] { OpenProductPage(); };
  settings_actions_ =
      std::make_unique<TSettingsActions>(PopupMenu1, *key_store_, ModuleFileName(), std::move(window));
  // The items call the window's handlers, which hand on to the actions.
  PopupMenu1.SetOnClick("VeskClock1", [this] { VeskClock1Click(); });
  PopupMenu1.SetOnClick("OnTop1", [this] { OnTop1Click(); });
  PopupMenu1.SetOnClick("LoadatStartup1", [this] { LoadatStartup1Click(); });
  PopupMenu1.SetOnClick("Exit1", [this] { Exit1Click(); });
  // An error escaping a command goes to the application's error box.
  popup_window_ = std::make_unique<TPopupMenuWindow>(PopupMenu1, application_.Instance(),
                                                     [this](const std::exception& error) {
                                                       application_.HandleException(error);
                                                     });
}

void TfrmMain::ShowContextMenu() {
  // Left-aligned at the mouse, tracking the right button. The clock is made
  // the foreground window first, so a click elsewhere closes the menu and
  // the keyboard reaches it.
  if (popup_window_) popup_window_->PopupAtCursor(handle_);
}

// About: the actions call OpenProductPage.
void TfrmMain::VeskClock1Click() { settings_actions_->VeskClock1Click(); }

void TfrmMain::OnTop1Click() { settings_actions_->OnTop1Click(); }

void TfrmMain::LoadatStartup1Click() { settings_actions_->LoadatStartup1Click(); }

void TfrmMain::Exit1Click() { settings_actions_->Exit1Click(); }

void TfrmMain::FormStorage1RestorePlacement() { settings_actions_->FormStorage1RestorePlacement(); }

}  // namespace vesk::app::win32
