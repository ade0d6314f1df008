// The About command's window side: the product page through the system's
// shell, with the current user's registry.
#include "app/product_page.h"
#include "app/win32/frm_main.h"

namespace vesk::app::win32 {

void TfrmMain::OpenProductPage() { app::OpenProductPage(*key_store_, shell_); }

}  // namespace vesk::app::win32
