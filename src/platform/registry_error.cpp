#include "platform/registry_error.h"

namespace vesk::platform {

std::string FailedToSetDataText(std::string_view value_name) {
  return "Failed to set data for '" + std::string(value_name) + "'";
}

std::string FailedToGetDataText(std::string_view value_name) {
  return "Failed to get data for '" + std::string(value_name) + "'";
}

std::string InvalidDataTypeText(std::string_view value_name) {
  return "Invalid data type for '" + std::string(value_name) + "'";
}

std::string FailedToCreateKeyText(std::string_view key_path) {
  return "Failed to create key " + std::string(key_path);
}

std::string FailedToDeleteValueText(std::string_view value_name) {
  return "Failed to delete value '" + std::string(value_name) + "'";
}

}  // namespace vesk::platform
