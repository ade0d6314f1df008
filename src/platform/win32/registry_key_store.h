#pragma once
// The key store over the real registry: the current user's hive
// (HKEY_CURRENT_USER). Names and texts cross as UTF-8; the registry holds
// them as UTF-16. Error codes are the registry's, with the system's text.
#include <memory>
#include <string_view>

#include "platform/key_store.h"

namespace vesk::platform {

class TRegistryKeyStore final : public IKeyStore {
 public:
  TKeyStatus OpenKey(std::string_view path, TKeyAccess access, TKeyOpen open,
                     std::unique_ptr<IRegistryKey>& out) override;
  TKeyStatus DeleteKey(std::string_view path) override;
};

}  // namespace vesk::platform
