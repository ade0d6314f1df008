#pragma once
// The registry's error: raised by the settings storage, the startup
// registration and the browser setting when a key or a value cannot be
// created, written or read. Its message is one of the fixed texts below; the
// failing call's code travels along.
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

#include "base/errors.h"

namespace vesk::platform {

class ERegistryException : public vesk::Exception {
 public:
  explicit ERegistryException(const std::string& message, std::int32_t code = 0)
      : vesk::Exception(message), code_(code) {}

  [[nodiscard]] std::int32_t Code() const noexcept { return code_; }

 private:
  std::int32_t code_;
};

// A value of another type than the one asked for: "Invalid data type for
// '<value>'". The store itself is sound; the value is only not usable.
class EInvalidDataType final : public ERegistryException {
 public:
  using ERegistryException::ERegistryException;
};

// "Failed to set data for '<value>'"
[[nodiscard]] std::string FailedToSetDataText(std::string_view value_name);
// "Failed to get data for '<value>'"
[[nodiscard]] std::string FailedToGetDataText(std::string_view value_name);
// "Invalid data type for '<value>'"
[[nodiscard]] std::string InvalidDataTypeText(std::string_view value_name);
// "Failed to create key <key path>" (no quotes)
[[nodiscard]] std::string FailedToCreateKeyText(std::string_view key_path);
// "Failed to delete value '<value>'"
[[nodiscard]] std::string FailedToDeleteValueText(std::string_view value_name);

}  // namespace vesk::platform
