// The stand-in stores' texts for the error codes they report, worded as the
// system words them.
#include "platform/key_store.h"

namespace vesk::platform {

TKeyStatus KeyStatusFor(std::int32_t code) {
  TKeyStatus status;
  status.Code = code;
  switch (code) {
    case kKeyOk:
      break;
    case kKeyErrorNotFound:
      status.Text = "The system cannot find the file specified.";
      break;
    case kKeyErrorAccessDenied:
      status.Text = "Access is denied.";
      break;
    case kKeyErrorOutOfMemory:
      status.Text = "Not enough memory resources are available to process this command.";
      break;
    case kKeyErrorInvalidParameter:
      status.Text = "The parameter is incorrect.";
      break;
    case kKeyErrorBadPathname:
      status.Text = "The specified path is invalid.";
      break;
    case kKeyErrorMoreData:
      status.Text = "More data is available.";
      break;
    case kKeyErrorCorrupt:
      status.Text = "The configuration registry database is corrupt.";
      break;
    case kKeyErrorIoFailed:
      status.Text =
          "An I/O operation initiated by the registry failed unrecoverably. The registry could not "
          "read in, or write out, or flush, one of the files that contain the system's image of "
          "the registry.";
      break;
    case kKeyErrorKeyDeleted:
      status.Text = "Illegal operation attempted on a registry key that has been marked for deletion.";
      break;
    default:
      status.Text = "error " + std::to_string(code);
      break;
  }
  return status;
}

}  // namespace vesk::platform
