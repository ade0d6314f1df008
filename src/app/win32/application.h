#pragma once
// The application object: the program's title (the caption of every message
// box), its own hidden top-level window, the main window, the message loop
// and the error boxes that every handler's escaping error ends in.
#include <windows.h>

#include <exception>
#include <memory>
#include <string>
#include <string_view>

#include "app/error_box_throttle.h"

namespace vesk::app::win32 {

class TfrmMain;

inline constexpr const wchar_t* kApplicationWindowClass = L"TApplication";

class TApplication {
 public:
  explicit TApplication(HINSTANCE instance);
  ~TApplication();
  TApplication(const TApplication&) = delete;
  TApplication& operator=(const TApplication&) = delete;

  // Registers the program's private fonts and makes the application window.
  void Initialize();

  void SetTitle(std::string_view title);

  [[nodiscard]] HINSTANCE Instance() const { return instance_; }
  // The application's own top-level window: never shown, the owner of the
  // main window until it is first shown, the target of a minimize command.
  [[nodiscard]] HWND Handle() const { return handle_; }

  // Makes the main window; its creation handler runs inside.
  void CreateMainForm();
  [[nodiscard]] TfrmMain* MainForm() const { return main_form_.get(); }

  // Shows the main window and runs the message loop until Terminate.
  // Returns the process exit code.
  int Run();
  void Terminate();

  // Hides the main window; the notification-area icon shows it again.
  void Minimize();

  // An error that escaped a handler: an error box (caption the title, error
  // icon, OK) with the message and the full-stop rule. The program goes on.
  void HandleException(const std::exception& error);
  void ShowException(std::string_view message);
  // A failed system call on the presentation path: a plain box (caption the
  // title, OK, no icon) with the system's text for the code.
  void ShowSystemError(DWORD code);

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  // Shows one box unless `throttle` holds it back.
  void ShowBox(TErrorBoxThrottle& throttle, const std::string& key, const std::string& text, UINT type);

  HINSTANCE instance_;
  HWND handle_ = nullptr;
  std::string title_;
  std::unique_ptr<TfrmMain> main_form_;
  bool terminated_ = false;
  TErrorBoxThrottle exception_boxes_;
  TErrorBoxThrottle system_error_boxes_;
};

// The one application object of the process.
extern TApplication* Application;

// Runs an event handler; an error escaping it is shown by the application's
// error box and the program goes on. Nothing may unwind through the
// system's window procedure.
template <class Handler>
void RunHandler(Handler&& handler) noexcept {
  try {
    handler();
  } catch (const std::exception& error) {
    if (Application != nullptr) Application->HandleException(error);
  } catch (...) {
    if (Application != nullptr) Application->ShowException("Unknown error");
  }
}

}  // namespace vesk::app::win32
