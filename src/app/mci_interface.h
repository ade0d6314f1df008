#pragma once
// The media control interface as the media player sees it: the few commands
// it sends, with the codes and flags the system defines, behind an interface
// so that the player's logic runs and is tested without the system. The
// Windows implementation (src/app/win32/mci_win32.*) passes each call to
// mciSendCommand; tests use a recording fake.
#include <cstdint>
#include <optional>
#include <string>

namespace vesk::app {

using TMciDeviceId = std::uint32_t;
// An MCI error code; 0 is success.
using TMciError = std::uint32_t;
// The window that receives a command's completion notification (an HWND).
using TMciCallback = std::uintptr_t;

// Command messages.
inline constexpr std::uint32_t kMciOpen = 0x0803;
inline constexpr std::uint32_t kMciClose = 0x0804;
inline constexpr std::uint32_t kMciPlay = 0x0806;
inline constexpr std::uint32_t kMciSeek = 0x0807;
inline constexpr std::uint32_t kMciStatus = 0x0814;

// Flags common to every command.
inline constexpr std::uint32_t kMciNotify = 0x1;
inline constexpr std::uint32_t kMciWait = 0x2;
// MCI_OPEN: the element (file name) is given; the system picks the device
// type from its extension.
inline constexpr std::uint32_t kMciOpenElement = 0x200;
// MCI_SEEK: to the start of the medium.
inline constexpr std::uint32_t kMciSeekToStart = 0x100;
// MCI_STATUS: the item field is valid, and the items asked for.
inline constexpr std::uint32_t kMciStatusItem = 0x100;
inline constexpr std::uint32_t kMciStatusLength = 1;
inline constexpr std::uint32_t kMciStatusPosition = 2;
inline constexpr std::uint32_t kMciStatusMode = 4;

// MCI_STATUS_MODE answers: MCI_MODE_NOT_READY and the six after it.
inline constexpr std::uint32_t kMciModeNotReady = 524;

// The wParam of MM_MCINOTIFY (0x03B9), the message a notification arrives as.
inline constexpr std::uint32_t kMmMciNotify = 0x03B9;
inline constexpr std::uint32_t kMciNotifySuccessful = 0x1;
inline constexpr std::uint32_t kMciNotifySuperseded = 0x2;
inline constexpr std::uint32_t kMciNotifyAborted = 0x4;
inline constexpr std::uint32_t kMciNotifyFailure = 0x8;

class IMciInterface {
 public:
  virtual ~IMciInterface() = default;

  // MCI_OPEN to device 0 with `flags`, the file `element` (UTF-8); on
  // success `device` is the new device's identifier.
  [[nodiscard]] virtual TMciError Open(const std::string& element, std::uint32_t flags, TMciCallback callback,
                                       TMciDeviceId& device) = 0;
  // MCI_PLAY, MCI_CLOSE and MCI_SEEK with the generic parameters only.
  [[nodiscard]] virtual TMciError Play(TMciDeviceId device, std::uint32_t flags, TMciCallback callback) = 0;
  [[nodiscard]] virtual TMciError Close(TMciDeviceId device, std::uint32_t flags, TMciCallback callback) = 0;
  [[nodiscard]] virtual TMciError Seek(TMciDeviceId device, std::uint32_t flags, TMciCallback callback) = 0;
  // MCI_STATUS of `item`; on success `value` is the answer.
  [[nodiscard]] virtual TMciError Status(TMciDeviceId device, std::uint32_t flags, std::uint32_t item,
                                         TMciCallback callback, std::uint32_t& value) = 0;
  // The system's text for an error code (mciGetErrorString), nothing when
  // it has none.
  [[nodiscard]] virtual std::optional<std::string> ErrorText(TMciError error) = 0;
};

}  // namespace vesk::app
