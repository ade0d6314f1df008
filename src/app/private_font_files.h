#pragma once
// The font files the program registers for itself at start-up, before any
// font is created: every TrueType file in the `fonts` folder beside the
// executable.
#include <filesystem>
#include <vector>

namespace vesk::app {

// The regular files in `folder` whose extension is ".ttf" in any letter case,
// sorted by file name. A missing or unreadable folder gives an empty list:
// the fonts are optional, the system's font matching then stands in.
[[nodiscard]] std::vector<std::filesystem::path> PrivateFontFiles(const std::filesystem::path& folder);

}  // namespace vesk::app
