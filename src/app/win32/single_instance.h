#pragma once
// One clock per user and logon session. The first start of the program
// holds a named mutex for its life; a later start finds it held, asks the
// running clock to come forward (shown if it was hidden, as a click on its
// icon does) and ends at once, before it makes any window or touches the
// registry.
#include <windows.h>

namespace vesk::app::win32 {

// The message a later start sends the running clock's window.
inline constexpr const wchar_t* kBringForwardMessage = L"VeskClock.BringForward";

class TSingleInstance {
 public:
  // Takes the mutex of this user's clocks in this session.
  TSingleInstance();
  ~TSingleInstance();
  TSingleInstance(const TSingleInstance&) = delete;
  TSingleInstance& operator=(const TSingleInstance&) = delete;

  // False when another start of the program already holds the mutex.
  [[nodiscard]] bool First() const { return first_; }

 private:
  HANDLE mutex_ = nullptr;
  bool first_ = true;
};

// Asks the running clock (the window of class TfrmMain titled "Vesk Clock")
// to come forward, waiting up to `wait_ms` for its window while it is still
// starting. False when no such window appeared.
bool BringRunningClockForward(DWORD wait_ms);

}  // namespace vesk::app::win32
