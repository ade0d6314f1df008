// The registry through advapi32's wide-character calls. Every buffer is sized
// from what the registry reports and every read is bounded, so a value that
// grows between the size query and the read, or one of absurd size, gives an
// error instead of a short or overrunning read.
#include "platform/win32/registry_key_store.h"

#include <windows.h>

#include <string>
#include <vector>

#include "platform/key_tree.h"
#include "platform/process.h"
#include "platform/utf16.h"
#include "platform/win32/wide_text.h"

namespace vesk::platform {
namespace {

std::wstring Wide(std::string_view text) { return win32::Widen(text); }

std::string Narrow(const wchar_t* text, std::size_t length) { return win32::Narrow(std::wstring_view(text, length)); }

TKeyStatus Status(LSTATUS code) {
  TKeyStatus status;
  status.Code = static_cast<std::int32_t>(code);
  if (code != ERROR_SUCCESS) status.Text = SystemErrorText(static_cast<OsErrorCode>(code));
  return status;
}

// Names with a zero character in them cannot be passed to the registry.
bool PassableName(std::string_view name) { return name.find('\0') == std::string_view::npos; }

class TWin32RegistryKey final : public IRegistryKey {
 public:
  TWin32RegistryKey(HKEY key, std::string path) : key_(key), path_(std::move(path)) {}
  ~TWin32RegistryKey() override { RegCloseKey(key_); }
  TWin32RegistryKey(const TWin32RegistryKey&) = delete;
  TWin32RegistryKey& operator=(const TWin32RegistryKey&) = delete;

  const std::string& Path() const override { return path_; }

  TKeyStatus QueryValue(std::string_view name, TRegValueType& type, std::uint64_t& size) override {
    if (!PassableName(name)) return KeyStatusFor(kKeyErrorInvalidParameter);
    DWORD raw_type = 0;
    DWORD raw_size = 0;
    const LSTATUS code = RegQueryValueExW(key_, Wide(name).c_str(), nullptr, &raw_type, nullptr, &raw_size);
    if (code != ERROR_SUCCESS) return Status(code);
    type = static_cast<TRegValueType>(raw_type);
    size = raw_size;
    return {};
  }

  TKeyStatus GetValue(std::string_view name, TRawValue& out, std::size_t max_bytes) override {
    out = TRawValue{};
    if (!PassableName(name)) return KeyStatusFor(kKeyErrorInvalidParameter);
    const std::wstring wide_name = Wide(name);
    // The value may change between the size query and the read: try again a
    // few times, then give up with "more data".
    for (int attempt = 0; attempt < 4; ++attempt) {
      DWORD type = 0;
      DWORD size = 0;
      LSTATUS code = RegQueryValueExW(key_, wide_name.c_str(), nullptr, &type, nullptr, &size);
      if (code != ERROR_SUCCESS) return Status(code);
      out.Type = static_cast<TRegValueType>(type);
      if (size > max_bytes) return Status(ERROR_MORE_DATA);
      std::vector<std::uint8_t> data(size);
      DWORD got = size;
      code = RegQueryValueExW(key_, wide_name.c_str(), nullptr, &type, data.empty() ? nullptr : data.data(),
                              &got);
      if (code == ERROR_MORE_DATA) continue;
      if (code != ERROR_SUCCESS) return Status(code);
      if (got > size) continue;  // never trust a size beyond the buffer
      data.resize(got);
      out.Type = static_cast<TRegValueType>(type);
      out.Data = std::move(data);
      return {};
    }
    return Status(ERROR_MORE_DATA);
  }

  TKeyStatus SetValue(std::string_view name, TRegValueType type, std::span<const std::uint8_t> data) override {
    if (!PassableName(name) || data.size() > 0x7FFFFFFFu) return KeyStatusFor(kKeyErrorInvalidParameter);
    return Status(RegSetValueExW(key_, Wide(name).c_str(), 0, static_cast<DWORD>(type),
                                 data.empty() ? nullptr : data.data(), static_cast<DWORD>(data.size())));
  }

  TKeyStatus DeleteValue(std::string_view name) override {
    if (!PassableName(name)) return KeyStatusFor(kKeyErrorInvalidParameter);
    return Status(RegDeleteValueW(key_, Wide(name).c_str()));
  }

  TKeyStatus ValueNames(std::vector<std::string>& out) override { return Enumerate(true, out); }
  TKeyStatus SubkeyNames(std::vector<std::string>& out) override { return Enumerate(false, out); }

 private:
  TKeyStatus Enumerate(bool values, std::vector<std::string>& out) {
    out.clear();
    DWORD max_subkey = 0;
    DWORD max_value = 0;
    LSTATUS code = RegQueryInfoKeyW(key_, nullptr, nullptr, nullptr, nullptr, &max_subkey, nullptr, nullptr,
                                    &max_value, nullptr, nullptr, nullptr);
    if (code != ERROR_SUCCESS) return Status(code);
    std::vector<wchar_t> name((values ? max_value : max_subkey) + 1);
    for (DWORD index = 0;; ++index) {
      DWORD length = static_cast<DWORD>(name.size());
      code = values ? RegEnumValueW(key_, index, name.data(), &length, nullptr, nullptr, nullptr, nullptr)
                    : RegEnumKeyExW(key_, index, name.data(), &length, nullptr, nullptr, nullptr, nullptr);
      if (code == ERROR_NO_MORE_ITEMS) return {};
      if (code == ERROR_MORE_DATA && name.size() < 32768) {
        // A longer name appeared since the size query: grow and retry it.
        name.resize(32768);
        --index;
        continue;
      }
      if (code != ERROR_SUCCESS) return Status(code);
      out.push_back(Narrow(name.data(), length < name.size() ? length : name.size()));
    }
  }

  HKEY key_;
  std::string path_;
};

}  // namespace

TKeyStatus TRegistryKeyStore::OpenKey(std::string_view path, TKeyAccess access, TKeyOpen open,
                                      std::unique_ptr<IRegistryKey>& out) {
  out.reset();
  std::vector<std::string> names;
  if (!SplitKeyPath(path, names)) return KeyStatusFor(kKeyErrorBadPathname);
  const REGSAM sam = access == kaFull ? KEY_ALL_ACCESS : KEY_READ;
  const std::wstring wide_path = Wide(path);
  HKEY key = nullptr;
  LSTATUS code;
  if (open == koCreate) {
    code = RegCreateKeyExW(HKEY_CURRENT_USER, wide_path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, sam,
                           nullptr, &key, nullptr);
  } else {
    code = RegOpenKeyExW(HKEY_CURRENT_USER, wide_path.c_str(), 0, sam, &key);
  }
  if (code != ERROR_SUCCESS) return Status(code);
  out = std::make_unique<TWin32RegistryKey>(key, std::string(path));
  return {};
}

TKeyStatus TRegistryKeyStore::DeleteKey(std::string_view path) {
  // Never the whole hive.
  std::vector<std::string> names;
  if (!SplitKeyPath(path, names)) return KeyStatusFor(kKeyErrorBadPathname);
  if (names.empty()) return KeyStatusFor(kKeyErrorInvalidParameter);
  return Status(RegDeleteTreeW(HKEY_CURRENT_USER, Wide(path).c_str()));
}

std::unique_ptr<IKeyStore> MakeUserKeyStore() { return std::make_unique<TRegistryKeyStore>(); }

}  // namespace vesk::platform
