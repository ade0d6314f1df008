#pragma once
// A timer that only records being switched on and off.
#include "app/timer.h"

namespace vesk::app::testing {

class TFakeTimer final : public ITimer {
 public:
  void SetEnabled(bool enabled) override {
    enabled_ = enabled;
    if (enabled) ++starts_;
  }
  [[nodiscard]] bool Enabled() const override { return enabled_; }
  void SetInterval(std::uint32_t /*ms*/) override {}
  [[nodiscard]] int Starts() const { return starts_; }

 private:
  bool enabled_ = false;
  int starts_ = 0;
};

}  // namespace vesk::app::testing
