#pragma once
// A timer that only records being switched on and off and its period.
#include "app/timer.h"

namespace vesk::app::testing {

class TFakeTimer final : public ITimer {
 public:
  void SetEnabled(bool enabled) override {
    enabled_ = enabled;
    if (enabled) ++starts_;
  }
  [[nodiscard]] bool Enabled() const override { return enabled_; }
  void SetInterval(std::uint32_t ms) override { interval_ = ms; }
  [[nodiscard]] int Starts() const { return starts_; }
  [[nodiscard]] std::uint32_t Interval() const { return interval_; }

 private:
  bool enabled_ = false;
  int starts_ = 0;
  std::uint32_t interval_ = 10;
};

}  // namespace vesk::app::testing
