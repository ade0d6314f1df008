#include "app/win32/settings_actions_win32.h"

#include <stdexcept>
#include <vector>

#include "app/win32/wide_text.h"

namespace vesk::app::win32 {

void ApplyZOrder(HWND window, TZOrderPlacement placement) {
  HWND insert_after = placement == zpTopmost ? HWND_TOPMOST : HWND_NOTOPMOST;
  SetWindowPos(window, insert_after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

std::string ModuleFileName() {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0) throw std::runtime_error("Cannot find the program's file name.");
    if (n < buffer.size()) return Narrow(std::wstring_view(buffer.data(), n));
    if (buffer.size() >= 32768) throw std::runtime_error("Cannot find the program's file name.");
    buffer.resize(buffer.size() * 2);  // the name was cut short
  }
}

}  // namespace vesk::app::win32
