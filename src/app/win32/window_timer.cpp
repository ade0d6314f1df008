#include "app/win32/window_timer.h"

#include "base/errors.h"

namespace vesk::app::win32 {
namespace {

vesk::Exception NotEnoughTimers() { return vesk::Exception("Not enough timers available"); }

}  // namespace

TWindowTimer::~TWindowTimer() { Detach(); }

void TWindowTimer::Attach(HWND window) {
  window_ = window;
  if (enabled_) Start();
}

void TWindowTimer::Detach() {
  if (window_ != nullptr && enabled_) KillTimer(window_, id_);
  window_ = nullptr;
}

void TWindowTimer::Start() {
  if (SetTimer(window_, id_, interval_ms_, nullptr) == 0) {
    enabled_ = false;
    throw NotEnoughTimers();
  }
}

void TWindowTimer::SetInterval(std::uint32_t ms) {
  // A running timer takes the new period at once; a refusal leaves it on
  // the old one.
  if (enabled_ && window_ != nullptr && SetTimer(window_, id_, ms, nullptr) == 0) throw NotEnoughTimers();
  interval_ms_ = ms;
}

void TWindowTimer::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  if (window_ == nullptr) return;
  if (enabled) {
    Start();
  } else {
    KillTimer(window_, id_);
  }
}

void TWindowTimer::Fire() {
  if (enabled_ && OnTimer) OnTimer();
}

}  // namespace vesk::app::win32
