#include "app/win32/placement_window_win32.h"

#include <utility>

namespace vesk::app::win32 {
namespace {

TRect FromRect(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }
RECT ToRect(const TRect& r) { return RECT{r.Left, r.Top, r.Right, r.Bottom}; }

BOOL CALLBACK CollectMonitor(HMONITOR monitor, HDC /*dc*/, LPRECT /*clip*/, LPARAM data) {
  MONITORINFO info{};
  info.cbSize = sizeof(info);
  if (GetMonitorInfoW(monitor, &info)) {
    reinterpret_cast<std::vector<TRect>*>(data)->push_back(FromRect(info.rcMonitor));
  }
  return TRUE;
}

}  // namespace

TWin32PlacementWindow::TWin32PlacementWindow(HWND window, HWND application_window,
                                             std::function<void(int)> remember_show_command)
    : window_(window),
      application_window_(application_window),
      remember_show_command_(std::move(remember_show_command)) {}

RECT TWin32PlacementWindow::Bounds() const {
  RECT r{};
  GetWindowRect(window_, &r);
  return r;
}

desktop::TWindowPlacement TWin32PlacementWindow::GetPlacement() const {
  WINDOWPLACEMENT wp{};
  wp.length = sizeof(wp);
  if (!GetWindowPlacement(window_, &wp)) {
    // No record: the window as it stands.
    return desktop::TWindowPlacement{0, platform::kShowNormal, {}, {}, FromRect(Bounds())};
  }
  return desktop::TWindowPlacement{wp.flags, static_cast<std::int32_t>(wp.showCmd),
                                   {wp.ptMinPosition.x, wp.ptMinPosition.y},
                                   {wp.ptMaxPosition.x, wp.ptMaxPosition.y},
                                   FromRect(wp.rcNormalPosition)};
}

void TWin32PlacementWindow::SetPlacement(const desktop::TWindowPlacement& p) {
  WINDOWPLACEMENT wp{};
  wp.length = sizeof(wp);
  wp.flags = p.Flags;
  wp.showCmd = static_cast<UINT>(p.ShowCmd);
  wp.ptMinPosition = POINT{p.MinPosition.X, p.MinPosition.Y};
  wp.ptMaxPosition = POINT{p.MaxPosition.X, p.MaxPosition.Y};
  wp.rcNormalPosition = ToRect(p.NormalPosition);
  SetWindowPlacement(window_, &wp);  // a refusal leaves the window where it is
}

bool TWin32PlacementWindow::Visible() const { return IsWindowVisible(window_) != FALSE; }

bool TWin32PlacementWindow::BorderResizable() const {
  return (GetWindowLongPtrW(window_, GWL_STYLE) & WS_THICKFRAME) != 0;
}

bool TWin32PlacementWindow::ApplicationMinimized() const { return IsIconic(application_window_) != FALSE; }

std::int32_t TWin32PlacementWindow::ScreenWidth() const { return GetSystemMetrics(SM_CXSCREEN); }
std::int32_t TWin32PlacementWindow::ScreenHeight() const { return GetSystemMetrics(SM_CYSCREEN); }

std::int32_t TWin32PlacementWindow::PixelsPerInch() const {
  const HDC dc = GetDC(nullptr);
  const int pixels_per_inch = dc != nullptr ? GetDeviceCaps(dc, LOGPIXELSY) : 96;
  if (dc != nullptr) ReleaseDC(nullptr, dc);
  return pixels_per_inch;
}

void TWin32PlacementWindow::SetWindowState(desktop::TWindowState state) {
  if (!Visible()) {
    // Kept for the first showing.
    if (remember_show_command_) {
      remember_show_command_(state == desktop::wsMaximized   ? SW_SHOWMAXIMIZED
                             : state == desktop::wsMinimized ? SW_SHOWMINNOACTIVE
                                                             : SW_SHOWNORMAL);
    }
    return;
  }
  switch (state) {
    case desktop::wsNormal:
      if (IsIconic(window_) || IsZoomed(window_)) ShowWindow(window_, SW_RESTORE);
      break;
    case desktop::wsMinimized:
      if (!IsIconic(window_)) ShowWindow(window_, SW_MINIMIZE);
      break;
    case desktop::wsMaximized:
      if (!IsZoomed(window_)) ShowWindow(window_, SW_MAXIMIZE);
      break;
  }
}

void TWin32PlacementWindow::PostApplicationMinimize() {
  PostMessageW(application_window_, WM_SYSCOMMAND, desktop::kMinimizeCommand, 0);
}

void TWin32PlacementWindow::Repaint() { InvalidateRect(window_, nullptr, FALSE); }

std::vector<TRect> TWin32PlacementWindow::MonitorRects() const {
  std::vector<TRect> monitors;
  EnumDisplayMonitors(nullptr, nullptr, &CollectMonitor, reinterpret_cast<LPARAM>(&monitors));
  if (monitors.empty()) {
    monitors.push_back({0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)});
  }
  return monitors;
}

TRect TWin32PlacementWindow::NearestWorkArea(const TRect& rect) const {
  const RECT r = ToRect(rect);
  MONITORINFO info{};
  info.cbSize = sizeof(info);
  if (GetMonitorInfoW(MonitorFromRect(&r, MONITOR_DEFAULTTONEAREST), &info)) return FromRect(info.rcWork);
  RECT work{};
  if (SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0)) return FromRect(work);
  return {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

void TWin32PlacementWindow::MoveTo(std::int32_t left, std::int32_t top) {
  SetWindowPos(window_, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace vesk::app::win32
