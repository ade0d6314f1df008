#include "app/error_box_throttle.h"

namespace vesk::app {

bool TErrorBoxThrottle::ShouldShow(const std::string& key, std::int64_t now_ms) {
  const bool same_failure_too_soon =
      last_key_ && *last_key_ == key && now_ms - last_closed_ms_ < repeat_interval_ms_;
  if (box_open_ || same_failure_too_soon) {
    ++suppressed_;
    return false;
  }
  box_open_ = true;
  last_key_ = key;
  suppressed_ = 0;
  return true;
}

void TErrorBoxThrottle::BoxClosed(std::int64_t now_ms) {
  box_open_ = false;
  last_closed_ms_ = now_ms;
}

}  // namespace vesk::app
