#pragma once
// Base classes of the state objects: change notification with nested update
// brackets, and a recursive lock.
#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>

namespace vesk::raster {

class TObject {
 public:
  TObject() = default;
  TObject(const TObject&) = delete;
  TObject& operator=(const TObject&) = delete;
  virtual ~TObject() = default;
};

// A notify event receives the object that fired it.
using TNotifyEvent = std::function<void(TObject* sender)>;

class TPersistent : public TObject {};

// Counts nested BeginUpdate/EndUpdate brackets and reports through Changed,
// which fires OnChange only when no bracket is open. EndUpdate never reports
// by itself: code that brackets work calls Changed afterwards.
class TNotifiablePersistent : public TPersistent {
 public:
  virtual void Changed();
  virtual void BeginUpdate();
  // Raises EAssertionFailed "Unpaired TThreadPersistent.EndUpdate" (count
  // unchanged) when no bracket is open.
  virtual void EndUpdate();

  [[nodiscard]] std::int32_t UpdateCount() const noexcept { return update_count_; }

  TNotifyEvent OnChange;

 protected:
  std::int32_t update_count_ = 0;
};

// Adds a recursive lock. LockCount is changed with atomic increments and
// decrements only, so it can be read without holding the lock.
class TThreadPersistent : public TNotifiablePersistent {
 public:
  TThreadPersistent() = default;

  // LockCount + 1, then enter the lock.
  void Lock();
  // Leave the lock, then LockCount - 1.
  void Unlock();
  [[nodiscard]] std::int32_t LockCount() const noexcept { return lock_count_.load(); }

 private:
  std::recursive_mutex lock_;
  std::atomic<std::int32_t> lock_count_{0};
};

// Holds an object's lock for one scope.
class TLockScope {
 public:
  explicit TLockScope(TThreadPersistent& object) : object_(object) { object_.Lock(); }
  ~TLockScope() { object_.Unlock(); }
  TLockScope(const TLockScope&) = delete;
  TLockScope& operator=(const TLockScope&) = delete;

 private:
  TThreadPersistent& object_;
};

}  // namespace vesk::raster
