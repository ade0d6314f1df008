#pragma once
// The system's shell behind IShell: ShellExecuteW.
#include "app/product_page.h"

namespace vesk::app::win32 {

class TSystemShell final : public IShell {
 public:
  // ShellExecuteW with no owner window; empty parameters and folder are
  // passed as none. The shell's result is not examined: a browser that
  // cannot be started is not reported. COM is set up on the calling thread
  // for the call, as shell handlers may need it.
  void Execute(const TShellRequest& request) override;
};

}  // namespace vesk::app::win32
