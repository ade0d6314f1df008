#pragma once
// What the clock program asks of its window: the few requests and questions
// that only the window system can answer. The Windows backend implements it
// with one or two system calls each; the tests with a fake that records
// every call. Nothing here decides anything.
#include <cstdint>
#include <exception>
#include <optional>

#include "app/menu_model.h"
#include "app/settings_actions.h"
#include "base/blend_function.h"
#include "base/geometry.h"
#include "raster/bitmap32.h"

namespace vesk::app {

// A system error code (0: success).
using TSystemError = std::uint32_t;

class IClockWindow {
 public:
  virtual ~IClockWindow() = default;

  // ---- creation and the first showing ---------------------------------------
  // Adds the layered style; the system's error code when it refuses.
  [[nodiscard]] virtual TSystemError MakeLayered() = 0;
  // The program gets no taskbar button (its application window is hidden
  // and made a tool window).
  virtual void HideTaskbarButton() = 0;
  // Takes and gives back the screen's device context, the destination of
  // every presentation.
  virtual void AcquireScreen() = 0;
  virtual void ReleaseScreen() = 0;
  // Makes the desktop the window's owner, so it stays when the application
  // window is minimized.
  virtual void MakeDesktopOwner() = 0;
  // Shows the window for the first time, in the state the restored
  // placement asked for (normal unless a restore said otherwise).
  virtual void ShowFirst() = 0;

  // ---- questions ---------------------------------------------------------------
  // Whether the system window exists.
  [[nodiscard]] virtual bool Exists() = 0;
  [[nodiscard]] virtual bool Visible() = 0;
  // The window's outer rectangle on the screen (its Left and Top first).
  [[nodiscard]] virtual TRect Bounds() = 0;
  // The pixels per inch of the window's monitor (96 when unknown).
  [[nodiscard]] virtual std::int32_t PixelsPerInch() = 0;
  // The mouse pointer on the screen, when the system can tell.
  [[nodiscard]] virtual std::optional<TPoint> CursorPos() = 0;

  // ---- requests ---------------------------------------------------------------
  // Hands the composition to the window manager: `size` pixels of it from
  // `source`, at `position` on the screen, with the blend record's constant
  // alpha. The system's error code when it refuses.
  [[nodiscard]] virtual TSystemError Present(const raster::TBitmap32& composition, const TBlendFunction& blend,
                                            TPoint position, TSize size, TPoint source) = 0;
  // The window's size without moving it, and its place and size (without
  // changing the z-order or activating it).
  virtual void SetSize(TSize size) = 0;
  virtual void SetBounds(const TRect& bounds) = 0;
  // Above all other windows or back among them; may activate the window. A
  // refusal is ignored.
  virtual void SetZOrder(TZOrderPlacement placement) = 0;
  virtual void ShowNormal() = 0;
  virtual void Hide() = 0;
  virtual void BringToForeground() = 0;
  // Hands the mouse to the system's move loop, which moves the window with
  // it until the button is released.
  virtual void BeginMove() = 0;
  // Opens the menu at the mouse, the window made the foreground window
  // first; returns when the menu closes (a chosen item arrives later as a
  // command).
  virtual void PopupMenuAtCursor(const TPopupMenu& menu) = 0;
  // Opens the menu at a screen point for the notification-area icon, which
  // has made its own window the foreground window.
  virtual void TrackMenu(const TPopupMenu& menu, TPoint at) = 0;
  // Ends the program: the main window's close was allowed.
  virtual void EndProgram() = 0;

  // ---- error boxes -------------------------------------------------------------
  // An error that escaped a handler: caption the title, error icon, the
  // message with the full-stop rule. At most one open at a time.
  virtual void ShowError(const std::exception& error) = 0;
  // A failing system call on the presentation path: a plain box with the
  // system's text for the code.
  virtual void ShowSystemError(TSystemError code) = 0;
};

}  // namespace vesk::app
