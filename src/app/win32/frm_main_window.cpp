// The clock window's life as a system window: class registration, creation,
// the window procedure that turns messages into handler calls, showing,
// closing and destruction.
#include <windowsx.h>

#include "app/win32/application.h"
#include "app/win32/frm_main.h"
#include "app/win32/wide_text.h"
#include "base/errors.h"

namespace vesk::app::win32 {

TfrmMain* frmMain = nullptr;

TfrmMain::TfrmMain(TApplication& application) : application_(application) {
  // The settings storage takes these slots over when it is attached: it
  // restores the three check marks and the placement (raising its restore
  // event, FormStorage1RestorePlacement) before FormShow runs, and saves at
  // the allowed close.
  OnShow = [this] { FormShow(); };
  OnCloseQuery = [this](bool& can_close) { FormCloseQuery(can_close); };
  OnDestroy = [this] { FormDestroy(); };
  Timer1.OnTimer = [this] { Timer1Timer(); };
  fadeTimer.OnTimer = [this] { fadeTimerTimer(); };
  CreateHandle();
  CreateMenuComponents();
  CreateStorageComponents();
  CreateTrayIcon();
  CreateChimeComponents();
  frmMain = this;
  RunHandler([this] { FormCreate(); });
}

TfrmMain::~TfrmMain() {
  if (handle_ != nullptr) DestroyWindow(handle_);
  if (frmMain == this) frmMain = nullptr;
}

void TfrmMain::CreateHandle() {
  WNDCLASSEXW window_class{};
  window_class.cbSize = sizeof(window_class);
  window_class.style = CS_DBLCLKS;
  window_class.lpfnWndProc = &TfrmMain::WindowProc;
  window_class.hInstance = application_.Instance();
  window_class.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  window_class.lpszClassName = kMainWindowClass;
  RegisterClassExW(&window_class);
  // A borderless popup owned by the application window, so it has no
  // taskbar button; the layered style is added by the creation handler.
  handle_ = CreateWindowExW(WS_EX_TOOLWINDOW, kMainWindowClass, Widen(kMainWindowCaption).c_str(),
                            WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, kDesignLeft, kDesignTop, kDesignWidth,
                            kDesignHeight, application_.Handle(), nullptr, application_.Instance(), this);
  if (handle_ == nullptr) {
    throw vesk::Exception("Error creating window: " + std::to_string(GetLastError()));
  }
  Timer1.Attach(handle_);
  fadeTimer.Attach(handle_);
}

POINT TfrmMain::CurrentPosition() const {
  RECT r{};
  GetWindowRect(handle_, &r);
  return POINT{r.left, r.top};
}

void TfrmMain::SetClientSize(int width, int height) {
  SetWindowPos(handle_, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TfrmMain::Show() {
  if (OnShow) OnShow();
  ShowWindow(handle_, show_command_);
}

bool TfrmMain::CloseQuery() {
  bool can_close = true;
  if (OnCloseQuery) OnCloseQuery(can_close);
  return can_close;
}

void TfrmMain::Close() {
  if (!CloseQuery()) return;
  TCloseAction action = TCloseAction::caHide;
  FormClose(action);
  if (action == TCloseAction::caNone) return;
  // Closing the main window ends the program; the window is destroyed when
  // the message loop has ended.
  application_.Terminate();
}

void TfrmMain::DoDestroy() {
  if (destroyed_) return;
  destroyed_ = true;
  Timer1.Detach();
  fadeTimer.Detach();
  RunHandler([this] {
    if (OnDestroy) OnDestroy();
  });
}

void TfrmMain::ReleaseAtExit() {
  if (handle_ == nullptr) return;
  DoDestroy();
  SetWindowLongPtrW(handle_, GWLP_USERDATA, 0);  // later messages get the default handling
  handle_ = nullptr;
}

LRESULT CALLBACK TfrmMain::WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lparam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self = reinterpret_cast<TfrmMain*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (self == nullptr || self->handle_ == nullptr || self->handle_ != window) {
    return DefWindowProcW(window, message, wparam, lparam);
  }
  return self->HandleMessage(message, wparam, lparam);
}

LRESULT TfrmMain::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_TIMER:
      if (wparam == Timer1.Id()) {
        RunHandler([this] { Timer1.Fire(); });
      } else if (wparam == fadeTimer.Id()) {
        RunHandler([this] { fadeTimer.Fire(); });
      }
      return 0;
    case WM_MOUSEMOVE: {
      const TMouseButtons buttons{(wparam & MK_LBUTTON) != 0, (wparam & MK_RBUTTON) != 0,
                                  (wparam & MK_MBUTTON) != 0};
      const int x = GET_X_LPARAM(lparam);
      const int y = GET_Y_LPARAM(lparam);
      RunHandler([&] { FormMouseMove(buttons, x, y); });
      return 0;
    }
    case WM_CONTEXTMENU:
      // Made by the default handling of a right-button release (and of the
      // keyboard's menu key); the menu opens at the mouse either way.
      RunHandler([this] { ShowContextMenu(); });
      return 0;
    case WM_CLOSE:
      RunHandler([this] { Close(); });
      return 0;
    case 0x02E0: {  // WM_DPICHANGED: the new resolution in the high word
      const RECT suggested = *reinterpret_cast<const RECT*>(lparam);
      RunHandler([&] { FormDpiChanged(HIWORD(wparam), suggested); });
      return 0;
    }
    case WM_QUERYENDSESSION: {
      // The end of the session is a close request like any other: refused
      // the first time, while the fade-out starts.
      bool can_close = false;
      RunHandler([&] { can_close = CloseQuery(); });
      return can_close ? TRUE : FALSE;
    }
    case WM_DESTROY:
      DoDestroy();
      return 0;
    case WM_NCDESTROY: {
      const HWND window = handle_;
      handle_ = nullptr;
      return DefWindowProcW(window, message, wparam, lparam);
    }
    default:
      break;
  }
  return DefWindowProcW(handle_, message, wparam, lparam);
}

}  // namespace vesk::app::win32
