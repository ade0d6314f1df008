#pragma once
// A key store that lives only in memory, for tests and for runs that must
// not touch the user's settings. Tests can make chosen operations fail with
// a chosen error code, and count the operations made.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/key_tree.h"

namespace vesk::platform {

class TMemoryKeyStore final : public TTreeKeyStore {
 public:
  // From now on, every operation of kind `op` fails with `code` (and the
  // system's text for it). With a name given, only the operations on that
  // value (value operations) or on that key path (key operations) fail;
  // names compare without regard to letter case.
  void InjectFailure(TKeyOperation op, std::int32_t code, std::string name = {});
  // Only the `occurrence`-th operation of kind `op` from now on (counting
  // from 1) fails with `code`; the ones before and after it work.
  void InjectFailureOnce(TKeyOperation op, std::int32_t code, int occurrence);
  void ClearFailures() { failures_.clear(); }

  // Operations of kind `op` attempted so far, failed ones included.
  [[nodiscard]] int Count(TKeyOperation op) const { return counts_[static_cast<std::size_t>(op)]; }

 protected:
  TKeyStatus BeforeOperation(TKeyOperation op, std::string_view key_path, std::string_view value_name) override;

 private:
  struct TFailure {
    TKeyOperation Op;
    std::int32_t Code;
    std::string Name;
    int Skip = 0;   // matching operations still to let through
    int Left = -1;  // failures still to give; -1: lasting
  };
  std::vector<TFailure> failures_;
  std::array<int, static_cast<std::size_t>(opEnumerate) + 1> counts_{};
};

}  // namespace vesk::platform
