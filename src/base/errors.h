#pragma once
// The program's error base. Every error is an exception that carries its
// message text; the application's error handler shows it (appending a full
// stop when the text's last character sorts after '.'). Each layer derives
// the errors of its own concepts from these.
#include <stdexcept>
#include <string>

namespace vesk {

class Exception : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Raised for an unpaired EndUpdate and other broken invariants.
class EAssertionFailed : public Exception {
 public:
  using Exception::Exception;
};

// Raised for an index outside a list.
class EListError : public Exception {
 public:
  using Exception::Exception;
};

}  // namespace vesk
