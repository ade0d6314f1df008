#include <cstdint>
#include <vector>

#include "platform/process.h"

namespace vesk::platform {

OsErrorCode ReadWholeFile(std::string_view path, std::size_t max_bytes, std::vector<std::uint8_t>& bytes) {
  bytes.clear();
  SharedReadFile file;
  if (const OsErrorCode error = file.Open(path); error != 0) return error;
  std::vector<std::uint8_t> chunk(65536);
  for (;;) {
    OsErrorCode error = 0;
    const std::size_t got = file.Read(chunk.data(), chunk.size(), error);
    if (error != 0) return error;
    if (bytes.size() + got > max_bytes) {
      bytes.clear();
      return kFileTooLarge;
    }
    bytes.insert(bytes.end(), chunk.begin(), chunk.begin() + static_cast<std::ptrdiff_t>(got));
    if (got < chunk.size()) return 0;
  }
}

}  // namespace vesk::platform
