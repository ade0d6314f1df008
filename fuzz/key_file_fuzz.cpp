// The settings file reader on arbitrary bytes: it must never crash, and what
// it reads must write back to a text that reads without a bad line into the
// same tree (compared through its written form).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/key_file_format.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace vesk::platform;
  const TKeyFileContents first = ParseKeyFile(std::string_view(reinterpret_cast<const char*>(data), size));
  const std::string written = FormatKeyFile(first.Root);
  const TKeyFileContents second = ParseKeyFile(written);
  if (second.BadLines != 0 || FormatKeyFile(second.Root) != written) std::abort();
  return 0;
}
