#include "app/win32/message_window.h"

namespace vesk::app::win32 {

TMessageWindow::~TMessageWindow() {
  if (handle_ == nullptr) return;
  const HWND window = handle_;
  ReleaseHandle();
  DestroyWindow(window);
}

void TMessageWindow::CreateHandle(HINSTANCE instance, const TWindowClass& window_class,
                                  const TWindowCreation& creation) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.style = window_class.Style;
  wc.lpfnWndProc = &TMessageWindow::WindowProc;
  wc.hInstance = instance;
  if (window_class.ArrowCursor) wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  wc.lpszClassName = window_class.Name;
  RegisterClassExW(&wc);
  handle_ = CreateWindowExW(creation.ExStyle, window_class.Name, creation.Title, creation.Style, creation.X,
                            creation.Y, creation.Width, creation.Height, creation.Parent, nullptr, instance, this);
}

void TMessageWindow::ReleaseHandle() {
  if (handle_ != nullptr) SetWindowLongPtrW(handle_, GWLP_USERDATA, 0);
  handle_ = nullptr;
}

LRESULT CALLBACK TMessageWindow::WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lparam);
    auto* self = static_cast<TMessageWindow*>(create->lpCreateParams);
    self->handle_ = window;  // messages may arrive before CreateWindowExW returns
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<TMessageWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (self == nullptr || self->handle_ != window) return DefWindowProcW(window, message, wparam, lparam);
  if (message == WM_NCDESTROY) {
    self->ReleaseHandle();
    return DefWindowProcW(window, message, wparam, lparam);
  }
  LRESULT result = 0;
  if (self->HandleMessage(message, wparam, lparam, result)) return result;
  return DefWindowProcW(window, message, wparam, lparam);
}

}  // namespace vesk::app::win32
