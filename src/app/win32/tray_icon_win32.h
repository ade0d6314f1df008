#pragma once
// The notification-area icon's Windows side: the hidden message window that
// receives the shell's notifications (and its "TaskbarCreated" broadcast),
// Shell_NotifyIcon with the single-byte record, the calls made around the
// popup menu, and the clock's menu opened from the icon. The decisions are
// desktop::TTrayIcon's.
#include <windows.h>

#include <exception>
#include <functional>
#include <memory>

#include "app/win32/popup_menu.h"
#include "desktop/tray_icon.h"

namespace vesk::app::win32 {

inline constexpr const wchar_t* kTrayIconWindowClass = L"TTrayIconWindow";

// Loads an icon resource at the system's small-icon size (SM_CXSMICON by
// SM_CYSMICON); the caller destroys it (DestroyIcon). nullptr when there is
// no such resource.
[[nodiscard]] HICON LoadSmallIcon(HINSTANCE instance, int resource_id);

class TTrayIconWindow final : public desktop::ITrayShell, public desktop::ITrayHost {
 public:
  using TErrorHandler = std::function<void(const std::exception&)>;

  // Makes the hidden window (a top-level window that is never shown, so the
  // shell's broadcasts reach it) and the component, inactive. `main_window`
  // receives the cancel-mode message when the program has no active window.
  TTrayIconWindow(HINSTANCE instance, HWND main_window, TErrorHandler on_error);
  // Removes the icon, then the window and the icon image.
  ~TTrayIconWindow() override;
  TTrayIconWindow(const TTrayIconWindow&) = delete;
  TTrayIconWindow& operator=(const TTrayIconWindow&) = delete;

  [[nodiscard]] HWND Handle() const { return handle_; }
  [[nodiscard]] desktop::TTrayIcon& Component() { return *component_; }
  // Gives the component the image, which this object then owns.
  void SetIconImage(HICON icon);

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
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

  HWND handle_ = nullptr;
  HWND main_window_ = nullptr;
  // The message the shell broadcasts when its notification area is made
  // anew; 0 if it could not be registered.
  UINT taskbar_created_ = 0;
  TErrorHandler on_error_;
  HICON image_ = nullptr;
  std::unique_ptr<desktop::TTrayIcon> component_;
};

// The clock's menu as the icon opens it: built from the model, tracked by
// TrackPopupMenu at the point with TPM_LEFTALIGN | TPM_RIGHTBUTTON, owned by
// the menu's own hidden window, which turns the chosen command into the
// item's click.
class TTrayPopupMenu final : public desktop::ITrayPopupMenu {
 public:
  explicit TTrayPopupMenu(TPopupMenuWindow& window) : window_(window) {}

  [[nodiscard]] bool AutoPopup() const override { return true; }
  void SetPopupComponent(const desktop::TTrayIcon* /*component*/) override {}
  void Popup(int x, int y) override;
  // The clock's menu has no default item.
  bool ClickDefaultItem() override { return false; }

 private:
  TPopupMenuWindow& window_;
};

}  // namespace vesk::app::win32
