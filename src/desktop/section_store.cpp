#include "desktop/section_store.h"

#include <optional>
#include <utility>

#include "desktop/placement_values.h"
#include "platform/registry_error.h"
#include "platform/registry_values.h"

namespace vesk::desktop {

TSectionStore::TSectionStore(platform::IKeyStore& store, std::string base_key, TStoreMode mode)
    : store_(store), base_key_(std::move(base_key)), mode_(mode) {
  const platform::TKeyStatus status = store_.OpenKey(base_key_, platform::kaFull, platform::koCreate, base_);
  if (status.Ok() && base_) return;
  base_.reset();
  if (mode_ == smWrite) {
    throw platform::ERegistryException(platform::FailedToCreateKeyText(base_key_), status.Code);
  }
  // Reading needs no write access: a base key that exists but cannot be
  // written still gives its values.
  base_status_ = store_.OpenKey(base_key_, platform::kaRead, platform::koExisting, base_);
  if (!base_status_.Ok()) base_.reset();
}

TSectionStore::~TSectionStore() = default;

std::string TSectionStore::SectionPath(std::string_view section) const {
  if (base_key_.empty()) return std::string(section);
  if (section.empty()) return base_key_;
  return base_key_ + "\\" + std::string(section);
}

std::string TSectionStore::ReadString(std::string_view section, std::string_view name,
                                      std::string_view default_value) {
  // A key that is missing gives the default. One that is there but cannot
  // be opened is an error: taking the default would let the next save
  // overwrite what is stored with it.
  if (!base_) {
    if (base_status_.NotFound()) return std::string(default_value);
    throw platform::ERegistryException(platform::FailedToGetDataText(name), base_status_.Code);
  }
  std::unique_ptr<platform::IRegistryKey> key;
  const platform::TKeyAccess access = mode_ == smRead ? platform::kaRead : platform::kaFull;
  const platform::TKeyStatus status = store_.OpenKey(SectionPath(section), access, platform::koExisting, key);
  if (status.NotFound() || (status.Ok() && !key)) return std::string(default_value);
  if (!status.Ok()) throw platform::ERegistryException(platform::FailedToGetDataText(name), status.Code);
  try {
    const std::optional<std::string> value = platform::ReadStringValue(*key, name);
    return value ? *value : std::string(default_value);
  } catch (const platform::EInvalidDataType& error) {
    if (!invalid_type_) invalid_type_ = error.what();
    return std::string(default_value);
  }
}

std::optional<std::string> TSectionStore::TakeInvalidType() { return std::exchange(invalid_type_, std::nullopt); }

std::int32_t TSectionStore::ReadInteger(std::string_view section, std::string_view name,
                                        std::int32_t default_value) {
  const std::string text = ReadString(section, name, std::to_string(default_value));
  return StrToIntDef(text, default_value);
}

void TSectionStore::WriteString(std::string_view section, std::string_view name, std::string_view value) {
  std::unique_ptr<platform::IRegistryKey> key;
  const platform::TKeyStatus status = store_.OpenKey(SectionPath(section), platform::kaFull, platform::koCreate, key);
  if (!status.Ok() || !key) {
    throw platform::ERegistryException(platform::FailedToCreateKeyText(section), status.Code);
  }
  platform::WriteStringValue(*key, name, value);
}

void TSectionStore::WriteInteger(std::string_view section, std::string_view name, std::int32_t value) {
  WriteString(section, name, std::to_string(value));
}

}  // namespace vesk::desktop
