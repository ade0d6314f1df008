// The clock window's life as a system window: creation with its timers,
// hidden windows and program, the messages it turns into program calls, and
// destruction.
#include <windowsx.h>

#include "app/win32/application.h"
#include "app/win32/frm_main.h"
#include "app/win32/resource_ids.h"
#include "app/win32/single_instance.h"
#include "base/errors.h"
#include "platform/process.h"
#include "platform/win32/win32_types.h"

namespace vesk::app::win32 {

TfrmMain* frmMain = nullptr;

TfrmMain::TfrmMain(TApplication& application) : application_(application) {
  // A borderless popup owned by the application window, so it has no
  // taskbar button; the layered style is added by the creation handler.
  CreateHandle(application_.Instance(), TWindowClass{kMainWindowClass, CS_DBLCLKS, true},
               TWindowCreation{WS_EX_TOOLWINDOW, kMainWindowCaption, WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN,
                               kDesignLeft, kDesignTop, kDesignWidth, kDesignHeight, application_.Handle()});
  if (Handle() == nullptr) throw vesk::Exception("Error creating window: " + std::to_string(GetLastError()));
  bring_forward_message_ = RegisterWindowMessageW(kBringForwardMessage);
  timer1_.Attach(Handle());
  fade_timer_.Attach(Handle());
  const auto report = [this](const std::exception& error) { application_.HandleException(error); };
  key_store_ = platform::MakeUserKeyStore();
  placement_window_ = std::make_unique<TWin32PlacementWindow>(Handle(), application_.Handle(),
                                                              [this](int command) { show_command_ = command; });
  popup_window_ = std::make_unique<TPopupMenuWindow>(
      application_.Instance(), [this](std::uint16_t command) { return program_->PopupMenu1.Click(command); }, report);
  tray_window_ = std::make_unique<TTrayIconWindow>(application_.Instance(), Handle(), report);
  tray_window_->SetIconImage(LoadSmallIcon(application_.Instance(), VESK_IDI_MAINICON));
  media_window_ = std::make_unique<TMediaPlayerWindow>(application_.Instance());

  program_ = std::make_unique<TClockProgram>(TClockSystem{
      *this, *placement_window_, clock_, timer1_, fade_timer_, *key_store_, shell_, std::make_unique<TWinMci>(),
      media_window_->Callback(), *tray_window_, *tray_window_, tray_window_->IconImage(),
      platform::ExecutablePath(), platform::ExecutableFolder()});
  timer1_.OnTimer = [this] { program_->Timer1Timer(); };
  fade_timer_.OnTimer = [this] { program_->fadeTimerTimer(); };
  tray_window_->OnMessage = [this](std::uint32_t message, std::uintptr_t wparam, std::intptr_t lparam) {
    bool handled = false;
    RunHandler([&] { handled = program_->TrayNotify(message, wparam, lparam); });
    return handled;
  };
  tray_window_->OnShellRestarted = [this] { RunHandler([this] { program_->ShellRestarted(); }); };
  media_window_->OnNotify = [this](std::uint32_t result) { RunHandler([&] { program_->MediaNotify(result); }); };

  // Closing the application window closes the clock the usual way, through
  // its two-phase close.
  application_.OnMinimize = [this] { program_->ApplicationMinimize(); };
  application_.OnClose = [this] { PostMessageW(Handle(), WM_CLOSE, 0, 0); };

  program_->Create();
  frmMain = this;
  RunHandler([this] { program_->FormCreate(); });
}

TfrmMain::~TfrmMain() {
  application_.OnMinimize = nullptr;
  application_.OnClose = nullptr;
  program_.reset();
  if (frmMain == this) frmMain = nullptr;
}

void TfrmMain::DoDestroy() {
  if (destroyed_) return;
  destroyed_ = true;
  timer1_.Detach();
  fade_timer_.Detach();
  RunHandler([this] { program_->Destroy(); });
}

void TfrmMain::ReleaseAtExit() {
  if (Handle() == nullptr) return;
  DoDestroy();
  ReleaseHandle();
}

void TfrmMain::TimeChanged() {
  // Broadcasts reach the window from its creation to its end; the program
  // is there only in between.
  if (program_ != nullptr && !destroyed_) RunHandler([this] { program_->TimeChanged(); });
}

bool TfrmMain::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result) {
  result = 0;
  switch (message) {
    case WM_TIMER:
      if (wparam == timer1_.Id()) {
        RunHandler([this] { timer1_.Fire(); });
      } else if (wparam == fade_timer_.Id()) {
        RunHandler([this] { fade_timer_.Fire(); });
      }
      return true;
    case WM_MOUSEMOVE: {
      const TMouseButtons buttons{(wparam & MK_LBUTTON) != 0, (wparam & MK_RBUTTON) != 0,
                                  (wparam & MK_MBUTTON) != 0};
      const TPoint at{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)};
      RunHandler([&] { program_->MouseMove(buttons, at); });
      return true;
    }
    case WM_CONTEXTMENU:
      // Made by the default handling of a right-button release (and of the
      // keyboard's menu key); the menu opens at the mouse either way.
      RunHandler([this] { program_->ContextMenu(); });
      return true;
    case WM_CLOSE:
      RunHandler([this] { program_->Close(); });
      return true;
    case 0x02E0: {  // WM_DPICHANGED: the new resolution in the high word
      const TRect suggested = platform::win32::FromRECT(*reinterpret_cast<const RECT*>(lparam));
      RunHandler([&] { program_->DpiChanged(HIWORD(wparam), suggested); });
      return true;
    }
    case WM_TIMECHANGE:
      // The system's time was set (also sent when the time zone changes).
      TimeChanged();
      return true;
    case WM_SETTINGCHANGE:
      // A time-zone change may come as a setting change alone; a tick that
      // finds the same second only arms the timer again.
      TimeChanged();
      return false;
    case WM_POWERBROADCAST:
      // Back from sleep: the timer's pending tick may be late by the whole
      // sleep, or come a boundary too early.
      if (wparam == PBT_APMRESUMEAUTOMATIC || wparam == PBT_APMRESUMESUSPEND) {
        TimeChanged();
      }
      result = TRUE;
      return true;
    case WM_QUERYENDSESSION: {
      // The end of the session is a close request like any other: refused
      // the first time, while the fade-out starts.
      bool can_close = false;
      RunHandler([&] { can_close = program_->CloseQuery(); });
      result = can_close ? TRUE : FALSE;
      return true;
    }
    case WM_DESTROY:
      DoDestroy();
      return true;
    default:
      if (bring_forward_message_ != 0 && message == bring_forward_message_) {
        RunHandler([this] { program_->BringForward(); });
        return true;
      }
      return false;
  }
}

}  // namespace vesk::app::win32
