#pragma once
// Keeps error boxes from piling up. A message box runs its own message loop,
// so the timers keep ticking behind it; a failure that lasts (a
// presentation call that fails on every tick, a handler that throws on every
// tick) would otherwise open a new box on top of the last one every tick.
//
// The rule: while one box is open no other is shown; after the user has
// dismissed it, the same failure is not shown again for a minute. A
// different failure is shown as soon as no box is open.
#include <cstdint>
#include <optional>
#include <string>

namespace vesk::app {

inline constexpr std::int64_t kErrorRepeatIntervalMs = 60'000;

class TErrorBoxThrottle {
 public:
  explicit TErrorBoxThrottle(std::int64_t repeat_interval_ms = kErrorRepeatIntervalMs)
      : repeat_interval_ms_(repeat_interval_ms) {}

  // A failure identified by `key` (an error code, a message) happened at
  // `now_ms` (any monotonic millisecond count). Returns true when a box is to
  // be shown now; the caller then reports BoxClosed once the user has
  // dismissed it.
  [[nodiscard]] bool ShouldShow(const std::string& key, std::int64_t now_ms);
  void BoxClosed(std::int64_t now_ms);

  [[nodiscard]] bool BoxOpen() const { return box_open_; }
  // Failures not shown since the last box was opened.
  [[nodiscard]] int Suppressed() const { return suppressed_; }

 private:
  std::int64_t repeat_interval_ms_;
  bool box_open_ = false;
  std::optional<std::string> last_key_;
  std::int64_t last_closed_ms_ = 0;
  int suppressed_ = 0;
};

}  // namespace vesk::app
