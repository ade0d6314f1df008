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

TKeyStatus TMemoryKeyStore::BeforeOperation(TKeyOperation op, std::string_view key_path,
                                            std::string_view value_name) {
  ++counts_[static_cast<std::size_t>(op)];
  const std::string_view subject = IsKeyOperation(op) ? key_path : value_name;
  for (const TFailure& failure : failures_) {
    if (failure.Op == op && (failure.Name.empty() || KeyNamesEqual(failure.Name, subject))) {
      return KeyStatusFor(failure.Code);
    }
  }
  return {};
}

}  // namespace vesk::platform
