#include "platform/key_tree.h"

#include <algorithm>

namespace vesk::platform {
namespace {

constexpr std::size_t kMaxKeyNameBytes = 255;
constexpr std::size_t kMaxValueNameBytes = 16383;

char FoldCase(char c) noexcept { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool ValidValueName(std::string_view name) {
  return name.size() <= kMaxValueNameBytes && name.find('\0') == std::string_view::npos;
}

}  // namespace

bool TKeyNameLess::operator()(std::string_view a, std::string_view b) const noexcept {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return static_cast<unsigned char>(FoldCase(x)) < static_cast<unsigned char>(FoldCase(y));
  });
}

bool KeyNamesEqual(std::string_view a, std::string_view b) noexcept {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return FoldCase(x) == FoldCase(y); });
}

TRawValue* TKeyNode::FindValue(std::string_view name) {
  for (auto& [value_name, value] : Values) {
    if (KeyNamesEqual(value_name, name)) return &value;
  }
  return nullptr;
}

bool SplitKeyPath(std::string_view path, std::vector<std::string>& names) {
  names.clear();
  if (path.empty()) return true;
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = std::min(path.find('\\', start), path.size());
    const std::string_view name = path.substr(start, end - start);
    if (name.empty() || name.size() > kMaxKeyNameBytes || name.find('\0') != std::string_view::npos) {
      names.clear();
      return false;
    }
    names.emplace_back(name);
    if (end == path.size()) return true;
    start = end + 1;
  }
}

// An open key of a tree store.
class TTreeKey final : public IRegistryKey {
 public:
  TTreeKey(TTreeKeyStore& store, std::string path, std::vector<std::string> names, TKeyAccess access)
      : store_(store), path_(std::move(path)), names_(std::move(names)), access_(access) {}

  const std::string& Path() const override { return path_; }

  TKeyStatus QueryValue(std::string_view name, TRegValueType& type, std::uint64_t& size) override {
    TRawValue* value = nullptr;
    if (TKeyStatus status = Locate(opQueryValue, name, value); !status.Ok()) return status;
    type = value->Type;
    size = value->Data.size();
    return {};
  }

  TKeyStatus GetValue(std::string_view name, TRawValue& out, std::size_t max_bytes) override {
    out = TRawValue{};
    TRawValue* value = nullptr;
    if (TKeyStatus status = Locate(opGetValue, name, value); !status.Ok()) return status;
    out.Type = value->Type;
    if (value->Data.size() > max_bytes) return KeyStatusFor(kKeyErrorMoreData);
    out.Data = value->Data;
    return {};
  }

  TKeyStatus SetValue(std::string_view name, TRegValueType type, std::span<const std::uint8_t> data) override {
    TKeyNode* node = nullptr;
    if (TKeyStatus status = Begin(opSetValue, name, true, node); !status.Ok()) return status;
    if (TRawValue* value = node->FindValue(name)) {
      value->Type = type;
      value->Data.assign(data.begin(), data.end());
    } else {
      node->Values.emplace_back(std::string(name), TRawValue{type, {data.begin(), data.end()}});
    }
    return store_.AfterChange();
  }

  TKeyStatus DeleteValue(std::string_view name) override {
    TKeyNode* node = nullptr;
    if (TKeyStatus status = Begin(opDeleteValue, name, true, node); !status.Ok()) return status;
    auto& values = node->Values;
    const auto it = std::find_if(values.begin(), values.end(),
                                 [&](const auto& entry) { return KeyNamesEqual(entry.first, name); });
    if (it == values.end()) return KeyStatusFor(kKeyErrorNotFound);
    values.erase(it);
    return store_.AfterChange();
  }

  TKeyStatus ValueNames(std::vector<std::string>& out) override {
    out.clear();
    TKeyNode* node = nullptr;
    if (TKeyStatus status = Begin(opEnumerate, {}, false, node); !status.Ok()) return status;
    for (const auto& entry : node->Values) out.push_back(entry.first);
    return {};
  }

