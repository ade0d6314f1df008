#include "app/win32/mci_win32.h"

#include <mmsystem.h>

#include "platform/win32/wide_text.h"

namespace vesk::app::win32 {
using platform::win32::Widen;
using platform::win32::Narrow;

namespace {

constexpr const wchar_t* kPlayerWindowClass = L"TMediaPlayer";
constexpr UINT kErrorTextCapacity = 4096;

}  // namespace

TMciError TWinMci::Open(const std::string& element, std::uint32_t flags, TMciCallback callback,
                        TMciDeviceId& device) {
  const std::wstring name = Widen(element);
  MCI_OPEN_PARMSW parms{};
  parms.dwCallback = callback;
  parms.lpstrElementName = name.c_str();
  const MCIERROR error = mciSendCommandW(0, MCI_OPEN, flags, reinterpret_cast<DWORD_PTR>(&parms));
  if (error == 0) device = parms.wDeviceID;
  return error;
}

TMciError TWinMci::Play(TMciDeviceId device, std::uint32_t flags, TMciCallback callback) {
  MCI_PLAY_PARMS parms{};
  parms.dwCallback = callback;
  return mciSendCommandW(device, MCI_PLAY, flags, reinterpret_cast<DWORD_PTR>(&parms));
}

TMciError TWinMci::Close(TMciDeviceId device, std::uint32_t flags, TMciCallback callback) {
  MCI_GENERIC_PARMS parms{};
  parms.dwCallback = callback;
  return mciSendCommandW(device, MCI_CLOSE, flags, reinterpret_cast<DWORD_PTR>(&parms));
}

TMciError TWinMci::Seek(TMciDeviceId device, std::uint32_t flags, TMciCallback callback) {
  MCI_SEEK_PARMS parms{};
  parms.dwCallback = callback;
  return mciSendCommandW(device, MCI_SEEK, flags, reinterpret_cast<DWORD_PTR>(&parms));
}

TMciError TWinMci::Status(TMciDeviceId device, std::uint32_t flags, std::uint32_t item, TMciCallback callback,
                          std::uint32_t& value) {
  MCI_STATUS_PARMS parms{};
  parms.dwCallback = callback;
  parms.dwItem = item;
  const MCIERROR error = mciSendCommandW(device, MCI_STATUS, flags, reinterpret_cast<DWORD_PTR>(&parms));
  if (error == 0) value = static_cast<std::uint32_t>(parms.dwReturn);
  return error;
}

std::optional<std::string> TWinMci::ErrorText(TMciError error) {
  wchar_t text[kErrorTextCapacity] = {};
  if (!mciGetErrorStringW(error, text, kErrorTextCapacity)) return std::nullopt;
  text[kErrorTextCapacity - 1] = L'\0';
  return Narrow(text);
}

TMediaPlayerWindow::TMediaPlayerWindow(HINSTANCE instance) {
  CreateHandle(instance, TWindowClass{kPlayerWindowClass}, TWindowCreation{0, L"", 0, 0, 0, 0, 0, HWND_MESSAGE});
}

bool TMediaPlayerWindow::HandleMessage(UINT message, WPARAM wparam, LPARAM /*lparam*/, LRESULT& result) {
  if (message != MM_MCINOTIFY) return false;
  if (OnNotify) OnNotify(static_cast<std::uint32_t>(wparam));
  result = 0;
  return true;
}

}  // namespace vesk::app::win32
