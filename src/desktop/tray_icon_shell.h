#pragma once
// What the notification-area icon needs from its surroundings, as small
// interfaces: the shell that keeps the icons (the notification record and
// the add, modify and delete calls), the icon's hidden message window with
// the user-interface calls made around a popup menu, and the popup menu.
// The Windows program implements them with Shell_NotifyIcon, a hidden
// window and the clock's menu; the tests with fakes.
#include <array>
#include <cstddef>
#include <cstdint>
#include <exception>

#include "base/geometry.h"

namespace vesk::desktop {

class TTrayIcon;

// The callback message the shell sends to the hidden window for every mouse
// event over the icon; the mouse message comes in the second parameter.
inline constexpr std::uint32_t kTrayCallbackMessage = 0xB054;

// Valid fields of the record.
inline constexpr std::uint32_t kNifMessage = 1;
inline constexpr std::uint32_t kNifIcon = 2;
inline constexpr std::uint32_t kNifTip = 4;

// The tip field holds at most 63 characters and the terminating zero.
inline constexpr std::size_t kTipFieldSize = 64;
inline constexpr std::size_t kTipMaxLength = kTipFieldSize - 1;

// The fields of the platform's single-byte notification record that the
// icon fills. The record's size is the platform's (88 bytes for a 32-bit
// program); the shell adapter sets it.
struct TNotifyIconRecord {
  std::uintptr_t Window = 0;  // the hidden message window
  std::uint32_t Id = 0;
  std::uint32_t Flags = 0;
  std::uint32_t CallbackMessage = 0;
  std::uintptr_t Icon = 0;  // the icon's handle
  std::array<char, kTipFieldSize> Tip{};  // zero-terminated
};

enum class TNotifyIconMessage : std::uint8_t { nimAdd, nimModify, nimDelete };
using enum TNotifyIconMessage;

// The shell's notification area.
class ITrayShell {
 public:
  virtual ~ITrayShell() = default;
  // True when the shell accepted the call.
  virtual bool NotifyIcon(TNotifyIconMessage message, const TNotifyIconRecord& record) = 0;
};

// Modifier keys and the double-click mark of a mouse event.
using TShiftState = std::uint8_t;
inline constexpr TShiftState ssShift = 1;
inline constexpr TShiftState ssAlt = 2;
inline constexpr TShiftState ssCtrl = 4;
inline constexpr TShiftState ssDouble = 8;

enum class TMouseButton : std::uint8_t { mbLeft, mbRight, mbMiddle };
using enum TMouseButton;

// The icon's hidden message window and the calls made on its behalf.
class ITrayHost {
 public:
  virtual ~ITrayHost() = default;
  // The hidden window's handle, for the notification record.
  [[nodiscard]] virtual std::uintptr_t WindowHandle() const = 0;
  // The cursor in screen coordinates.
  [[nodiscard]] virtual TPoint CursorPos() = 0;
  // Shift, Control and Alt as they are held now (ssShift, ssCtrl, ssAlt).
  [[nodiscard]] virtual TShiftState ModifierKeys() = 0;
  [[nodiscard]] virtual bool WindowEnabled() = 0;
  // Makes the hidden window the foreground window.
  virtual void SetForeground() = 0;
  // A cancel-mode message to the program's active window (or, if none, to
  // its main window): ends a mouse capture or an open menu there.
  virtual void CancelModeToActiveWindow() = 0;
  // Handles every pending message of the thread.
  virtual void ProcessMessages() = 0;
  // An error that escaped the handling of a mouse notification: the
  // program's error box. Handling goes on.
  virtual void ReportError(const std::exception& error) = 0;
};

// The popup menu the icon opens on a right click.
class ITrayPopupMenu {
 public:
  virtual ~ITrayPopupMenu() = default;
  // Whether the menu opens by itself on a right click (it does by default).
  [[nodiscard]] virtual bool AutoPopup() const = 0;
  // The component the menu is being opened from.
  virtual void SetPopupComponent(const TTrayIcon* component) = 0;
  // Opens the menu with its top-left corner at the screen point, tracking
  // the right button, and returns when it closes. May raise.
  virtual void Popup(int x, int y) = 0;
  // Clicks the menu's enabled default item; false, doing nothing, when it
  // has none.
  virtual bool ClickDefaultItem() = 0;
};

}  // namespace vesk::desktop
