#include "app/win32/popup_menu.h"

#include <stdexcept>
#include <string>
#include <utility>

#include "platform/win32/wide_text.h"

namespace vesk::app::win32 {
using platform::win32::Widen;

namespace {

HMENU BuildPopup(const std::vector<TMenuItem>& items) {
  HMENU menu = CreatePopupMenu();
  if (menu == nullptr) return nullptr;
  for (const TMenuItem& item : items) {
    const std::wstring caption = Widen(item.Caption);
    BOOL appended = FALSE;
    switch (item.Kind) {
      case mkSeparator:
        appended = AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
        break;
      case mkSubmenu: {
        HMENU submenu = BuildPopup(item.Items);
        if (submenu == nullptr) break;
        appended = AppendMenuW(menu, MF_STRING | MF_POPUP, reinterpret_cast<UINT_PTR>(submenu), caption.c_str());
        if (!appended) DestroyMenu(submenu);  // not yet owned by the parent
        break;
      }
      case mkCommand:
        appended = AppendMenuW(menu, MF_STRING | (item.Checked ? MF_CHECKED : MF_UNCHECKED), item.Command,
                               caption.c_str());
        break;
    }
    if (!appended) {
      DestroyMenu(menu);
      return nullptr;
    }
  }
  return menu;
}

}  // namespace

HMENU BuildMenuHandle(const TPopupMenu& menu) { return BuildPopup(menu.Items()); }

TPopupMenuWindow::TPopupMenuWindow(HINSTANCE instance, TCommandHandler on_command, TErrorHandler on_error)
    : on_command_(std::move(on_command)), on_error_(std::move(on_error)) {
  // A zero-sized top-level window that is never shown: the menu's owner.
  CreateHandle(instance, TWindowClass{kPopupMenuWindowClass}, TWindowCreation{});
}

bool TPopupMenuWindow::Popup(const TPopupMenu& model, int x, int y, HWND foreground) {
  if (Handle() == nullptr) return false;
  HMENU menu = BuildMenuHandle(model);
  if (menu == nullptr) return false;
  if (foreground == nullptr) foreground = Handle();
  // Without this the menu would stay open after a click elsewhere.
  SetForegroundWindow(foreground);
  const BOOL shown = TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_RIGHTBUTTON, x, y, 0, Handle(), nullptr);
  // Lets the system finish the menu's switch of the foreground window.
  PostMessageW(foreground, WM_NULL, 0, 0);
  DestroyMenu(menu);
  return shown != FALSE;
}

bool TPopupMenuWindow::PopupAtCursor(const TPopupMenu& menu, HWND foreground) {
  POINT cursor{};
  if (!GetCursorPos(&cursor)) return false;
  return Popup(menu, cursor.x, cursor.y, foreground);
}

void TPopupMenuWindow::Track(const TPopupMenu& model, int x, int y) {
  HMENU menu = BuildMenuHandle(model);
  if (menu == nullptr) throw std::runtime_error("The menu could not be made");
  TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_RIGHTBUTTON, x, y, 0, Handle(), nullptr);
  DestroyMenu(menu);
}

bool TPopupMenuWindow::HandleCommand(WPARAM wparam) {
  // Menus send a zero notification code in the high word.
  if (HIWORD(wparam) != 0 || !on_command_) return false;
  const auto command = static_cast<std::uint16_t>(LOWORD(wparam));
  try {
    return on_command_(command);
  } catch (const std::exception& error) {
    if (on_error_) on_error_(error);
  } catch (...) {
    if (on_error_) on_error_(std::runtime_error("Unknown error"));
  }
  return true;
}

bool TPopupMenuWindow::HandleMessage(UINT message, WPARAM wparam, LPARAM /*lparam*/, LRESULT& result) {
  if (message != WM_COMMAND || !HandleCommand(wparam)) return false;
  result = 0;
  return true;
}

}  // namespace vesk::app::win32
