#pragma once
// What the clock's decisions need of a periodic timer: switching it on (which
// restarts its period) and off. The window implements it with window-message
// timers; tests use a fake.

namespace vesk::app {

class ITimer {
 public:
  virtual ~ITimer() = default;
  virtual void SetEnabled(bool enabled) = 0;
  [[nodiscard]] virtual bool Enabled() const = 0;
};

}  // namespace vesk::app
