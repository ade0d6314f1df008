// Program entry: the application object, its title, the clock window and
// the message loop.
#include <windows.h>

#include <memory>

#include "app/win32/application.h"
#include "app/win32/frm_main.h"
#include "app/win32/single_instance.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE /*previous*/, LPSTR /*command_line*/, int /*show*/) {
  using namespace vesk::app::win32;
  // A second start brings the running clock forward and ends.
  const TSingleInstance single_instance;
  if (!single_instance.First()) {
    BringRunningClockForward(3000);
    return 0;
  }
  TApplication application(instance);
  application.Initialize();
  application.SetTitle("Vesk Clock");
  std::unique_ptr<TfrmMain> main_form;
  RunHandler([&] { main_form = std::make_unique<TfrmMain>(application); });
  if (!main_form) return 1;  // the window could not be made; the error was shown
  return application.Run([&] { main_form->Program().Show(); }, [&] { main_form->ReleaseAtExit(); });
}
