#include "app/win32/popup_menu.h"

#include <stdexcept>
#include <string>

#include "app/win32/wide_text.h"

namespace vesk::app::win32 {
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

TPopupMenuWindow::TPopupMenuWindow(TPopupMenu& menu, HINSTANCE instance, TErrorHandler on_error)
    : menu_(menu), on_error_(std::move(on_error)) {
  WNDCLASSEXW window_class{};
  window_class.cbSize = sizeof(window_class);
  window_class.lpfnWndProc = &TPopupMenuWindow::WindowProc;
  window_class.hInstance = instance;
  window_class.lpszClassName = kPopupMenuWindowClass;
  RegisterClassExW(&window_class);  // fails harmlessly when already registered
  // A zero-sized top-level window that is never shown: the menu's owner.
  handle_ = CreateWindowExW(0, kPopupMenuWindowClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance,
                            this);
}

TPopupMenuWindow::~TPopupMenuWindow() {
  if (handle_ != nullptr) {
    SetWindowLongPtrW(handle_, GWLP_USERDATA, 0);
    DestroyWindow(handle_);
  }
}

bool TPopupMenuWindow::Popup(int x, int y, HWND foreground) {
  if (handle_ == nullptr) return false;
  HMENU menu = BuildMenuHandle(menu_);
  if (menu == nullptr) return false;
  if (foreground == nullptr) foreground = handle_;
  // Without this the menu would stay open after a click elsewhere.
  SetForegroundWindow(foreground);
  const BOOL shown = TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_RIGHTBUTTON, x, y, 0, handle_, nullptr);
  // Lets the system finish the menu's switch of the foreground window.
  PostMessageW(foreground, WM_NULL, 0, 0);
  DestroyMenu(menu);
  return shown != FALSE;
}

bool TPopupMenuWindow::PopupAtCursor(HWND foreground) {
  POINT cursor{};
  if (!GetCursorPos(&cursor)) return false;
  return Popup(cursor.x, cursor.y, foreground);
}

bool TPopupMenuWindow::HandleCommand(WPARAM wparam) {
  // Menus send a zero notification code in the high word.
  if (HIWORD(wparam) != 0) return false;
  const auto command = static_cast<std::uint16_t>(LOWORD(wparam));
  if (menu_.FindCommand(command) == nullptr) return false;
  try {
    menu_.Click(command);
  } catch (const std::exception& error) {
    if (on_error_) on_error_(error);
  } catch (...) {
    if (on_error_) on_error_(std::runtime_error("Unknown error"));
  }
  return true;
}

LRESULT CALLBACK TPopupMenuWindow::WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lparam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self = reinterpret_cast<TPopupMenuWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (message == WM_COMMAND && self != nullptr && self->HandleCommand(wparam)) return 0;
  return DefWindowProcW(window, message, wparam, lparam);
}

}  // namespace vesk::app::win32
