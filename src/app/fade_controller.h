#pragma once
// The fade-in at start, the fade-out at close and the two-phase close that
// makes room for it.
//
//   Fading in   Closing 0, alpha 0, 10, ... 250, 255; the tick that finds 255
//               stops the fade timer (the 27th).
//   Running     Closing 0, alpha 255, timer off.
//   Fading out  Closing 1, alpha 255, 240, ... 15, 0; the tick that finds 0
//               stops the timer and asks for the close again (the 18th).
//   Closed      the second close request is allowed, also one made before the
//               fade-out has ended.
//
// The first close request, whatever its source (menu, WM_CLOSE, end of
// session), is refused and starts the fade-out; a request during the fade-in
// starts it from 255 at once.
#include <cstdint>

#include "base/blend_function.h"
#include "app/timer.h"

namespace vesk::app {

inline constexpr std::uint8_t kFadeInStep = 10;
inline constexpr std::uint8_t kFadeOutStep = 15;

class TFadeController {
 public:
  // `blend` is the window's blend record; its constant alpha is the fade
  // level. `fade_timer` is the 10 ms fade timer.
  TFadeController(TBlendFunction& blend, ITimer& fade_timer) : blend_(blend), fade_timer_(fade_timer) {}

  // At creation: not closing, and the fade timer runs (the fade-in).
  void BeginFadeIn();

  // One tick of the fade timer. Returns true when the fade-out has ended and
  // the window must now be asked to close (that request is allowed). The
  // caller presents the window after every tick, this last one included.
  [[nodiscard]] bool Tick();

  // A close request: returns whether the window may close now.
  [[nodiscard]] bool CloseQuery();

  [[nodiscard]] bool Closing() const { return closing_ != 0; }
  [[nodiscard]] std::uint8_t Alpha() const { return blend_.SourceConstantAlpha; }

 private:
  TBlendFunction& blend_;
  ITimer& fade_timer_;
  std::uint8_t closing_ = 0;
};

}  // namespace vesk::app
