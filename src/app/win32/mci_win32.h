#pragma once
// The media control interface of the system (winmm's mciSendCommand), and
// the media player's own window, which receives MM_MCINOTIFY.
#include <windows.h>

#include <memory>

#include "app/mci_interface.h"
#include "app/media_player.h"

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

// A message-only window that hands every MM_MCINOTIFY to the player and
// names itself as the player's callback window.
class TMediaPlayerWindow {
 public:
  TMediaPlayerWindow(HINSTANCE instance, TMediaPlayer& player);
  ~TMediaPlayerWindow();
  TMediaPlayerWindow(const TMediaPlayerWindow&) = delete;
  TMediaPlayerWindow& operator=(const TMediaPlayerWindow&) = delete;

  [[nodiscard]] HWND Handle() const { return handle_; }

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

  TMediaPlayer& player_;
  HWND handle_ = nullptr;
};

}  // namespace vesk::app::win32
