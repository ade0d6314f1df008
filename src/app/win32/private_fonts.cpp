#include "app/win32/private_fonts.h"

#include <windows.h>

#include <cstdint>
#include <exception>
#include <string>
#include <vector>

#include "app/private_font_files.h"
#include "platform/process.h"
#include "platform/win32/wide_text.h"

namespace vesk::app::win32 {
namespace {

// No font the program brings is near this size; a larger file is not one
// of them.
constexpr std::size_t kMaxFontFileBytes = std::size_t{32} << 20;

// One font file: registered from its place where the path is short enough
// for the font functions, else (or when that fails) read through the file
// functions, which take any length, and registered from memory. Both are
// private to the process. A file the system cannot read as a font (empty,
// damaged) is passed over.
bool RegisterFontFile(const std::string& path) {
  if (path.size() < MAX_PATH && AddFontResourceExW(platform::win32::Widen(path).c_str(), FR_PRIVATE, nullptr) > 0) {
    return true;
  }
  std::vector<std::uint8_t> bytes;
  if (platform::ReadWholeFile(path, kMaxFontFileBytes, bytes) != 0 || bytes.empty()) return false;
  DWORD fonts = 0;
  return AddFontMemResourceEx(bytes.data(), static_cast<DWORD>(bytes.size()), nullptr, &fonts) != nullptr &&
         fonts > 0;
}

}  // namespace

int RegisterPrivateFonts() {
  std::string folder;
  try {
    folder = platform::ExecutableFolder() + "fonts";
  } catch (const std::exception&) {
    return 0;
  }
  int added = 0;
  for (const std::string& file : PrivateFontFiles(folder)) added += RegisterFontFile(file) ? 1 : 0;
  return added;
}

}  // namespace vesk::app::win32
