// The clock window at its monitor's display scale: the scale it is built at
// and the move to a monitor of another scale (WM_DPICHANGED).
#include <cmath>

#include "app/win32/frm_main.h"
#include "imaging/skin_loader.h"

namespace vesk::app::win32 {

std::int32_t TfrmMain::MonitorPixelsPerInch() const {
  // Per-monitor aware (the manifest): the window's own monitor's resolution
  // where the system reports one per window, else the screen's.
  using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
  static const auto get_dpi_for_window = reinterpret_cast<GetDpiForWindowFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
  if (get_dpi_for_window != nullptr && handle_ != nullptr) {
    const UINT dpi = get_dpi_for_window(handle_);
    if (dpi != 0) return static_cast<std::int32_t>(dpi);
  }
  const HDC screen = GetDC(nullptr);
  const int dpi = screen != nullptr ? GetDeviceCaps(screen, LOGPIXELSY) : kBasePixelsPerInch;
  if (screen != nullptr) ReleaseDC(nullptr, screen);
  return dpi;
}

void TfrmMain::FormDpiChanged(std::int32_t pixels_per_inch, const RECT& suggested) {
  const TFaceScale scale = FaceScaleFor(pixels_per_inch);
  RECT old{};
  GetWindowRect(handle_, &old);
  if (scale == Face.Scale() || !Face.Built()) {
    SetWindowPos(handle_, nullptr, suggested.left, suggested.top, old.right - old.left, old.bottom - old.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    return;
  }
  // The face again, at the new scale; the old one is dropped first.
  Face.Reset();
  Face.SetScale(scale);
  Face.Build(imaging::SkinFilePath("face\\"));
  const int width = Face.Width();
  const int height = Face.Height();
  WindowSize = SIZE{width, height};

  // Where the suggestion puts it; when the cursor holds the face (a drag
  // across monitors), the point of the face under it stays under it.
  int left = suggested.left;
  int top = suggested.top;
  POINT cursor{};
  const int old_width = old.right - old.left;
  const int old_height = old.bottom - old.top;
  if (GetCursorPos(&cursor) && PtInRect(&old, cursor) && old_width > 0 && old_height > 0) {
    left = cursor.x - static_cast<int>(std::lround(double(cursor.x - old.left) * width / old_width));
    top = cursor.y - static_cast<int>(std::lround(double(cursor.y - old.top) * height / old_height));
  }
  SetWindowPos(handle_, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
  WindowPosition = CurrentPosition();
  // The next tick draws the face at once, at the new scale.
  redraw_gate_.Reset();
}

}  // namespace vesk::app::win32
