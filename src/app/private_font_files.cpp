#include "app/private_font_files.h"

#include <algorithm>

#include "platform/process.h"

namespace vesk::app {

namespace {

bool IsTrueTypeName(const std::string& name) {
  if (name.size() < 5 || name[name.size() - 4] != '.') return false;
  auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
  return lower(name[name.size() - 3]) == 't' && lower(name[name.size() - 2]) == 't' &&
         lower(name[name.size() - 1]) == 'f';
}

}  // namespace

std::vector<std::string> PrivateFontFiles(const std::string& folder) {
  std::vector<std::string> names = platform::FilesInFolder(folder);
  std::erase_if(names, [](const std::string& name) { return !IsTrueTypeName(name); });
  std::sort(names.begin(), names.end());
  std::string prefix = folder;
  if (!prefix.empty() && prefix.back() != '/' && prefix.back() != '\\') prefix += platform::kPathSeparator;
  for (std::string& name : names) name = prefix + name;
  return names;
}

}  // namespace vesk::app
