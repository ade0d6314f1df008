#pragma once
// The error classes of the raster engine, on the program's error base.
#include "base/errors.h"

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
