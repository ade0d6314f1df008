#pragma once
// The window-manager and process calls behind the settings actions.
#include <windows.h>

#include <string>

#include "app/settings_actions.h"

namespace vesk::app::win32 {

// SetWindowPos with HWND_TOPMOST or HWND_NOTOPMOST, position and size 0 and
// SWP_NOMOVE | SWP_NOSIZE only (so the window may also be activated). A
// failure is ignored: the window just keeps its place in the z-order.
void ApplyZOrder(HWND window, TZOrderPlacement placement);

// The executable's full path as the process reports it (UTF-8). Raises
// std::runtime_error when the system cannot tell.
[[nodiscard]] std::string ModuleFileName();

}  // namespace vesk::app::win32
