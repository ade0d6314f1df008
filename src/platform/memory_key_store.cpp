#include "platform/memory_key_store.h"

#include <utility>

namespace vesk::platform {
namespace {

bool IsKeyOperation(TKeyOperation op) {
  return op == opOpenKey || op == opCreateKey || op == opDeleteKey || op == opEnumerate;
}

}  // namespace

void TMemoryKeyStore::InjectFailure(TKeyOperation op, std::int32_t code, std::string name) {
  failures_.push_back(TFailure{op, code, std::move(name)});
}

void TMemoryKeyStore::InjectFailureOnce(TKeyOperation op, std::int32_t code, int occurrence) {
  failures_.push_back(TFailure{op, code, {}, occurrence > 0 ? occurrence - 1 : 0, 1});
}

TKeyStatus TMemoryKeyStore::BeforeOperation(TKeyOperation op, std::string_view key_path,
                                            std::string_view value_name) {
  ++counts_[static_cast<std::size_t>(op)];
  const std::string_view subject = IsKeyOperation(op) ? key_path : value_name;
  for (TFailure& failure : failures_) {
    if (failure.Op != op || failure.Left == 0 || !(failure.Name.empty() || KeyNamesEqual(failure.Name, subject))) {
      continue;
    }
    if (failure.Skip > 0) {
      --failure.Skip;
      continue;
    }
    if (failure.Left > 0) --failure.Left;
    return KeyStatusFor(failure.Code);
  }
  return {};
}

}  // namespace vesk::platform
