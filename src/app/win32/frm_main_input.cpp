// Dragging the clock and closing it.
#include "app/win32/application.h"
#include "app/win32/frm_main.h"

namespace vesk::app::win32 {

void TfrmMain::FormMouseMove(const TMouseButtons& buttons, int /*x*/, int /*y*/) {
  if (!ShouldStartWindowMove(buttons)) return;
  // The system's move loop moves the window with the mouse until the button
  // is released; the new place reaches the layered window at the next update.
  ReleaseCapture();
  SendMessageW(handle_, WM_SYSCOMMAND, SC_MOVE | HTCAPTION, 0);
}

void TfrmMain::FormCloseQuery(bool& can_close) { can_close = fade_.CloseQuery(); }

void TfrmMain::FormClose(TCloseAction& /*action*/) {}

}  // namespace vesk::app::win32
