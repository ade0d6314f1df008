#pragma once
// A key store kept as a tree in memory: the common base of the in-memory
// store and the file-backed one. Subclasses hook in before every operation
// (to refuse it) and after every change (to persist it).
//
// Open keys hold their path, not a node: a key deleted while it is open
// answers kKeyErrorKeyDeleted. Open keys must not outlive their store.
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/key_store.h"

namespace vesk::platform {

enum class TKeyOperation : std::uint8_t {
  opOpenKey,     // OpenKey with koExisting
  opCreateKey,   // OpenKey with koCreate
  opDeleteKey,
  opQueryValue,
  opGetValue,
  opSetValue,
  opDeleteValue,
  opEnumerate,   // ValueNames and SubkeyNames
};
using enum TKeyOperation;

// Orders names without regard to ASCII letter case.
struct TKeyNameLess {
  using is_transparent = void;
  bool operator()(std::string_view a, std::string_view b) const noexcept;
};

[[nodiscard]] bool KeyNamesEqual(std::string_view a, std::string_view b) noexcept;

struct TKeyNode {
  std::vector<std::pair<std::string, TRawValue>> Values;  // in creation order
  std::map<std::string, TKeyNode, TKeyNameLess> Subkeys;  // by name, any case

  [[nodiscard]] TRawValue* FindValue(std::string_view name);
};

// Splits a key path at its backslashes. False for a path with an empty name
// in it (a leading, trailing or doubled backslash), a zero character, or a
// name longer than 255 bytes. The empty path gives no names: the root.
[[nodiscard]] bool SplitKeyPath(std::string_view path, std::vector<std::string>& names);

class TTreeKeyStore : public IKeyStore {
 public:
  TKeyStatus OpenKey(std::string_view path, TKeyAccess access, TKeyOpen open,
                     std::unique_ptr<IRegistryKey>& out) override;
  TKeyStatus DeleteKey(std::string_view path) override;

 protected:
  // Before each operation, with the key's path and, for value operations,
  // the value's name. A status other than Ok fails the operation with it.
  virtual TKeyStatus BeforeOperation(TKeyOperation op, std::string_view key_path,
                                     std::string_view value_name);
  // After each change of the tree. A failure becomes the operation's result.
  virtual TKeyStatus AfterChange();

  TKeyNode& Root() { return root_; }
  void ReplaceTree(TKeyNode root) { root_ = std::move(root); }

 private:
  friend class TTreeKey;
  TKeyNode* Find(const std::vector<std::string>& names);

  TKeyNode root_;
};

}  // namespace vesk::platform
