#pragma once
// The platform's popup menu for the menu model: built afresh from the model
// each time it opens (so it shows the current check marks), opened at a
// screen point, and owned by a hidden window of its own that turns the
// chosen command into a click of the model's item.
#include <windows.h>

#include <exception>
#include <functional>

#include "app/menu_model.h"

namespace vesk::app::win32 {

inline constexpr const wchar_t* kPopupMenuWindowClass = L"TPopupList";

// A popup menu with the model's items: MF_STRING commands (MF_CHECKED where
// checked), MF_SEPARATOR separators, MF_POPUP submenus. The caller destroys
// it (DestroyMenu also destroys its submenus). nullptr when the system
// refuses a menu.
[[nodiscard]] HMENU BuildMenuHandle(const TPopupMenu& menu);

class TPopupMenuWindow {
 public:
  // Receives an error that escapes a menu item's handler (the window's error
  // box); nothing may unwind through the system's window procedure.
  using TErrorHandler = std::function<void(const std::exception&)>;

  // Makes the hidden owner window. The menu must outlive this object.
  TPopupMenuWindow(TPopupMenu& menu, HINSTANCE instance, TErrorHandler on_error);
  ~TPopupMenuWindow();
  TPopupMenuWindow(const TPopupMenuWindow&) = delete;
  TPopupMenuWindow& operator=(const TPopupMenuWindow&) = delete;

  [[nodiscard]] HWND Handle() const { return handle_; }
  [[nodiscard]] TPopupMenu& Menu() { return menu_; }

  // Opens the menu with its top-left corner at the screen point (x, y),
  // tracking the right button, and returns when it closes. `foreground`
  // (by default the hidden owner) is made the foreground window first, so
  // that a click elsewhere closes the menu and the keyboard reaches it: pass
  // the window the menu was opened on when it is a visible one. The chosen
  // item is clicked afterwards, when its WM_COMMAND reaches the owner
  // through the message loop. False when the menu could not be shown.
  bool Popup(int x, int y, HWND foreground = nullptr);
  // Popup at the mouse position.
  bool PopupAtCursor(HWND foreground = nullptr);

  // A WM_COMMAND's wparam from a menu: clicks the model's item (flipping an
  // automatic check mark, then running its handler; an error goes to the
  // error handler). True when the id was one of the model's commands.
  bool HandleCommand(WPARAM wparam);

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

  TPopupMenu& menu_;
  TErrorHandler on_error_;
  HWND handle_ = nullptr;
};

}  // namespace vesk::app::win32
