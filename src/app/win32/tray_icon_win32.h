#pragma once
// The notification-area icon's Windows side: the hidden message window that
// receives the shell's notifications (and its "TaskbarCreated" broadcast),
// Shell_NotifyIcon with the single-byte record, and the calls made around
// the popup menu. The decisions are desktop::TTrayIcon's, whose messages
// this window hands on.
#include <windows.h>

#include <cstdint>
#include <exception>
#include <functional>

#include "app/win32/message_window.h"
#include "desktop/tray_icon_shell.h"

namespace vesk::app::win32 {

inline constexpr const wchar_t* kTrayIconWindowClass = L"TTrayIconWindow";

// Loads an icon resource at the system's small-icon size (SM_CXSMICON by
// SM_CYSMICON); the caller destroys it (DestroyIcon). nullptr when there is
// no such resource.
[[nodiscard]] HICON LoadSmallIcon(HINSTANCE instance, int resource_id);

class TTrayIconWindow final : public TMessageWindow, public desktop::ITrayShell, public desktop::ITrayHost {
 public:
  using TErrorHandler = std::function<void(const std::exception&)>;
  // A message of the window; true when the icon handled it.
  using TMessageHandler = std::function<bool(std::uint32_t message, std::uintptr_t wparam, std::intptr_t lparam)>;

  // Makes the hidden window (a top-level window that is never shown, so the
  // shell's broadcasts reach it). `main_window` receives the cancel-mode
  // message when the program has no active window.
  TTrayIconWindow(HINSTANCE instance, HWND main_window, TErrorHandler on_error);
  ~TTrayIconWindow() override;

  // Where the window's messages and the shell's restart go.
  TMessageHandler OnMessage;
  std::function<void()> OnShellRestarted;

  // The icon's image, owned by this object from here on.
  void SetIconImage(HICON icon);
  [[nodiscard]] std::uintptr_t IconImage() const { return reinterpret_cast<std::uintptr_t>(image_); }

  // ITrayShell: Shell_NotifyIconA.
  bool NotifyIcon(desktop::TNotifyIconMessage message, const desktop::TNotifyIconRecord& record) override;

  // ITrayHost.
  [[nodiscard]] std::uintptr_t WindowHandle() const override;
  [[nodiscard]] TPoint CursorPos() override;
  [[nodiscard]] desktop::TShiftState ModifierKeys() override;
  [[nodiscard]] bool WindowEnabled() override;
  void SetForeground() override;
  void CancelModeToActiveWindow() override;
  void ProcessMessages() override;
  void ReportError(const std::exception& error) override;

 private:
  bool HandleMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result) override;

  HWND main_window_ = nullptr;
  // The message the shell broadcasts when its notification area is made
  // anew; 0 if it could not be registered.
  UINT taskbar_created_ = 0;
  TErrorHandler on_error_;
  HICON image_ = nullptr;
};

}  // namespace vesk::app::win32
