#pragma once
// One opening of the settings store: the base key (e.g. "Software") under
// the current user's root, and string and number values in one of its
// sections (subkeys, e.g. "VeskClock"). Each value operation opens the
// section anew: a read of a missing section or value gives the default, a
// write creates the section first.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/key_store.h"

namespace vesk::desktop {

enum class TStoreMode : std::uint8_t { smRead, smWrite };
using enum TStoreMode;

class TSectionStore {
 public:
  // Opens the base key with full access, creating it if missing. In smWrite
  // a failure raises "Failed to create key <base>"; in smRead the base key
  // is opened for reading instead; when it is missing, every read gives its
  // default, and when it cannot be opened otherwise, every read raises.
  TSectionStore(platform::IKeyStore& store, std::string base_key, TStoreMode mode);
  ~TSectionStore();
  TSectionStore(const TSectionStore&) = delete;
  TSectionStore& operator=(const TSectionStore&) = delete;

  // A string value (REG_SZ or REG_EXPAND_SZ, unexpanded); the default when
  // the section or the value is missing. A value of any other type gives the
  // default too, as if it were missing, and its error ("Invalid data type
  // for '<name>'") is kept for TakeInvalidType: the next save writes the
  // value as a string, so one wrong value cannot lock the settings. Raises
  // "Failed to get data for '<name>'" when the value, or a key on its path,
  // is there but cannot be read.
  [[nodiscard]] std::string ReadString(std::string_view section, std::string_view name,
                                       std::string_view default_value);
  // A number, stored as its decimal text; the default when it is missing, of
  // another type or does not convert. Raises as ReadString.
  [[nodiscard]] std::int32_t ReadInteger(std::string_view section, std::string_view name,
                                         std::int32_t default_value);

  // Writes a REG_SZ value. Raises "Failed to create key <section>" when the
  // section cannot be created and "Failed to set data for '<name>'" when the
  // value cannot be written. Needs smWrite.
  void WriteString(std::string_view section, std::string_view name, std::string_view value);
  void WriteInteger(std::string_view section, std::string_view name, std::int32_t value);

  // The message of the first value of a wrong type read since the last
  // call, if any; cleared.
  [[nodiscard]] std::optional<std::string> TakeInvalidType();

 private:
  [[nodiscard]] std::string SectionPath(std::string_view section) const;

  platform::IKeyStore& store_;
  std::string base_key_;
  TStoreMode mode_;
  std::unique_ptr<platform::IRegistryKey> base_;  // held open for the whole session
  platform::TKeyStatus base_status_;              // why base_ is empty, when it is
  std::optional<std::string> invalid_type_;
};

}  // namespace vesk::desktop
