// The icon's settings and its life in the notification area: Show, Hide,
// Refresh and the re-add after the shell restarted.
#include "desktop/tray_icon.h"

#include <algorithm>

namespace vesk::desktop {

TTrayIcon::TTrayIcon(ITrayShell& shell, ITrayHost& host) : shell_(shell), host_(host) {}

TTrayIcon::~TTrayIcon() { Hide(); }

void TTrayIcon::SetIcon(std::uintptr_t icon) {
  if (icon == icon_) return;
  icon_ = icon;
  Refresh();
}

void TTrayIcon::SetHint(std::string_view hint) {
  if (hint == hint_) return;
  hint_ = hint;
  Refresh();
}

void TTrayIcon::SetActive(bool active) {
  if (active == active_) return;
  active_ = active;
  if (active_) {
    Show();
  } else {
    Hide();
  }
}

std::string TTrayIcon::TipText(std::string_view hint) {
  const std::string_view short_part = hint.substr(0, hint.find('|'));
  return std::string(short_part.substr(0, kTipMaxLength));
}

void TTrayIcon::FillRecord() {
  record_ = TNotifyIconRecord{};
  record_.Window = host_.WindowHandle();
  record_.Id = 0;
  record_.Flags = kNifMessage | kNifIcon | kNifTip;
  record_.CallbackMessage = kTrayCallbackMessage;
  record_.Icon = icon_;
  const std::string tip = TipText(hint_);
  std::copy(tip.begin(), tip.end(), record_.Tip.begin());  // the rest stays zero
}

void TTrayIcon::Show() {
  // A stale icon of this component goes first.
  Hide();
  if (icon_ == 0) return;
  pressed_ = 0;
  FillRecord();
  shown_ = shell_.NotifyIcon(nimAdd, record_);
  // Some shells show no icon that was added without a tip until it is
  // modified once.
  if (shown_ && TipText(hint_).empty()) shell_.NotifyIcon(nimModify, record_);
}

void TTrayIcon::Hide() {
  // The shell knows the icon by its window and identifier. A failed delete
  // (the shell has no such icon) is of no consequence.
  record_.Window = host_.WindowHandle();
  record_.Id = 0;
  shell_.NotifyIcon(nimDelete, record_);
  shown_ = false;
  pressed_ = 0;
}

void TTrayIcon::Refresh() {
  if (shown_) {
    if (icon_ == 0) {
      Hide();
      return;
    }
    FillRecord();
    shell_.NotifyIcon(nimModify, record_);  // a failure is ignored
  } else if (active_) {
    Show();
  }
}

void TTrayIcon::ShellRecreated() {
  if (!active_ || icon_ == 0) return;
  // Added again exactly as at the start: the image a shell makes of a
  // modified icon need not be the one it made of the added one. A shell
  // that still holds the icon loses it first (Show removes a stale icon),
  // so it is never shown twice.
  Show();
}

bool TTrayIcon::Pressed(TMouseButton button) const {
  switch (button) {
    case mbLeft:
      return (pressed_ & 1) != 0;
    case mbRight:
      return (pressed_ & 2) != 0;
    case mbMiddle:
      break;
  }
  return false;
}

void TTrayIcon::Press(TMouseButton button) { pressed_ |= button == mbLeft ? 1 : 2; }

bool TTrayIcon::Release(TMouseButton button) {
  const std::uint8_t bit = button == mbLeft ? 1 : 2;
  const bool was_pressed = (pressed_ & bit) != 0;
  pressed_ &= static_cast<std::uint8_t>(~bit);
  return was_pressed;
}

}  // namespace vesk::desktop
