#include "app/private_font_files.h"

#include <algorithm>
#include <system_error>

namespace vesk::app {

namespace {

bool IsTrueTypeExtension(const std::filesystem::path& file) {
  const std::string ext = file.extension().string();
  if (ext.size() != 4 || ext[0] != '.') return false;
  auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
  return lower(ext[1]) == 't' && lower(ext[2]) == 't' && lower(ext[3]) == 'f';
}

}  // namespace

std::vector<std::filesystem::path> PrivateFontFiles(const std::filesystem::path& folder) {
  std::vector<std::filesystem::path> files;
  std::error_code ec;
  std::filesystem::directory_iterator it(folder, ec);
  if (ec) return files;
  for (const std::filesystem::directory_iterator end; it != end; it.increment(ec)) {
    if (ec) break;
    std::error_code type_ec;
    if (it->is_regular_file(type_ec) && IsTrueTypeExtension(it->path())) files.push_back(it->path());
  }
  std::sort(files.begin(), files.end(),
            [](const auto& a, const auto& b) { return a.filename() < b.filename(); });
  return files;
}

}  // namespace vesk::app
