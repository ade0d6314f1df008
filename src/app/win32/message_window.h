#pragma once
// A window of the program's own class that hands its messages to an object:
// the class is registered once, the object is the window's creation
// parameter and is kept with the window, and every message the object does
// not handle gets the system's default handling. The clock window and the
// hidden windows of the menu, the icon and the media player are all made
// this way.
#include <windows.h>

namespace vesk::app::win32 {

struct TWindowClass {
  const wchar_t* Name;
  UINT Style = 0;
  bool ArrowCursor = false;
};

struct TWindowCreation {
  DWORD ExStyle = 0;
  const wchar_t* Title = L"";
  DWORD Style = WS_POPUP;
  int X = 0, Y = 0, Width = 0, Height = 0;
  HWND Parent = nullptr;  // HWND_MESSAGE for a message-only window
};

class TMessageWindow {
 public:
  TMessageWindow() = default;
  // Destroys the window if it still exists (no message reaches the object
  // any more).
  virtual ~TMessageWindow();
  TMessageWindow(const TMessageWindow&) = delete;
  TMessageWindow& operator=(const TMessageWindow&) = delete;

  [[nodiscard]] HWND Handle() const { return handle_; }

 protected:
  // Registers the class (a second registration fails harmlessly) and makes
  // the window; Handle() is nullptr when the system refuses.
  void CreateHandle(HINSTANCE instance, const TWindowClass& window_class, const TWindowCreation& creation);
  // Forgets the window without destroying it: later messages get the
  // default handling, and the system removes the window with the process.
  void ReleaseHandle();
  // A message of the window. Returns true with `result` set when handled;
  // false passes it to the default handling.
  virtual bool HandleMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result) = 0;

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

  HWND handle_ = nullptr;
};

}  // namespace vesk::app::win32
