#pragma once
// What the clock's decisions need of a timer: switching it on (which starts
// its period anew) and off, and changing its period. The window implements
// it with window-message timers; tests use a fake.
#include <cstdint>

namespace vesk::app {

class ITimer {
 public:
  virtual ~ITimer() = default;
  virtual void SetEnabled(bool enabled) = 0;
  [[nodiscard]] virtual bool Enabled() const = 0;
  // The period from now on, in milliseconds. A running timer starts the new
  // period at once, so this also arms it for one tick `ms` from now. A
  // failure raises and leaves a running timer on its old period.
  virtual void SetInterval(std::uint32_t ms) = 0;
};

}  // namespace vesk::app
