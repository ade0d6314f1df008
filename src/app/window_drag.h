#pragma once
// Whether a mouse move over the clock starts the system's window-move loop.

namespace vesk::app {

struct TMouseButtons {
  bool Left = false;
  bool Right = false;
  bool Middle = false;
};

// Only while the left button is held: a move with no button down is the
// pointer passing over the clock and must not grab the window; a right-button
// move belongs to the context menu.
[[nodiscard]] constexpr bool ShouldStartWindowMove(const TMouseButtons& buttons) noexcept { return buttons.Left; }

}  // namespace vesk::app
