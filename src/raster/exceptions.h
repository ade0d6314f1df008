#pragma once
// The error classes of the raster engine. Every error carries its message
// text; the application's error handler shows it (appending a full stop when
// the text's last character sorts after '.').
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

namespace vesk::raster {

class EBitmapException : public Exception {
 public:
  using Exception::Exception;
};

class ESrcInvalidException : public Exception {
 public:
  using Exception::Exception;
};

// The three DIB allocation errors of SetSize.
class EDibError : public Exception {
 public:
  using Exception::Exception;
};

}  // namespace vesk::raster
