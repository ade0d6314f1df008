// The program's requests to its window, each carried out with the system
// calls it names.
#include "app/win32/application.h"
#include "app/win32/frm_main.h"
#include "platform/win32/win32_types.h"

namespace vesk::app::win32 {

using platform::win32::FromPOINT;
using platform::win32::FromRECT;
using platform::win32::ToPOINT;
using platform::win32::ToSIZE;

TSystemError TfrmMain::MakeLayered() {
  // A zero result is a failure only when the system says so: the previous
  // extended style may itself have been 0.
  SetLastError(0);
  const LONG_PTR ex_style = GetWindowLongPtrW(Handle(), GWL_EXSTYLE);
  if (SetWindowLongPtrW(Handle(), GWL_EXSTYLE, ex_style | WS_EX_LAYERED) == 0) return GetLastError();
  return 0;
}

void TfrmMain::HideTaskbarButton() {
  const HWND app_window = application_.Handle();
  ShowWindow(app_window, SW_HIDE);
  SetWindowLongPtrW(app_window, GWL_EXSTYLE, GetWindowLongPtrW(app_window, GWL_EXSTYLE) | WS_EX_TOOLWINDOW);
}

void TfrmMain::AcquireScreen() { screen_dc_ = GetDC(nullptr); }

void TfrmMain::ReleaseScreen() {
  if (screen_dc_ == nullptr) return;
  ReleaseDC(nullptr, screen_dc_);
  screen_dc_ = nullptr;
}

void TfrmMain::MakeDesktopOwner() {
  SetWindowLongPtrW(Handle(), GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(GetDesktopWindow()));
}

void TfrmMain::ShowFirst() { ShowWindow(Handle(), show_command_); }

bool TfrmMain::Visible() { return IsWindowVisible(Handle()) != FALSE; }

TRect TfrmMain::Bounds() {
  RECT r{};
  GetWindowRect(Handle(), &r);
  return FromRECT(r);
}

std::int32_t TfrmMain::PixelsPerInch() {
  // Per-monitor aware (the manifest): the window's own monitor's resolution
  // where the system reports one per window, else the screen's.
  using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
  static const auto get_dpi_for_window = reinterpret_cast<GetDpiForWindowFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
  if (get_dpi_for_window != nullptr && Handle() != nullptr) {
    const UINT dpi = get_dpi_for_window(Handle());
    if (dpi != 0) return static_cast<std::int32_t>(dpi);
  }
  const HDC screen = GetDC(nullptr);
  const int dpi = screen != nullptr ? GetDeviceCaps(screen, LOGPIXELSY) : kBasePixelsPerInch;
  if (screen != nullptr) ReleaseDC(nullptr, screen);
  return dpi;
}

std::optional<TPoint> TfrmMain::CursorPos() {
  POINT p{};
  if (!GetCursorPos(&p)) return std::nullopt;
  return FromPOINT(p);
}

TSystemError TfrmMain::Present(const raster::TBitmap32& composition, const TBlendFunction& blend, TPoint position,
                               TSize size, TPoint source) {
  POINT destination = ToPOINT(position);
  SIZE extent = ToSIZE(size);
  POINT origin = ToPOINT(source);
  BLENDFUNCTION record = platform::win32::ToBLENDFUNCTION(blend);
  if (UpdateLayeredWindow(Handle(), screen_dc_, &destination, &extent, static_cast<HDC>(composition.Handle()),
                          &origin, 0, &record, ULW_ALPHA)) {
    return 0;
  }
  return GetLastError();
}

void TfrmMain::SetSize(TSize size) {
  SetWindowPos(Handle(), nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TfrmMain::SetBounds(const TRect& bounds) {
  SetWindowPos(Handle(), nullptr, bounds.Left, bounds.Top, RectWidth(bounds), RectHeight(bounds),
               SWP_NOZORDER | SWP_NOACTIVATE);
}

void TfrmMain::SetZOrder(TZOrderPlacement placement) {
  // Position and size 0 with SWP_NOMOVE | SWP_NOSIZE only, so the window may
  // also be activated.
  SetWindowPos(Handle(), placement == zpTopmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE);
}

void TfrmMain::ShowNormal() { ShowWindow(Handle(), SW_SHOWNORMAL); }

void TfrmMain::Hide() { ShowWindow(Handle(), SW_HIDE); }

void TfrmMain::BringToForeground() { SetForegroundWindow(Handle()); }

void TfrmMain::BeginMove() {
  ReleaseCapture();
  SendMessageW(Handle(), WM_SYSCOMMAND, SC_MOVE | HTCAPTION, 0);
}

void TfrmMain::PopupMenuAtCursor(const TPopupMenu& menu) { popup_window_->PopupAtCursor(menu, Handle()); }

void TfrmMain::TrackMenu(const TPopupMenu& menu, TPoint at) { popup_window_->Track(menu, at.X, at.Y); }

void TfrmMain::EndProgram() {
  // The window is destroyed when the message loop has ended.
  application_.Terminate();
}

void TfrmMain::ShowError(const std::exception& error) { application_.HandleException(error); }

void TfrmMain::ShowSystemError(TSystemError code) { application_.ShowSystemError(code); }

}  // namespace vesk::app::win32
