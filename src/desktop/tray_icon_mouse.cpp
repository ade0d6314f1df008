// The icon's mouse notifications: the table of mouse messages, the click
// rule, the double click and the popup menu at the cursor.
#include "desktop/tray_icon.h"

#include <stdexcept>

namespace vesk::desktop {
namespace {

// Mouse messages as the shell reports them in the callback's second
// parameter.
constexpr std::uint32_t kMouseMove = 0x200;
constexpr std::uint32_t kLButtonDown = 0x201;
constexpr std::uint32_t kLButtonUp = 0x202;
constexpr std::uint32_t kLButtonDblClk = 0x203;
constexpr std::uint32_t kRButtonDown = 0x204;
constexpr std::uint32_t kRButtonUp = 0x205;
constexpr std::uint32_t kRButtonDblClk = 0x206;
constexpr std::uint32_t kMButtonDown = 0x207;
constexpr std::uint32_t kMButtonUp = 0x208;
constexpr std::uint32_t kMButtonDblClk = 0x209;

// Makes the hidden window the foreground window again when the menu has
// closed, also when it raised: the next click elsewhere then reaches the
// program that owns it.
class TForegroundAfterMenu {
 public:
  explicit TForegroundAfterMenu(ITrayHost& host) : host_(host) {}
  ~TForegroundAfterMenu() {
    if (host_.WindowEnabled()) host_.SetForeground();
  }
  TForegroundAfterMenu(const TForegroundAfterMenu&) = delete;
  TForegroundAfterMenu& operator=(const TForegroundAfterMenu&) = delete;

 private:
  ITrayHost& host_;
};

}  // namespace

bool TTrayIcon::HandleMessage(std::uint32_t message, std::uintptr_t /*wparam*/, std::intptr_t lparam) {
  if (message != kTrayCallbackMessage || !enabled_) return false;
  // The low word: the mouse message alone, whichever notification version
  // the shell speaks.
  const auto mouse_message = static_cast<std::uint32_t>(static_cast<std::uintptr_t>(lparam) & 0xFFFF);
  try {
    HandleMouse(mouse_message);
  } catch (const std::exception& error) {
    host_.ReportError(error);
  } catch (...) {
    host_.ReportError(std::runtime_error("Unknown error"));
  }
  return true;
}

void TTrayIcon::HandleMouse(std::uint32_t mouse_message) {
  const TPoint at = host_.CursorPos();
  const TShiftState shift = host_.ModifierKeys();
  const auto down = [&](TMouseButton button, TShiftState state) {
    if (OnMouseDown) OnMouseDown(button, state, at.X, at.Y);
  };
  const auto up = [&](TMouseButton button) {
    if (OnMouseUp) OnMouseUp(button, shift, at.X, at.Y);
  };
  switch (mouse_message) {
    case kMouseMove:
      if (OnMouseMove) OnMouseMove(shift, at.X, at.Y);
      break;
    case kLButtonDown:
      down(mbLeft, shift);
      Press(mbLeft);
      break;
    case kLButtonUp:
      // Only a release of a press that the icon saw is a click; a press
      // released elsewhere stays recorded until a release over the icon.
      if (Release(mbLeft)) Click(mbLeft, shift, at.X, at.Y);
      up(mbLeft);
      break;
    case kLButtonDblClk:
      DblClick();
      down(mbLeft, shift | ssDouble);
      break;
    case kRButtonDown:
      down(mbRight, shift);
      Press(mbRight);
      break;
    case kRButtonUp:
      if (Release(mbRight)) Click(mbRight, shift, at.X, at.Y);
      up(mbRight);
      break;
    case kRButtonDblClk:
      down(mbRight, shift | ssDouble);
      break;
    case kMButtonDown:
      down(mbMiddle, shift);
      break;
    case kMButtonUp:
      // The middle button never clicks.
      up(mbMiddle);
      break;
    case kMButtonDblClk:
      down(mbMiddle, shift | ssDouble);
      break;
    default:
      break;
  }
}

void TTrayIcon::Click(TMouseButton button, TShiftState shift, int x, int y) {
  if (button == mbRight && ShowPopupMenu(x, y)) return;
  if (OnClick) OnClick(button, shift, x, y);
}

void TTrayIcon::DblClick() {
  // The first click of the pair has already been a click of its own.
  if (popup_menu_ != nullptr && popup_menu_->ClickDefaultItem()) return;
  if (OnDblClick) OnDblClick();
}

bool TTrayIcon::ShowPopupMenu(int x, int y) {
  if (!active_ || popup_menu_ == nullptr || !popup_menu_->AutoPopup()) return false;
  popup_menu_->SetPopupComponent(this);
  // Any capture or menu open in the program ends first.
  host_.CancelModeToActiveWindow();
  // With the hidden window in the foreground the menu closes when the user
  // clicks elsewhere.
  if (host_.WindowEnabled()) host_.SetForeground();
  host_.ProcessMessages();
  const TForegroundAfterMenu refocus(host_);
  popup_menu_->Popup(x, y);
  return true;
}

}  // namespace vesk::desktop
