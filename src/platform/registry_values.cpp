#include "platform/registry_values.h"

#include "platform/registry_error.h"
#include "platform/utf16.h"

namespace vesk::platform {
namespace {

[[noreturn]] void Raise(const std::string& message, const TKeyStatus& status) {
  throw ERegistryException(message, status.Code);
}

bool IsStringType(TRegValueType type) { return type == rvString || type == rvExpandString; }

}  // namespace

std::vector<std::uint8_t> EncodeRegString(std::string_view text) {
  const std::u16string wide = Utf8ToUtf16(text);
  std::vector<std::uint8_t> data;
  data.reserve((wide.size() + 1) * 2);
  for (const char16_t unit : wide) {
    data.push_back(static_cast<std::uint8_t>(unit & 0xFF));
    data.push_back(static_cast<std::uint8_t>(unit >> 8));
  }
  data.push_back(0);
  data.push_back(0);
  return data;
}

std::string DecodeRegString(std::span<const std::uint8_t> data) {
  std::u16string wide;
  wide.reserve(data.size() / 2);
  for (std::size_t i = 0; i + 1 < data.size(); i += 2) {
    const auto unit = static_cast<char16_t>(data[i] | (data[i + 1] << 8));
    if (unit == 0) break;
    wide.push_back(unit);
  }
  return Utf16ToUtf8(wide);
}

bool IsCanonicalRegString(std::span<const std::uint8_t> data) noexcept {
  if (data.size() < 2 || data.size() % 2 != 0) return false;
  std::u16string wide;
  const std::size_t units = data.size() / 2;
  for (std::size_t k = 0; k < units; ++k) {
    const auto unit = static_cast<char16_t>(data[2 * k] | (data[2 * k + 1] << 8));
    if ((unit == 0) != (k + 1 == units)) return false;  // one zero, and only at the end
    if (unit != 0) wide.push_back(unit);
  }
  return IsValidUtf16(wide);
}

std::vector<std::uint8_t> EncodeRegDword(std::uint32_t value) {
  return {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
          static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
}

std::unique_ptr<IRegistryKey> CreateKeyOrRaise(IKeyStore& store, std::string_view path, TKeyAccess access) {
  std::unique_ptr<IRegistryKey> key;
  const TKeyStatus status = store.OpenKey(path, access, koCreate, key);
  if (!status.Ok() || !key) Raise(FailedToCreateKeyText(path), status);
  return key;
}

std::optional<std::string> ReadStringValue(IRegistryKey& key, std::string_view name) {
  TRawValue value;
  const TKeyStatus status = key.GetValue(name, value);
  if (status.NotFound()) return std::nullopt;
  // The type is known also when the data was too large to read.
  if ((status.Ok() || status.Code == kKeyErrorMoreData) && !IsStringType(value.Type)) {
    throw EInvalidDataType(InvalidDataTypeText(name), status.Code);
  }
  if (!status.Ok()) Raise(FailedToGetDataText(name), status);
  return DecodeRegString(value.Data);
}

void WriteStringValue(IRegistryKey& key, std::string_view name, std::string_view text) {
  const std::vector<std::uint8_t> data = EncodeRegString(text);
  const TKeyStatus status = key.SetValue(name, rvString, data);
  if (!status.Ok()) Raise(FailedToSetDataText(name), status);
}

std::optional<std::uint32_t> ReadIntegerValue(IRegistryKey& key, std::string_view name) {
  TRawValue value;
  const TKeyStatus status = key.GetValue(name, value, 4);
  if (status.NotFound()) return std::nullopt;
  if (!status.Ok()) Raise(FailedToGetDataText(name), status);  // longer than four bytes
  if (value.Type != rvDword || value.Data.size() != 4) throw EInvalidDataType(InvalidDataTypeText(name), status.Code);
  return static_cast<std::uint32_t>(value.Data[0]) | (static_cast<std::uint32_t>(value.Data[1]) << 8) |
         (static_cast<std::uint32_t>(value.Data[2]) << 16) | (static_cast<std::uint32_t>(value.Data[3]) << 24);
}

void WriteIntegerValue(IRegistryKey& key, std::string_view name, std::uint32_t value) {
  const std::vector<std::uint8_t> data = EncodeRegDword(value);
  const TKeyStatus status = key.SetValue(name, rvDword, data);
  if (!status.Ok()) Raise(FailedToSetDataText(name), status);
}

bool ValueExists(IRegistryKey& key, std::string_view name) {
  TRegValueType type = rvNone;
  std::uint64_t size = 0;
  return key.QueryValue(name, type, size).Ok();
}

void DeleteValueIfPresent(IRegistryKey& key, std::string_view name) {
  const TKeyStatus status = key.DeleteValue(name);
  if (!status.Ok() && !status.NotFound()) Raise(FailedToDeleteValueText(name), status);
}

}  // namespace vesk::platform
