#include "app/win32/mci_win32.h"

#include <mmsystem.h>

#include "app/win32/application.h"
#include "app/win32/wide_text.h"

namespace vesk::app::win32 {
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

TMediaPlayerWindow::TMediaPlayerWindow(HINSTANCE instance, TMediaPlayer& player) : player_(player) {
  WNDCLASSEXW window_class{};
  window_class.cbSize = sizeof(window_class);
  window_class.lpfnWndProc = &TMediaPlayerWindow::WindowProc;
  window_class.hInstance = instance;
  window_class.lpszClassName = kPlayerWindowClass;
  RegisterClassExW(&window_class);
  handle_ = CreateWindowExW(0, kPlayerWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, this);
  player_.Callback = reinterpret_cast<TMciCallback>(handle_);
}

TMediaPlayerWindow::~TMediaPlayerWindow() {
  player_.Callback = 0;
  if (handle_ != nullptr) DestroyWindow(handle_);
}

LRESULT CALLBACK TMediaPlayerWindow::WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lparam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self = reinterpret_cast<TMediaPlayerWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (message == MM_MCINOTIFY && self != nullptr) {
    // wParam is the result; lParam, the device, is not relied on (some
    // systems leave it 0).
    RunHandler([&] { self->player_.MMNotify(static_cast<std::uint32_t>(wparam)); });
    return 0;
  }
  return DefWindowProcW(window, message, wparam, lparam);
}

}  // namespace vesk::app::win32
