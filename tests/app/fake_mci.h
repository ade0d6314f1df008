#pragma once
// A media control interface that records every command and answers from a
// small model of one device: open/closed, playing until the test ends the
// sound, notifications queued (callback, result) for the test to deliver.
#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "app/mci_interface.h"

namespace vesk::app {

struct TMciCall {
  std::uint32_t Command = 0;
  TMciDeviceId Device = 0;
  std::uint32_t Flags = 0;
  TMciCallback Callback = 0;
  std::uint32_t Item = 0;  // MCI_STATUS only
  std::string Element;     // MCI_OPEN only
};

struct TMciNotification {
  TMciCallback Callback = 0;
  std::uint32_t Result = 0;
  TMciDeviceId Device = 0;
};

struct TFakeMciState {
  std::vector<TMciCall> Calls;
  std::deque<TMciNotification> Pending;
  std::map<TMciDeviceId, bool> OpenDevices;  // device -> playing
  TMciDeviceId NextDevice = 1;
  TMciError OpenError = 0;
  TMciError PlayError = 0;
  std::uint32_t Length = 3660;
  std::uint32_t Position = 0;
  std::map<TMciError, std::string> ErrorTexts{{275, "The specified file cannot be found."}};
};

class TFakeMci final : public IMciInterface {
 public:
  // The state outlives the player that owns this object.
  explicit TFakeMci(TFakeMciState& state) : s_(state) {}

  TMciError Open(const std::string& element, std::uint32_t flags, TMciCallback callback,
                 TMciDeviceId& device) override {
    s_.Calls.push_back({kMciOpen, 0, flags, callback, 0, element});
    if (s_.OpenError != 0) return s_.OpenError;
    device = s_.NextDevice++;
    s_.OpenDevices[device] = false;
    Notify(flags, callback, device);
    return 0;
  }
  TMciError Play(TMciDeviceId device, std::uint32_t flags, TMciCallback callback) override {
    s_.Calls.push_back({kMciPlay, device, flags, callback, 0, {}});
    if (!s_.OpenDevices.contains(device)) return 263;  // MCIERR_INVALID_DEVICE_NAME
    if (s_.PlayError != 0) return s_.PlayError;
    s_.OpenDevices[device] = true;
    // The result comes when the test ends the sound (EndSound).
    if ((flags & kMciNotify) != 0) play_notify_[device] = callback;
    return 0;
  }
  TMciError Close(TMciDeviceId device, std::uint32_t flags, TMciCallback callback) override {
    s_.Calls.push_back({kMciClose, device, flags, callback, 0, {}});
    if (s_.OpenDevices.erase(device) == 0) return 263;
    // A pending play notification is aborted by the close.
    if (auto it = play_notify_.find(device); it != play_notify_.end()) {
      s_.Pending.push_back({it->second, kMciNotifyAborted, device});
      play_notify_.erase(it);
    }
    Notify(flags, callback, device);
    return 0;
  }
  TMciError Seek(TMciDeviceId device, std::uint32_t flags, TMciCallback callback) override {
    s_.Calls.push_back({kMciSeek, device, flags, callback, 0, {}});
    s_.Position = 0;
    return 0;
  }
  TMciError Status(TMciDeviceId device, std::uint32_t flags, std::uint32_t item, TMciCallback callback,
                   std::uint32_t& value) override {
    s_.Calls.push_back({kMciStatus, device, flags, callback, item, {}});
    auto it = s_.OpenDevices.find(device);
    if (it == s_.OpenDevices.end()) return 263;
    switch (item) {
      case kMciStatusMode: value = kMciModeNotReady + (it->second ? 2 : 1); return 0;
      case kMciStatusLength: value = s_.Length; return 0;
      case kMciStatusPosition: value = s_.Position; return 0;
      default: return 274;  // MCIERR_UNSUPPORTED_FUNCTION
    }
  }
  std::optional<std::string> ErrorText(TMciError error) override {
    auto it = s_.ErrorTexts.find(error);
    if (it == s_.ErrorTexts.end()) return std::nullopt;
    return it->second;
  }

  // The sound of `device` has played to its end.
  void EndSound(TMciDeviceId device) {
    s_.OpenDevices[device] = false;
    s_.Position = s_.Length;
    if (auto it = play_notify_.find(device); it != play_notify_.end()) {
      s_.Pending.push_back({it->second, kMciNotifySuccessful, device});
      play_notify_.erase(it);
    }
  }

 private:
  void Notify(std::uint32_t flags, TMciCallback callback, TMciDeviceId device) {
    if ((flags & kMciNotify) != 0) s_.Pending.push_back({callback, kMciNotifySuccessful, device});
  }

  TFakeMciState& s_;
  std::map<TMciDeviceId, TMciCallback> play_notify_;
};

}  // namespace vesk::app
