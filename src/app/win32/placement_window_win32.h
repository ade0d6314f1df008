#pragma once
// The clock window's placement as the settings storage sees it, on the
// window manager's calls: GetWindowPlacement/SetWindowPlacement,
// GetSystemMetrics, GetDeviceCaps(LOGPIXELSY) and the monitor functions.
#include <windows.h>

#include <functional>
#include <vector>

#include "desktop/placement_window.h"

namespace vesk::app::win32 {

class TWin32PlacementWindow final : public desktop::IPlacementWindow {
 public:
  // `remember_show_command` receives the show command (SW_...) to show the
  // window with, when its state is set while it is not visible yet.
  TWin32PlacementWindow(HWND window, HWND application_window, std::function<void(int)> remember_show_command);

  [[nodiscard]] desktop::TWindowPlacement GetPlacement() const override;
  void SetPlacement(const desktop::TWindowPlacement& placement) override;
  [[nodiscard]] bool Visible() const override;
  [[nodiscard]] std::int32_t Left() const override { return Bounds().left; }
  [[nodiscard]] std::int32_t Top() const override { return Bounds().top; }
  [[nodiscard]] std::int32_t Width() const override { return Bounds().right - Bounds().left; }
  [[nodiscard]] std::int32_t Height() const override { return Bounds().bottom - Bounds().top; }
  [[nodiscard]] bool BorderResizable() const override;
  [[nodiscard]] bool IsApplicationMainWindow() const override { return true; }
  [[nodiscard]] bool ApplicationMinimized() const override;
  [[nodiscard]] std::int32_t ScreenWidth() const override;
  [[nodiscard]] std::int32_t ScreenHeight() const override;
  [[nodiscard]] std::int32_t PixelsPerInch() const override;
  void SetWindowState(desktop::TWindowState state) override;
  void PostApplicationMinimize() override;
  void Repaint() override;
  [[nodiscard]] std::vector<TRect> MonitorRects() const override;
  [[nodiscard]] TRect NearestWorkArea(const TRect& rect) const override;
  void MoveTo(std::int32_t left, std::int32_t top) override;

 private:
  [[nodiscard]] RECT Bounds() const;

  HWND window_;
  HWND application_window_;
  std::function<void(int)> remember_show_command_;
};

}  // namespace vesk::app::win32
