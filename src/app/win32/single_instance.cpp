#include "app/win32/single_instance.h"

#include <string>

#include "app/win32/frm_main.h"

namespace vesk::app::win32 {
namespace {

// "Local\" keeps the name within the logon session; the user's name keeps
// another user's clock in the same session apart.
std::wstring MutexName() {
  wchar_t user[257] = {};
  DWORD size = 257;
  if (!GetUserNameW(user, &size)) user[0] = L'\0';
  return std::wstring(L"Local\\VeskClock.SingleInstance.") + user;
}

}  // namespace

TSingleInstance::TSingleInstance() {
  mutex_ = CreateMutexW(nullptr, FALSE, MutexName().c_str());
  // Without a mutex (the system refused one) the clock runs as it always
  // did: a failure here must not keep it from starting.
  first_ = mutex_ == nullptr || GetLastError() != ERROR_ALREADY_EXISTS;
}

TSingleInstance::~TSingleInstance() {
  if (mutex_ != nullptr) CloseHandle(mutex_);
}

bool BringRunningClockForward(DWORD wait_ms) {
  const UINT message = RegisterWindowMessageW(kBringForwardMessage);
  const ULONGLONG end = GetTickCount64() + wait_ms;
  for (;;) {
    const HWND clock = FindWindowW(kMainWindowClass, kMainWindowCaption);
    if (clock != nullptr && message != 0) {
      // The running clock may take the foreground from this start.
      DWORD process = 0;
      GetWindowThreadProcessId(clock, &process);
      AllowSetForegroundWindow(process);
      PostMessageW(clock, message, 0, 0);
      return true;
    }
    if (GetTickCount64() >= end) return false;
    Sleep(100);
  }
}

}  // namespace vesk::app::win32
