#pragma once
// The key store: the current user's branch of a hierarchical store of named,
// typed values (the registry on Windows; an in-memory or a file-backed
// stand-in elsewhere).
//
// Keys are addressed by paths relative to the current user's root, their
// names separated by backslashes ("Software\VeskClock"); the empty path is the
// root itself. Key and value names compare without regard to ASCII letter
// case, and keep the case they were created with. The value name "" is the
// key's default value.
//
// Values are raw bytes with a registry type number. Text values are stored as
// the registry stores them, UTF-16LE with a terminating zero, so that every
// store gives back exactly what the registry would, down to a missing
// terminator or an odd byte count; registry_values.h reads and writes them as
// UTF-8 and turns failures into the program's error texts.
//
// Nothing here throws for a failed operation: each returns a TKeyStatus with
// the system's error code (the Windows numbering on every platform) and the
// system's text for it.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vesk::platform {

// Registry value types, numbered as the registry numbers them. Any other
// number may occur in a store and is kept as it is.
enum class TRegValueType : std::uint32_t {
  rvNone = 0,
  rvString = 1,        // REG_SZ
  rvExpandString = 2,  // REG_EXPAND_SZ
  rvBinary = 3,        // REG_BINARY
  rvDword = 4,         // REG_DWORD, little-endian
  rvDwordBigEndian = 5,
  rvLink = 6,
  rvMultiString = 7,
  rvQword = 11,
};
using enum TRegValueType;

// Error codes the stores report (Windows numbering).
inline constexpr std::int32_t kKeyOk = 0;
inline constexpr std::int32_t kKeyErrorNotFound = 2;         // ERROR_FILE_NOT_FOUND
inline constexpr std::int32_t kKeyErrorAccessDenied = 5;     // ERROR_ACCESS_DENIED
inline constexpr std::int32_t kKeyErrorOutOfMemory = 8;      // ERROR_NOT_ENOUGH_MEMORY
inline constexpr std::int32_t kKeyErrorInvalidParameter = 87;
inline constexpr std::int32_t kKeyErrorBadPathname = 161;
inline constexpr std::int32_t kKeyErrorMoreData = 234;       // value larger than the buffer
inline constexpr std::int32_t kKeyErrorCorrupt = 1009;       // ERROR_BADDB
inline constexpr std::int32_t kKeyErrorIoFailed = 1016;      // ERROR_REGISTRY_IO_FAILED
inline constexpr std::int32_t kKeyErrorKeyDeleted = 1018;    // ERROR_KEY_DELETED

// The largest value a read accepts by default; larger data gives
// kKeyErrorMoreData with the true size, and nothing is allocated for it.
inline constexpr std::size_t kMaxValueBytes = 1u << 20;

struct TKeyStatus {
  std::int32_t Code = kKeyOk;
  std::string Text;  // the system's text for Code; empty on success

  [[nodiscard]] bool Ok() const noexcept { return Code == kKeyOk; }
  [[nodiscard]] bool NotFound() const noexcept { return Code == kKeyErrorNotFound; }
};

// A status for a code with the stand-in stores' wording of the system text
// (the registry store asks the system instead).
[[nodiscard]] TKeyStatus KeyStatusFor(std::int32_t code);

enum class TKeyAccess : std::uint8_t { kaRead, kaFull };
enum class TKeyOpen : std::uint8_t { koExisting, koCreate };
using enum TKeyAccess;
using enum TKeyOpen;

struct TRawValue {
  TRegValueType Type = rvNone;
  std::vector<std::uint8_t> Data;
};

// An open key. It names its key by path: a key deleted while it is open
// answers kKeyErrorKeyDeleted (or, for a key created again under the same
// path, acts on the new one, depending on the store).
class IRegistryKey {
 public:
  virtual ~IRegistryKey() = default;

  [[nodiscard]] virtual const std::string& Path() const = 0;

  // Type and size of a value without its data; kKeyErrorNotFound when absent.
  virtual TKeyStatus QueryValue(std::string_view name, TRegValueType& type, std::uint64_t& size) = 0;

  // Type and data of a value. Data longer than max_bytes is not read: the
  // result is kKeyErrorMoreData with out.Type set and out.Data empty.
  virtual TKeyStatus GetValue(std::string_view name, TRawValue& out,
                              std::size_t max_bytes = kMaxValueBytes) = 0;

  // Creates or replaces a value. Needs kaFull access.
  virtual TKeyStatus SetValue(std::string_view name, TRegValueType type,
                              std::span<const std::uint8_t> data) = 0;

  // kKeyErrorNotFound when there is no such value. Needs kaFull access.
  virtual TKeyStatus DeleteValue(std::string_view name) = 0;

  virtual TKeyStatus ValueNames(std::vector<std::string>& out) = 0;
  virtual TKeyStatus SubkeyNames(std::vector<std::string>& out) = 0;
};

class IKeyStore {
 public:
  virtual ~IKeyStore() = default;

  // Opens the key at `path`, with koCreate creating it and any missing parent
  // first. kKeyErrorNotFound when it is missing and koExisting was asked.
  virtual TKeyStatus OpenKey(std::string_view path, TKeyAccess access, TKeyOpen open,
                             std::unique_ptr<IRegistryKey>& out) = 0;

  // Deletes the key with all its values and subkeys; kKeyErrorNotFound when
  // it does not exist. The root (the empty path) is never deleted:
  // kKeyErrorInvalidParameter.
  virtual TKeyStatus DeleteKey(std::string_view path) = 0;
};

// The current user's store of this platform: the registry's current-user
// hive on Windows; elsewhere a file-backed store in the user's configuration
// folder.
[[nodiscard]] std::unique_ptr<IKeyStore> MakeUserKeyStore();

}  // namespace vesk::platform
