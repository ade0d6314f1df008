#pragma once
// The notification-area icon (TTrayIcon): one fixed icon with a hint and a
// popup menu, kept in the shell's notification area while the component is
// active. It receives the shell's mouse notifications on a hidden window of
// its own (through HandleMessage) and turns them into its events: a left
// click raises OnClick, a right click opens the popup menu at the cursor.
//
// The decisions live here; the shell, the hidden window and the menu are
// reached through the interfaces of tray_icon_shell.h.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "desktop/tray_icon_shell.h"

namespace vesk::desktop {

class TTrayIcon {
 public:
  using TMouseEvent = std::function<void(TMouseButton button, TShiftState shift, int x, int y)>;
  using TMouseMoveEvent = std::function<void(TShiftState shift, int x, int y)>;

  // Inactive, with no icon, hint or menu: nothing is shown until the
  // settings are given and Active is set.
  TTrayIcon(ITrayShell& shell, ITrayHost& host);
  // Removes the icon (Hide).
  ~TTrayIcon();
  TTrayIcon(const TTrayIcon&) = delete;
  TTrayIcon& operator=(const TTrayIcon&) = delete;

  // ---- settings -------------------------------------------------------------
  // The icon's handle (0: no image). A change refreshes a shown icon.
  [[nodiscard]] std::uintptr_t Icon() const { return icon_; }
  void SetIcon(std::uintptr_t icon);
  // The hint; its short part (before the first "|") is the tip. A change
  // refreshes a shown icon.
  [[nodiscard]] const std::string& Hint() const { return hint_; }
  void SetHint(std::string_view hint);
  [[nodiscard]] ITrayPopupMenu* PopupMenu() const { return popup_menu_; }
  void SetPopupMenu(ITrayPopupMenu* menu) { popup_menu_ = menu; }
  // Active: the icon is shown (setting it shows the icon, clearing it hides
  // it).
  [[nodiscard]] bool Active() const { return active_; }
  void SetActive(bool active);
  // Enabled: mouse notifications are handled (otherwise they go to the
  // default window procedure).
  [[nodiscard]] bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled) { enabled_ = enabled; }

  // ---- events ---------------------------------------------------------------
  TMouseEvent OnClick;
  TMouseEvent OnMouseDown;
  TMouseEvent OnMouseUp;
  TMouseMoveEvent OnMouseMove;
  std::function<void()> OnDblClick;

  // ---- operations -----------------------------------------------------------
  // Adds the icon to the notification area, removing a stale one first.
  void Show();
  // Removes it.
  void Hide();
  // After a change of hint or icon: modifies the shown icon (hides it when
  // the image has become empty), or shows it when it is not shown and the
  // component is active.
  void Refresh();
  // The shell's notification area was made anew (the shell restarted): the
  // icon is removed, if the shell still has it, and added again.
  void ShellRecreated();

  // A message of the hidden window; false when it is not the component's
  // (the caller then passes it to the default window procedure). A mouse
  // notification's error is reported through the host and handling goes on.
  bool HandleMessage(std::uint32_t message, std::uintptr_t wparam, std::intptr_t lparam);

  // Opens the popup menu at the screen point; false when the component is
  // inactive, has no menu or the menu does not open by itself.
  bool ShowPopupMenu(int x, int y);

  // ---- state ----------------------------------------------------------------
  // The result of the last add.
  [[nodiscard]] bool Shown() const { return shown_; }
  // Whether a press of the button awaits its release (left and right only).
  [[nodiscard]] bool Pressed(TMouseButton button) const;
  // The record of the last add or modify.
  [[nodiscard]] const TNotifyIconRecord& Record() const { return record_; }

  // The tip for a hint: the text before the first "|" (or all of it), at
  // most 63 characters.
  [[nodiscard]] static std::string TipText(std::string_view hint);

 private:
  void FillRecord();
  void HandleMouse(std::uint32_t mouse_message);
  void Click(TMouseButton button, TShiftState shift, int x, int y);
  void DblClick();
  void Press(TMouseButton button);
  // Removes the button from the pressed set; true when it was there.
  bool Release(TMouseButton button);

  ITrayShell& shell_;
  ITrayHost& host_;
  std::uintptr_t icon_ = 0;
  std::string hint_;
  ITrayPopupMenu* popup_menu_ = nullptr;
  bool active_ = false;
  bool enabled_ = true;
  bool shown_ = false;
  std::uint8_t pressed_ = 0;  // bit 0 left, bit 1 right
  TNotifyIconRecord record_;
};

}  // namespace vesk::desktop
