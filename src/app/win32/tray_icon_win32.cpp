#include "app/win32/tray_icon_win32.h"

#include <shellapi.h>

#include <algorithm>
#include <stdexcept>
#include <utility>

#include "platform/win32/win32_types.h"

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
  taskbar_created_ = RegisterWindowMessageW(L"TaskbarCreated");
  // Top-level (not message-only), so that broadcasts reach it; never shown.
  CreateHandle(instance, TWindowClass{kTrayIconWindowClass}, TWindowCreation{});
}

TTrayIconWindow::~TTrayIconWindow() {
  if (image_ != nullptr) DestroyIcon(image_);
}

void TTrayIconWindow::SetIconImage(HICON icon) {
  if (image_ != nullptr && image_ != icon) DestroyIcon(image_);
  image_ = icon;
}

bool TTrayIconWindow::NotifyIcon(desktop::TNotifyIconMessage message, const desktop::TNotifyIconRecord& record) {
  if (Handle() == nullptr) return false;
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

std::uintptr_t TTrayIconWindow::WindowHandle() const { return reinterpret_cast<std::uintptr_t>(Handle()); }

TPoint TTrayIconWindow::CursorPos() {
  POINT p{};
  GetCursorPos(&p);
  return platform::win32::FromPOINT(p);
}

desktop::TShiftState TTrayIconWindow::ModifierKeys() {
  desktop::TShiftState shift = 0;
  if (GetKeyState(VK_SHIFT) < 0) shift |= desktop::ssShift;
  if (GetKeyState(VK_CONTROL) < 0) shift |= desktop::ssCtrl;
  if (GetKeyState(VK_MENU) < 0) shift |= desktop::ssAlt;
  return shift;
}

bool TTrayIconWindow::WindowEnabled() { return Handle() != nullptr && IsWindowEnabled(Handle()) != FALSE; }

void TTrayIconWindow::SetForeground() { SetForegroundWindow(Handle()); }

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

bool TTrayIconWindow::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result) {
  result = 0;
  if (taskbar_created_ != 0 && message == taskbar_created_) {
    if (OnShellRestarted) OnShellRestarted();
    return true;
  }
  return OnMessage && OnMessage(message, wparam, lparam);
}

}  // namespace vesk::app::win32
