#pragma once
// TMediaPlayer: plays one sound file through MCI. It keeps the open flag and
// the device identifier, and two pending command options (wait and notify):
// SetWait/SetNotify arm an option for the next command, which uses the armed
// value once and disarms it; a command that finds an option unarmed uses its
// own default. Every command names the player's window (Callback) as the
// window that receives the completion notification, MM_MCINOTIFY, which the
// window hands back to MMNotify.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "app/mci_interface.h"
#include "base/errors.h"

namespace vesk::app {

// A device error: MCI's text for the code, "Unknown error code", or "No MCI
// device open".
class EMCIDeviceError : public Exception {
 public:
  using Exception::Exception;
};

inline constexpr const char* kUnknownMciErrorText = "Unknown error code";
inline constexpr const char* kNoMciDeviceOpenText = "No MCI device open";

// The device's mode: MCI's mode minus MCI_MODE_NOT_READY.
enum class TMPModes : std::uint8_t { mpNotReady, mpStopped, mpPlaying, mpRecording, mpSeeking, mpPaused, mpOpen };

// The result of the last notification.
enum class TMPNotifyValues : std::uint8_t { nvSuccessful, nvSuperseded, nvAborted, nvFailure };

class TMediaPlayer {
 public:
  explicit TMediaPlayer(std::unique_ptr<IMciInterface> mci);
  // Closes a device still open (waiting, no notification).
  ~TMediaPlayer();
  TMediaPlayer(const TMediaPlayer&) = delete;
  TMediaPlayer& operator=(const TMediaPlayer&) = delete;

  std::string FileName;
  // The player's own window, the callback window of every command.
  TMciCallback Callback = 0;
  // Raised for every notification, after its result has been recorded.
  std::function<void()> OnNotify;

  // Closes an open device first; then opens FileName, the system choosing
  // the device type from the extension. An error raises EMCIDeviceError with
  // MCI's text.
  void Open();
  // Starts playback and returns at once. Raises "No MCI device open" when
  // nothing is open; an MCI error is only stored (Error).
  void Play();
  // Closes the device, if one is open.
  void Close();
  // The device's mode (mpNotReady when the status cannot be read).
  [[nodiscard]] TMPModes Mode();

  // Arm an option for the next command.
  void SetNotify(bool value);
  void SetWait(bool value);

  // A notification reached the player's window (wParam of MM_MCINOTIFY).
  void MMNotify(std::uint32_t notify_flags);

  [[nodiscard]] bool IsOpen() const { return open_; }
  [[nodiscard]] TMciDeviceId DeviceID() const { return device_; }
  // The MCI code of the last command (0: success).
  [[nodiscard]] TMciError Error() const { return error_; }
  [[nodiscard]] TMPNotifyValues NotifyValue() const { return notify_value_; }
  // Whether an option is armed (it is then used by the next command).
  [[nodiscard]] bool NotifyArmed() const { return notify_armed_; }
  [[nodiscard]] bool WaitArmed() const { return wait_armed_; }

 private:
  // The wait and notify flags of one command with its defaults; disarms.
  [[nodiscard]] std::uint32_t TakeOptionFlags(bool default_wait, bool default_notify);
  // The error text of `error`: MCI's own, or "Unknown error code".
  [[nodiscard]] std::string ErrorMessage(TMciError error);
  void CloseDevice(std::uint32_t flags);

  std::unique_ptr<IMciInterface> mci_;
  bool open_ = false;
  TMciDeviceId device_ = 0;
  TMciError error_ = 0;
  TMPNotifyValues notify_value_ = TMPNotifyValues::nvSuccessful;
  bool notify_ = false;
  bool notify_armed_ = false;
  bool wait_ = false;
  bool wait_armed_ = false;
};

}  // namespace vesk::app
