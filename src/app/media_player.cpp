#include "app/media_player.h"

namespace vesk::app {

TMediaPlayer::TMediaPlayer(std::unique_ptr<IMciInterface> mci) : mci_(std::move(mci)) {}

TMediaPlayer::~TMediaPlayer() {
  // Nobody is left to receive a notification.
  if (device_ != 0) CloseDevice(kMciWait);
}

std::uint32_t TMediaPlayer::TakeOptionFlags(bool default_wait, bool default_notify) {
  const bool wait = wait_armed_ ? wait_ : default_wait;
  const bool notify = notify_armed_ ? notify_ : default_notify;
  wait_armed_ = false;
  notify_armed_ = false;
  return (wait ? kMciWait : 0) | (notify ? kMciNotify : 0);
}

std::string TMediaPlayer::ErrorMessage(TMciError error) {
  std::optional<std::string> text = mci_->ErrorText(error);
  return text ? std::move(*text) : std::string(kUnknownMciErrorText);
}

void TMediaPlayer::Open() {
  if (open_) {
    // A device left open (its playback failed, so no notification came to
    // close it). It is closed waiting and without a notification, and the
    // options armed for the close that never came are dropped: a
    // notification of this close would reach the notify event only after
    // the new device has started, which would then close the new device.
    wait_armed_ = false;
    notify_armed_ = false;
    CloseDevice(kMciWait);
  }
  const std::uint32_t flags = kMciOpenElement | TakeOptionFlags(true, false);
  TMciDeviceId device = 0;
  error_ = mci_->Open(FileName, flags, Callback, device);
  if (error_ != 0) throw EMCIDeviceError(ErrorMessage(error_));
  open_ = true;
  device_ = device;
}

void TMediaPlayer::Play() {
  if (!open_) throw EMCIDeviceError(kNoMciDeviceOpenText);
  // Played to its end before: back to the start, or nothing would sound.
  std::uint32_t position = 0;
  std::uint32_t length = 0;
  if (mci_->Status(device_, kMciWait | kMciStatusItem, kMciStatusPosition, Callback, position) == 0 &&
      mci_->Status(device_, kMciWait | kMciStatusItem, kMciStatusLength, Callback, length) == 0 &&
      position == length) {
    (void)mci_->Seek(device_, kMciWait | kMciSeekToStart, Callback);
  }
  // Returns at once; the end of the playback comes back as a notification.
  error_ = mci_->Play(device_, TakeOptionFlags(false, true), Callback);
}

void TMediaPlayer::Close() {
  if (device_ == 0) return;
  CloseDevice(TakeOptionFlags(true, false));
}

void TMediaPlayer::CloseDevice(std::uint32_t flags) {
  error_ = mci_->Close(device_, flags, Callback);
  if (error_ == 0) {
    open_ = false;
    device_ = 0;
  }
}

TMPModes TMediaPlayer::Mode() {
  std::uint32_t mode = 0;
  error_ = mci_->Status(device_, kMciWait | kMciStatusItem, kMciStatusMode, Callback, mode);
  if (error_ != 0 || mode < kMciModeNotReady || mode > kMciModeNotReady + 6) return TMPModes::mpNotReady;
  return static_cast<TMPModes>(mode - kMciModeNotReady);
}

void TMediaPlayer::SetNotify(bool value) {
  notify_ = value;
  notify_armed_ = true;
}

void TMediaPlayer::SetWait(bool value) {
  wait_ = value;
  wait_armed_ = true;
}

void TMediaPlayer::MMNotify(std::uint32_t notify_flags) {
  switch (notify_flags) {
    case kMciNotifySuperseded: notify_value_ = TMPNotifyValues::nvSuperseded; break;
    case kMciNotifyAborted: notify_value_ = TMPNotifyValues::nvAborted; break;
    case kMciNotifyFailure: notify_value_ = TMPNotifyValues::nvFailure; break;
    default: notify_value_ = TMPNotifyValues::nvSuccessful; break;
  }
  if (OnNotify) OnNotify();
}

}  // namespace vesk::app
