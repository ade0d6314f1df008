// Program entry: the application object, its title, the clock window and
// the message loop.
#include <windows.h>

#include "app/win32/application.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE /*previous*/, LPSTR /*command_line*/, int /*show*/) {
  vesk::app::win32::TApplication application(instance);
  application.Initialize();
  application.SetTitle("Vesk Clock");
  vesk::app::win32::RunHandler([&] { application.CreateMainForm(); });
  return application.Run();
}
