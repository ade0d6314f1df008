#pragma once
// Typed access to key-store values: strings as UTF-8, 32-bit integers, and
// the registry errors a failed access raises. Text values are stored in the
// registry's form, UTF-16LE with a terminating zero.
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/key_store.h"

namespace vesk::platform {

// UTF-16LE with one terminating zero unit; malformed UTF-8 becomes U+FFFD.
[[nodiscard]] std::vector<std::uint8_t> EncodeRegString(std::string_view text);

// The text up to the first zero unit (or the end of the data when the
// terminator is missing); an odd last byte is ignored and unpaired
// surrogates become U+FFFD. Any data decodes.
[[nodiscard]] std::string DecodeRegString(std::span<const std::uint8_t> data);

// True when the data is exactly what EncodeRegString makes of some text:
// even size, well-formed UTF-16, one terminating zero and no zero before it.
[[nodiscard]] bool IsCanonicalRegString(std::span<const std::uint8_t> data) noexcept;

[[nodiscard]] std::vector<std::uint8_t> EncodeRegDword(std::uint32_t value);

// Opens a key, creating it if missing; raises "Failed to create key <path>".
[[nodiscard]] std::unique_ptr<IRegistryKey> CreateKeyOrRaise(IKeyStore& store, std::string_view path,
                                                             TKeyAccess access);

// A string value (REG_SZ or REG_EXPAND_SZ, returned unexpanded); nothing when
// the value does not exist. Raises "Invalid data type for '<name>'" for any
// other type and "Failed to get data for '<name>'" when the data cannot be
// read (larger than kMaxValueBytes, or a failing store).
[[nodiscard]] std::optional<std::string> ReadStringValue(IRegistryKey& key, std::string_view name);

// Writes a REG_SZ value; raises "Failed to set data for '<name>'".
void WriteStringValue(IRegistryKey& key, std::string_view name, std::string_view text);

// A 32-bit integer value; nothing when the value does not exist. Raises
// "Failed to get data for '<name>'" when the data is longer than four bytes
// (or cannot be read) and "Invalid data type for '<name>'" when it is not a
// REG_DWORD of exactly four bytes.
[[nodiscard]] std::optional<std::uint32_t> ReadIntegerValue(IRegistryKey& key, std::string_view name);

// Writes a REG_DWORD value; raises "Failed to set data for '<name>'".
void WriteIntegerValue(IRegistryKey& key, std::string_view name, std::uint32_t value);

// Whether the value exists (a failing query counts as absent).
[[nodiscard]] bool ValueExists(IRegistryKey& key, std::string_view name);

// Deletes a value; a value that does not exist is no error. Any other failure
// raises "Failed to delete value '<name>'".
void DeleteValueIfPresent(IRegistryKey& key, std::string_view name);

}  // namespace vesk::platform
