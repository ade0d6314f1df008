#include "app/win32/private_fonts.h"

#include <windows.h>

#include <exception>
#include <filesystem>

#include "app/private_font_files.h"
#include "app/win32/wide_text.h"
#include "platform/process.h"

namespace vesk::app::win32 {

int RegisterPrivateFonts() {
  std::filesystem::path folder;
  try {
    folder = std::filesystem::path(Widen(platform::ExecutableFolder())) / L"fonts";
  } catch (const std::exception&) {
    return 0;
  }
  int added = 0;
  for (const std::filesystem::path& file : PrivateFontFiles(folder)) {
    if (AddFontResourceExW(file.c_str(), FR_PRIVATE, nullptr) > 0) ++added;
  }
  return added;
}

}  // namespace vesk::app::win32
