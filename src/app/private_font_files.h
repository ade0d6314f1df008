#pragma once
// The font files the program registers for itself at start-up, before any
// font is created: every TrueType file in the `fonts` folder beside the
// executable.
#include <string>
#include <vector>

namespace vesk::app {

// The paths (UTF-8) of the regular files in `folder` whose extension is
// ".ttf" in any letter case, sorted by file name. A missing or unreadable
// folder gives an empty list: the fonts are optional, the fallback of the
// font substitution then stands in.
[[nodiscard]] std::vector<std::string> PrivateFontFiles(const std::string& folder);

}  // namespace vesk::app
