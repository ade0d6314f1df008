#pragma once
// The application object: the program's title (the caption of every message
// box), its own hidden top-level window, the message loop and the error
// boxes that every handler's escaping error ends in.
#include <windows.h>

#include <exception>
#include <functional>
#include <string>
#include <string_view>

#include "app/error_box_throttle.h"
#include "app/win32/message_window.h"

namespace vesk::app::win32 {

inline constexpr const wchar_t* kApplicationWindowClass = L"TApplication";

class TApplication final : public TMessageWindow {
 public:
  explicit TApplication(HINSTANCE instance);
  ~TApplication() override;

  // Registers the program's private fonts and makes the application window.
  void Initialize();
  void SetTitle(std::string_view title);

  [[nodiscard]] HINSTANCE Instance() const { return instance_; }

  // What the application window's commands do: a minimize command hides the
  // clock (the icon shows it again), closing it closes the clock the usual
  // way. Set by the main window.
  std::function<void()> OnMinimize;
  std::function<void()> OnClose;

  // Runs `show` (the main window's first showing), then the message loop
  // until Terminate, then `at_exit` (the main window's destroy event).
  // Returns the process exit code.
  int Run(const std::function<void()>& show, const std::function<void()>& at_exit);
  void Terminate();

  // An error that escaped a handler: an error box (caption the title, error
  // icon, OK) with the message and the full-stop rule. The program goes on.
  void HandleException(const std::exception& error);
  void ShowException(std::string_view message);
  // A failed system call on the presentation path: a plain box (caption the
  // title, OK, no icon) with the system's text for the code.
  void ShowSystemError(DWORD code);

 private:
  bool HandleMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result) override;
  // Shows one box unless `throttle` holds it back.
  void ShowBox(TErrorBoxThrottle& throttle, const std::string& key, const std::string& text, UINT type);

  HINSTANCE instance_;
  std::string title_;
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
