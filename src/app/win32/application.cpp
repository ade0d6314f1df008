#include "app/win32/application.h"

#include "app/error_text.h"
#include "app/win32/private_fonts.h"
#include "platform/win32/wide_text.h"
#include "platform/process.h"

namespace vesk::app::win32 {
using platform::win32::Widen;

TApplication* Application = nullptr;

TApplication::TApplication(HINSTANCE instance) : instance_(instance) { Application = this; }

TApplication::~TApplication() {
  if (Application == this) Application = nullptr;
}

void TApplication::Initialize() {
  // Before any font is created: a font made earlier with the same face name
  // would keep the system's substitute.
  RegisterPrivateFonts();
  // A zero-sized top-level window that is never shown: it carries the title
  // and owns the main window and the message boxes.
  CreateHandle(instance_, TWindowClass{kApplicationWindowClass, 0, true},
               TWindowCreation{0, Widen(title_).c_str(), WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU |
                                                            WS_MINIMIZEBOX});
}

void TApplication::SetTitle(std::string_view title) {
  title_ = title;
  if (Handle() != nullptr) SetWindowTextW(Handle(), Widen(title_).c_str());
}

int TApplication::Run(const std::function<void()>& show, const std::function<void()>& at_exit) {
  if (!terminated_) RunHandler(show);
  MSG message;
  while (!terminated_) {
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got == 0 || got == -1) break;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  terminated_ = true;
  // The main window goes with the loop: its destroy handler runs here, and
  // the system removes the window with the process.
  at_exit();
  return 0;
}

void TApplication::Terminate() {
  if (terminated_) return;
  terminated_ = true;
  PostQuitMessage(0);
}

void TApplication::HandleException(const std::exception& error) { ShowException(error.what()); }

void TApplication::ShowException(std::string_view message) {
  const std::string text = ErrorMessageText(message);
  ShowBox(exception_boxes_, text, text, MB_ICONERROR | MB_OK);
}

void TApplication::ShowSystemError(DWORD code) {
  ShowBox(system_error_boxes_, std::to_string(code), platform::SystemErrorText(code), MB_OK);
}

void TApplication::ShowBox(TErrorBoxThrottle& throttle, const std::string& key, const std::string& text, UINT type) {
  if (!throttle.ShouldShow(key, static_cast<std::int64_t>(GetTickCount64()))) return;
  // The box runs its own message loop: timers keep ticking while it is open.
  MessageBoxW(Handle(), Widen(text).c_str(), Widen(title_).c_str(), type);
  throttle.BoxClosed(static_cast<std::int64_t>(GetTickCount64()));
}

bool TApplication::HandleMessage(UINT message, WPARAM wparam, LPARAM /*lparam*/, LRESULT& result) {
  result = 0;
  switch (message) {
    case WM_SYSCOMMAND:
      if ((wparam & 0xFFF0) == SC_MINIMIZE && OnMinimize) {
        RunHandler(OnMinimize);
        return true;
      }
      return false;
    case WM_CLOSE:
      if (!OnClose) return false;
      OnClose();
      return true;
    default:
      return false;
  }
}

}  // namespace vesk::app::win32
