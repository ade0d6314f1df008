#include "app/settings_actions.h"

#include <memory>
#include <utility>

#include "platform/registry_error.h"
#include "platform/registry_values.h"

namespace vesk::app {

std::string StartupValueName(std::string_view executable_path) {
  const std::size_t folder_end = executable_path.find_last_of("\\/:");
  std::string_view name =
      folder_end == std::string_view::npos ? executable_path : executable_path.substr(folder_end + 1);
  const std::size_t dot = name.rfind('.');
  if (dot != std::string_view::npos && dot > 0) name = name.substr(0, dot);
  return std::string(name);
}

void UpdateStartupRegistration(platform::IKeyStore& store, std::string_view executable_path,
                               bool load_at_startup) {
  const std::string name = StartupValueName(executable_path);
  if (name.empty()) {
    if (load_at_startup) throw platform::ERegistryException(platform::FailedToSetDataText(name));
    return;
  }
  std::unique_ptr<platform::IRegistryKey> key;
  const platform::TKeyStatus status = store.OpenKey(kRunKeyPath, platform::kaFull, platform::koCreate, key);
  if (!status.Ok() || !key) {
    // The write (or the deletion) that would follow fails in the same way.
    throw platform::ERegistryException(
        load_at_startup ? platform::FailedToSetDataText(name) : platform::FailedToDeleteValueText(name),
        status.Code);
  }
  if (load_at_startup) {
    platform::WriteStringValue(*key, name, executable_path);
  } else {
    platform::DeleteValueIfPresent(*key, name);
  }
}

TSettingsActions::TSettingsActions(TPopupMenu& menu, platform::IKeyStore& store, std::string executable_path,
                                   TSettingsWindow window)
    : menu_(menu), store_(store), executable_path_(std::move(executable_path)), window_(std::move(window)) {
  menu_.SetOnClick("VeskClock1", [this] { VeskClock1Click(); });
  menu_.SetOnClick("OnTop1", [this] { OnTop1Click(); });
  menu_.SetOnClick("LoadatStartup1", [this] { LoadatStartup1Click(); });
  menu_.SetOnClick("Exit1", [this] { Exit1Click(); });
}

void TSettingsActions::VeskClock1Click() {
  if (window_.OpenProductPage) window_.OpenProductPage();
}

void TSettingsActions::OnTop1Click() {
  if (window_.SetZOrder) window_.SetZOrder(OnTopPlacement(menu_.Checked("OnTop1")));
}

void TSettingsActions::LoadatStartup1Click() {
  UpdateStartupRegistration(store_, executable_path_, menu_.Checked("LoadatStartup1"));
}

void TSettingsActions::FormStorage1RestorePlacement() { LoadatStartup1Click(); }

void TSettingsActions::Exit1Click() {
  if (window_.RequestClose) window_.RequestClose();
}

}  // namespace vesk::app
