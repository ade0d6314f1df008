// The clock window's settings storage: FormStorage1 with the window's
// placement, its menu's check marks as stored properties, and the
// application's error box for its failures.
#include <exception>
#include <memory>

#include "app/win32/application.h"
#include "app/win32/frm_main.h"

namespace vesk::app::win32 {

void TfrmMain::CreateStorageComponents() {
  placement_window_ = std::make_unique<TWin32PlacementWindow>(handle_, application_.Handle(),
                                                              [this](int command) { show_command_ = command; });
  stored_items_ = MakeMenuItemComponents(PopupMenu1);
  std::vector<desktop::TStoredComponent*> components;
  for (const auto& item : stored_items_) components.push_back(item.get());
  storage_owner_ = std::make_unique<desktop::TStorageOwner>(
      OnShow, OnCloseQuery, OnDestroy, *placement_window_, [this] { return handle_ != nullptr; },
      std::move(components));

  FormStorage1 = std::make_unique<desktop::TFormStorage>(
      *storage_owner_, *key_store_, [this](const std::exception& error) { application_.HandleException(error); });
  FormStorage1->Active = true;
  FormStorage1->IniFileName = "Software";
  FormStorage1->IniSection = "VeskClock";
  FormStorage1->UseRegistry = true;
  FormStorage1->RegistryRoot = desktop::prCurrentUser;
  FormStorage1->Options = desktop::TPlacementOptions{.fpState = true, .fpPosition = true, .fpActiveControl = false};
  FormStorage1->Version = 0;
  FormStorage1->SetStoredProps({"LoadatStartup1.Checked", "OnTop1.Checked", "Chimes1.Checked"});
  FormStorage1->OnRestorePlacement = [this] { FormStorage1RestorePlacement(); };
  FormStorage1->Loaded();
}

}  // namespace vesk::app::win32
