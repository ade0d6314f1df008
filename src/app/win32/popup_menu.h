#pragma once
// The platform's popup menu for the menu model: built afresh from the model
// each time it opens (so it shows the current check marks), opened at a
// screen point, and owned by a hidden window of its own that hands the
// chosen command on.
#include <windows.h>

#include <cstdint>
#include <exception>
#include <functional>

#include "app/menu_model.h"
#include "app/win32/message_window.h"

namespace vesk::app::win32 {

inline constexpr const wchar_t* kPopupMenuWindowClass = L"TPopupList";

// A popup menu with the model's items: MF_STRING commands (MF_CHECKED where
// checked), MF_SEPARATOR separators, MF_POPUP submenus. The caller destroys
// it (DestroyMenu also destroys its submenus). nullptr when the system
// refuses a menu.
[[nodiscard]] HMENU BuildMenuHandle(const TPopupMenu& menu);

class TPopupMenuWindow final : public TMessageWindow {
 public:
  // A chosen command's id; true when it was one of the menu's commands.
  using TCommandHandler = std::function<bool(std::uint16_t command)>;
  // Receives an error that escapes the command (the program's error box);
  // nothing may unwind through the system's window procedure.
  using TErrorHandler = std::function<void(const std::exception&)>;

  // Makes the hidden owner window.
  TPopupMenuWindow(HINSTANCE instance, TCommandHandler on_command, TErrorHandler on_error);

  // Opens the menu with its top-left corner at the screen point (x, y),
  // tracking the right button, and returns when it closes. `foreground`
  // (by default the hidden owner) is made the foreground window first, so
  // that a click elsewhere closes the menu and the keyboard reaches it: pass
  // the window the menu was opened on when it is a visible one. The chosen
  // item's command reaches the owner later, through the message loop. False
  // when the menu could not be shown.
  bool Popup(const TPopupMenu& menu, int x, int y, HWND foreground = nullptr);
  // Popup at the mouse position.
  bool PopupAtCursor(const TPopupMenu& menu, HWND foreground = nullptr);
  // TrackPopupMenu alone, at the point, for a caller that has set the
  // foreground window itself.
  void Track(const TPopupMenu& menu, int x, int y);

  // A WM_COMMAND's wparam from a menu: hands the command on (an error goes
  // to the error handler). True when the id was one of the menu's commands.
  bool HandleCommand(WPARAM wparam);

 private:
  bool HandleMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result) override;

  TCommandHandler on_command_;
  TErrorHandler on_error_;
};

}  // namespace vesk::app::win32
