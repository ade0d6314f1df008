// The clock's notification-area icon: TrayIcon1's settings and its click
// handler, which hides and shows the clock.
#include "app/win32/application.h"
#include "app/win32/frm_main.h"
#include "app/win32/resource_ids.h"

namespace vesk::app::win32 {

void TfrmMain::CreateTrayIcon() {
  tray_menu_ = std::make_unique<TTrayPopupMenu>(*popup_window_);
  tray_window_ = std::make_unique<TTrayIconWindow>(application_.Instance(), handle_,
                                                   [this](const std::exception& error) {
                                                     application_.HandleException(error);
                                                   });
  desktop::TTrayIcon& icon = tray_window_->Component();
  icon.SetHint("Vesk Clock");
  icon.SetPopupMenu(tray_menu_.get());
  icon.OnClick = [this](desktop::TMouseButton button, desktop::TShiftState shift, int x, int y) {
    TrayIcon1Click(button, shift, x, y);
  };
  tray_window_->SetIconImage(LoadSmallIcon(application_.Instance(), VESK_IDI_MAINICON));
  icon.SetEnabled(true);
  icon.SetActive(true);
}

void TfrmMain::TrayIcon1Click(desktop::TMouseButton /*button*/, desktop::TShiftState /*shift*/, int /*x*/,
                              int /*y*/) {
  if (IsWindowVisible(handle_)) {
    ShowWindow(handle_, SW_HIDE);
    return;
  }
  ShowWindow(handle_, SW_SHOWNORMAL);
  RenderClock();
  SetForegroundWindow(handle_);
}

}  // namespace vesk::app::win32
