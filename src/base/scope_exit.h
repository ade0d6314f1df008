#pragma once
// Cleanup and update brackets that close themselves. TScopeExit runs its
// function when the scope is left, normally or by an exception; an error the
// function raises propagates on the normal path and is dropped while another
// error is already unwinding (the first error is the one to report).
// TUpdateScope opens an object's BeginUpdate bracket and closes it with
// EndUpdate, followed by Changed when asked, the same way.
#include <exception>
#include <utility>

namespace vesk {

template <class F>
class [[nodiscard]] TScopeExit {
 public:
  explicit TScopeExit(F f) : f_(std::move(f)), unwinding_(std::uncaught_exceptions()) {}
  TScopeExit(const TScopeExit&) = delete;
  TScopeExit& operator=(const TScopeExit&) = delete;
  ~TScopeExit() noexcept(false) {
    if (std::uncaught_exceptions() == unwinding_) {
      f_();
      return;
    }
    try {
      f_();
    } catch (...) {
    }
  }

 private:
  F f_;
  int unwinding_;
};

// Whether closing an update bracket also reports the change.
enum class TCloseReport : bool { crQuiet = false, crChanged = true };
using enum TCloseReport;

template <class T>
class [[nodiscard]] TUpdateScope {
 public:
  explicit TUpdateScope(T& object, TCloseReport report = crQuiet)
      : object_(object), report_(report), unwinding_(std::uncaught_exceptions()) {
    object_.BeginUpdate();
  }
  TUpdateScope(const TUpdateScope&) = delete;
  TUpdateScope& operator=(const TUpdateScope&) = delete;
  ~TUpdateScope() noexcept(false) {
    if (std::uncaught_exceptions() == unwinding_) {
      Close();
      return;
    }
    try {
      Close();
    } catch (...) {
    }
  }

 private:
  void Close() {
    object_.EndUpdate();
    if (report_ == crChanged) object_.Changed();
  }

  T& object_;
  TCloseReport report_;
  int unwinding_;
};

}  // namespace vesk
