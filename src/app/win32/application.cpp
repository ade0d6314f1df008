#include "app/win32/application.h"

#include "app/error_text.h"
#include "app/win32/frm_main.h"
#include "app/win32/private_fonts.h"
#include "app/win32/wide_text.h"
#include "platform/process.h"

namespace vesk::app::win32 {

TApplication* Application = nullptr;

TApplication::TApplication(HINSTANCE instance) : instance_(instance) { Application = this; }

TApplication::~TApplication() {
  main_form_.reset();
  if (handle_ != nullptr) DestroyWindow(handle_);
  if (Application == this) Application = nullptr;
}

void TApplication::Initialize() {
  // Before any font is created: a font made earlier with the same face name
  // would keep the system's substitute.
  RegisterPrivateFonts();

  WNDCLASSEXW window_class{};
  window_class.cbSize = sizeof(window_class);
  window_class.lpfnWndProc = &TApplication::WindowProc;
  window_class.hInstance = instance_;
  window_class.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  window_class.lpszClassName = kApplicationWindowClass;
  RegisterClassExW(&window_class);
  // A zero-sized top-level window that is never shown: it carries the title
  // and owns the main window and the message boxes.
  handle_ = CreateWindowExW(0, kApplicationWindowClass, Widen(title_).c_str(),
                            WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX, 0, 0, 0, 0,
                            nullptr, nullptr, instance_, nullptr);
}

void TApplication::SetTitle(std::string_view title) {
  title_ = title;
  if (handle_ != nullptr) SetWindowTextW(handle_, Widen(title_).c_str());
}

void TApplication::CreateMainForm() { main_form_ = std::make_unique<TfrmMain>(*this); }

int TApplication::Run() {
  if (!main_form_) return 1;  // the window could not be made; the error was shown
  if (main_form_ && !terminated_) RunHandler([&] { main_form_->Program().Show(); });
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
  main_form_->ReleaseAtExit();
  return 0;
}

void TApplication::Terminate() {
  if (terminated_) return;
  terminated_ = true;
  PostQuitMessage(0);
}

void TApplication::Minimize() {
  if (main_form_ && main_form_->Handle() != nullptr) RunHandler([&] { main_form_->Program().ApplicationMinimize(); });
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
  MessageBoxW(handle_, Widen(text).c_str(), Widen(title_).c_str(), type);
  throttle.BoxClosed(static_cast<std::int64_t>(GetTickCount64()));
}

LRESULT CALLBACK TApplication::WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_SYSCOMMAND:
      if ((wparam & 0xFFF0) == SC_MINIMIZE && Application != nullptr) {
        Application->Minimize();
        return 0;
      }
      break;
    case WM_CLOSE:
      // Closing the application window closes the program the usual way:
      // through the main window's two-phase close.
      if (Application != nullptr && Application->MainForm() != nullptr) {
        PostMessageW(Application->MainForm()->Handle(), WM_CLOSE, 0, 0);
        return 0;
      }
      break;
    default:
      break;
  }
  return DefWindowProcW(window, message, wparam, lparam);
}

}  // namespace vesk::app::win32