  TKeyStatus SubkeyNames(std::vector<std::string>& out) override {
    out.clear();
    TKeyNode* node = nullptr;
    if (TKeyStatus status = Begin(opEnumerate, {}, false, node); !status.Ok()) return status;
    for (const auto& entry : node->Subkeys) out.push_back(entry.first);
    return {};
  }

 private:
  // Runs the store's hook, checks the name and the access, finds the node.
  TKeyStatus Begin(TKeyOperation op, std::string_view name, bool writes, TKeyNode*& node) {
    if (TKeyStatus status = store_.BeforeOperation(op, path_, name); !status.Ok()) return status;
    if (!ValidValueName(name)) return KeyStatusFor(kKeyErrorInvalidParameter);
    if (writes && access_ != kaFull) return KeyStatusFor(kKeyErrorAccessDenied);
    node = store_.Find(names_);
    return node != nullptr ? TKeyStatus{} : KeyStatusFor(kKeyErrorKeyDeleted);
  }

  TKeyStatus Locate(TKeyOperation op, std::string_view name, TRawValue*& value) {
    TKeyNode* node = nullptr;
    if (TKeyStatus status = Begin(op, name, false, node); !status.Ok()) return status;
    value = node->FindValue(name);
    return value != nullptr ? TKeyStatus{} : KeyStatusFor(kKeyErrorNotFound);
  }

  TTreeKeyStore& store_;
  std::string path_;
  std::vector<std::string> names_;
  TKeyAccess access_;
};

TKeyStatus TTreeKeyStore::BeforeOperation(TKeyOperation, std::string_view, std::string_view) { return {}; }

TKeyStatus TTreeKeyStore::AfterChange() { return {}; }

TKeyNode* TTreeKeyStore::Find(const std::vector<std::string>& names) {
  TKeyNode* node = &root_;
  for (const std::string& name : names) {
    const auto it = node->Subkeys.find(name);
    if (it == node->Subkeys.end()) return nullptr;
    node = &it->second;
  }
  return node;
}

TKeyStatus TTreeKeyStore::OpenKey(std::string_view path, TKeyAccess access, TKeyOpen open,
                                  std::unique_ptr<IRegistryKey>& out) {
  out.reset();
  if (TKeyStatus status = BeforeOperation(open == koCreate ? opCreateKey : opOpenKey, path, {});
      !status.Ok()) {
    return status;
  }
  std::vector<std::string> names;
  if (!SplitKeyPath(path, names)) return KeyStatusFor(kKeyErrorBadPathname);
  TKeyNode* node = &root_;
  bool created = false;
  for (const std::string& name : names) {
    auto it = node->Subkeys.find(name);
    if (it == node->Subkeys.end()) {
      if (open != koCreate) return KeyStatusFor(kKeyErrorNotFound);
      it = node->Subkeys.emplace(name, TKeyNode{}).first;
      created = true;
    }
    node = &it->second;
  }
  if (created) {
    if (TKeyStatus status = AfterChange(); !status.Ok()) return status;
  }
  out = std::make_unique<TTreeKey>(*this, std::string(path), std::move(names), access);
  return {};
}

TKeyStatus TTreeKeyStore::DeleteKey(std::string_view path) {
  if (TKeyStatus status = BeforeOperation(opDeleteKey, path, {}); !status.Ok()) return status;
  std::vector<std::string> names;
  if (!SplitKeyPath(path, names)) return KeyStatusFor(kKeyErrorBadPathname);
  if (names.empty()) return KeyStatusFor(kKeyErrorInvalidParameter);
  const std::string leaf = names.back();
  names.pop_back();
  TKeyNode* parent = Find(names);
  if (parent == nullptr || parent->Subkeys.erase(leaf) == 0) return KeyStatusFor(kKeyErrorNotFound);
  return AfterChange();
}

}  // namespace vesk::platform
