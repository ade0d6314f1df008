#include "app/win32/tray_icon_win32.h"

#include <shellapi.h>

#include <algorithm>
#include <stdexcept>

namespace vesk::app::win32 {
namespace {

// The single-byte record up to its 64-character tip: 88 bytes in a 32-bit
// program, 104 in a 64-bit one (the window and icon handles are 8 bytes
// there, each aligned to 8).
constexpr DWORD kNotifyIconRecordSize = NOTIFYICONDATAA_V1_SIZE;
static_assert(kNotifyIconRecordSize == (sizeof(void*) == 4 ? 88 : 104));
// The record's tip is the first 64 characters of the later, longer field.
static_assert(sizeof(NOTIFYICONDATAA::szTip) >= desktop::kTipFieldSize);

}  // namespace

HICON LoadSmallIcon(HINSTANCE instance, int resource_id) {
  // The size the system gives small icons at its display scale (16 at
  // 100 %, 24 at 150 %, 32 at 200 %): the group's own image of that size,
  // or, between the sizes it has, the nearest one scaled by the system.
  int width = GetSystemMetrics(SM_CXSMICON);
  int height = GetSystemMetrics(SM_CYSMICON);
  if (width <= 0 || height <= 0) width = height = 16;
  return static_cast<HICON>(
      LoadImageW(instance, MAKEINTRESOURCEW(resource_id), IMAGE_ICON, width, height, LR_DEFAULTCOLOR));
}

TTrayIconWindow::TTrayIconWindow(HINSTANCE instance, HWND main_window, TErrorHandler on_error)
    : main_window_(main_window), on_error_(std::move(on_error)) {
  WNDCLASSEXW window_class{};
  window_class.cbSize = sizeof(window_class);
  window_class.lpfnWndProc = &TTrayIconWindow::WindowProc;
  window_class.hInstance = instance;
  window_class.lpszClassName = kTrayIconWindowClass;
  RegisterClassExW(&window_class);  // fails harmlessly when already registered
  taskbar_created_ = RegisterWindowMessageW(L"TaskbarCreated");
  // Top-level (not message-only), so that broadcasts reach it; never shown.
  handle_ = CreateWindowExW(0, kTrayIconWindowClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance, this);
  component_ = std::make_unique<desktop::TTrayIcon>(*this, *this);
}

TTrayIconWindow::~TTrayIconWindow() {
  component_.reset();  // removes the icon while the window still exists
  if (handle_ != nullptr) {
    SetWindowLongPtrW(handle_, GWLP_USERDATA, 0);
    DestroyWindow(handle_);
  }
  if (image_ != nullptr) DestroyIcon(image_);
}

void TTrayIconWindow::SetIconImage(HICON icon) {
  const HICON previous = image_;
  image_ = icon;
  component_->SetIcon(reinterpret_cast<std::uintptr_t>(icon));
  if (previous != nullptr && previous != icon) DestroyIcon(previous);
}

bool TTrayIconWindow::NotifyIcon(desktop::TNotifyIconMessage message, const desktop::TNotifyIconRecord& record) {
  if (handle_ == nullptr) return false;
  NOTIFYICONDATAA data{};
  data.cbSize = kNotifyIconRecordSize;
  data.hWnd = reinterpret_cast<HWND>(record.Window);
  data.uID = record.Id;
  data.uFlags = record.Flags;
  data.uCallbackMessage = record.CallbackMessage;
  data.hIcon = reinterpret_cast<HICON>(record.Icon);
  std::copy(record.Tip.begin(), record.Tip.end(), data.szTip);
  DWORD command = NIM_ADD;
  switch (message) {
    case desktop::nimAdd:
      command = NIM_ADD;
      break;
    case desktop::nimModify:
      command = NIM_MODIFY;
      break;
    case desktop::nimDelete:
      command = NIM_DELETE;
      break;
  }
  return Shell_NotifyIconA(command, &data) != FALSE;
}

std::uintptr_t TTrayIconWindow::WindowHandle() const { return reinterpret_cast<std::uintptr_t>(handle_); }

TPoint TTrayIconWindow::CursorPos() {
  POINT p{};
  GetCursorPos(&p);
  return TPoint{p.x, p.y};
}

desktop::TShiftState TTrayIconWindow::ModifierKeys() {
  desktop::TShiftState shift = 0;
  if (GetKeyState(VK_SHIFT) < 0) shift |= desktop::ssShift;
  if (GetKeyState(VK_CONTROL) < 0) shift |= desktop::ssCtrl;
  if (GetKeyState(VK_MENU) < 0) shift |= desktop::ssAlt;
  return shift;
}

bool TTrayIconWindow::WindowEnabled() { return handle_ != nullptr && IsWindowEnabled(handle_) != FALSE; }

void TTrayIconWindow::SetForeground() { SetForegroundWindow(handle_); }

void TTrayIconWindow::CancelModeToActiveWindow() {
  HWND target = GetActiveWindow();
  if (target == nullptr) target = main_window_;
  if (target != nullptr) SendMessageW(target, WM_CANCELMODE, 0, 0);
}

void TTrayIconWindow::ProcessMessages() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      // Left for the message loop, which ends the program on it.
      PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

void TTrayIconWindow::ReportError(const std::exception& error) {
  if (on_error_) on_error_(error);
}

LRESULT CALLBACK TTrayIconWindow::WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lparam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self = reinterpret_cast<TTrayIconWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (self != nullptr && self->component_) {
    if (self->taskbar_created_ != 0 && message == self->taskbar_created_) {
      // The shell restarted: without its icon a hidden clock could not be
      // shown again.
      self->component_->ShellRecreated();
      return 0;
    }
    if (self->component_->HandleMessage(message, wparam, lparam)) return 0;
  }
  return DefWindowProcW(window, message, wparam, lparam);
}

void TTrayPopupMenu::Popup(int x, int y) {
  HMENU menu = BuildMenuHandle(window_.Menu());
  if (menu == nullptr) throw std::runtime_error("The menu could not be made");
  // The chosen command reaches the menu's window as WM_COMMAND once the
  // message loop runs again.
  TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_RIGHTBUTTON, x, y, 0, window_.Handle(), nullptr);
  DestroyMenu(menu);
}

}  // namespace vesk::app::win32
