#pragma once
// A window-message timer: WM_TIMER messages with its id reach the window it
// is attached to. Enabling a stopped timer starts its period anew; enabling a
// running one changes nothing. A new interval given to a running timer
// replaces its period from now (SetTimer on the same id).
#include <windows.h>

#include <cstdint>
#include <functional>

#include "app/timer.h"

namespace vesk::app::win32 {

class TWindowTimer final : public ITimer {
 public:
  TWindowTimer(UINT_PTR id, UINT interval_ms) : id_(id), interval_ms_(interval_ms) {}
  ~TWindowTimer() override;
  TWindowTimer(const TWindowTimer&) = delete;
  TWindowTimer& operator=(const TWindowTimer&) = delete;

  // The window that receives the ticks; a timer enabled before it has a
  // window starts when attached.
  void Attach(HWND window);
  void Detach();

  // Raises vesk::Exception when the system has no timer left.
  void SetEnabled(bool enabled) override;
  [[nodiscard]] bool Enabled() const override { return enabled_; }
  // Raises vesk::Exception when the system refuses; a running timer then
  // keeps its old period (the system's timer is still there).
  void SetInterval(std::uint32_t ms) override;
  [[nodiscard]] UINT_PTR Id() const { return id_; }

  // Runs OnTimer for a WM_TIMER of this timer, unless it was stopped since
  // the message was queued.
  void Fire();

  std::function<void()> OnTimer;

 private:
  void Start();

  UINT_PTR id_;
  UINT interval_ms_;
  HWND window_ = nullptr;
  bool enabled_ = false;
};

}  // namespace vesk::app::win32
