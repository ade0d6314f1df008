#pragma once
// What the settings storage needs from a window to restore and save its
// placement: the platform's placement record, the window's visibility,
// bounds, border and state, the screen's size and resolution, the monitors,
// and the few calls that change them. The Win32 window implements it with
// GetWindowPlacement/SetWindowPlacement, GetSystemMetrics, GetDeviceCaps and
// the monitor functions; tests use a fake.
#include <cstdint>
#include <vector>

#include "base/geometry.h"
#include "platform/show_command.h"

namespace vesk::desktop {


// The system command that minimizes a window (SC_MINIMIZE).
inline constexpr std::uint32_t kMinimizeCommand = 0xF020;

// The window manager's placement record of a window: its flags word, its
// show command, where it goes when minimized and when maximized, and its
// rectangle in the normal (restored) state.
struct TWindowPlacement {
  std::uint32_t Flags = 0;
  std::int32_t ShowCmd = platform::kShowNormal;
  TPoint MinPosition;
  TPoint MaxPosition;
  TRect NormalPosition;
  friend bool operator==(const TWindowPlacement&, const TWindowPlacement&) = default;
};

enum class TWindowState : std::uint8_t { wsNormal, wsMinimized, wsMaximized };
using enum TWindowState;

class IPlacementWindow {
 public:
  virtual ~IPlacementWindow() = default;

  [[nodiscard]] virtual TWindowPlacement GetPlacement() const = 0;
  virtual void SetPlacement(const TWindowPlacement& placement) = 0;

  [[nodiscard]] virtual bool Visible() const = 0;
  // The window's outer bounds now.
  [[nodiscard]] virtual std::int32_t Left() const = 0;
  [[nodiscard]] virtual std::int32_t Top() const = 0;
  [[nodiscard]] virtual std::int32_t Width() const = 0;
  [[nodiscard]] virtual std::int32_t Height() const = 0;
  // Whether the user can resize the window by its border.
  [[nodiscard]] virtual bool BorderResizable() const = 0;
  // Whether this is the application's main window, and whether the
  // application as a whole is minimized.
  [[nodiscard]] virtual bool IsApplicationMainWindow() const = 0;
  [[nodiscard]] virtual bool ApplicationMinimized() const = 0;

  // The primary screen's size in pixels and the screen's logical pixels per
  // inch (vertical).
  [[nodiscard]] virtual std::int32_t ScreenWidth() const = 0;
  [[nodiscard]] virtual std::int32_t ScreenHeight() const = 0;
  [[nodiscard]] virtual std::int32_t PixelsPerInch() const = 0;

  // Sets the window's state; a window that is not visible yet keeps it for
  // when it is shown.
  virtual void SetWindowState(TWindowState state) = 0;
  // Posts the minimize system command to the application's window.
  virtual void PostApplicationMinimize() = 0;
  virtual void Repaint() = 0;

  // The rectangles of all monitors, and the work area (the monitor without
  // the taskbar and other docked bars) of the monitor nearest to `rect`.
  [[nodiscard]] virtual std::vector<TRect> MonitorRects() const = 0;
  [[nodiscard]] virtual TRect NearestWorkArea(const TRect& rect) const = 0;
  // Moves the window without sizing it.
  virtual void MoveTo(std::int32_t left, std::int32_t top) = 0;
};

}  // namespace vesk::desktop
