#pragma once
// The media control interface of the system (winmm's mciSendCommand), and
// the media player's own window, which receives MM_MCINOTIFY.
#include <windows.h>

#include <cstdint>
#include <functional>

#include "app/mci_interface.h"
#include "app/win32/message_window.h"

namespace vesk::app::win32 {

// Each call is one mciSendCommandW with the matching parameter block.
class TWinMci final : public IMciInterface {
 public:
  [[nodiscard]] TMciError Open(const std::string& element, std::uint32_t flags, TMciCallback callback,
                               TMciDeviceId& device) override;
  [[nodiscard]] TMciError Play(TMciDeviceId device, std::uint32_t flags, TMciCallback callback) override;
  [[nodiscard]] TMciError Close(TMciDeviceId device, std::uint32_t flags, TMciCallback callback) override;
  [[nodiscard]] TMciError Seek(TMciDeviceId device, std::uint32_t flags, TMciCallback callback) override;
  [[nodiscard]] TMciError Status(TMciDeviceId device, std::uint32_t flags, std::uint32_t item, TMciCallback callback,
                                 std::uint32_t& value) override;
  // mciGetErrorStringW into a buffer of 4096 characters.
  [[nodiscard]] std::optional<std::string> ErrorText(TMciError error) override;
};

// A message-only window, the callback window of every command of the
// media player, that hands each MM_MCINOTIFY's result on.
class TMediaPlayerWindow final : public TMessageWindow {
 public:
  explicit TMediaPlayerWindow(HINSTANCE instance);

  [[nodiscard]] TMciCallback Callback() const { return reinterpret_cast<TMciCallback>(Handle()); }
  // The notification's result (wParam); its lParam, the device, is not
  // relied on (some systems leave it 0).
  std::function<void(std::uint32_t result)> OnNotify;

 private:
  bool HandleMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result) override;
};

}  // namespace vesk::app::win32
