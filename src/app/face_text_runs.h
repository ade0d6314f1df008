#pragma once
// A text of the face cut into runs that are drawn one after the other in
// their own fonts: the letters in the letter font, everything else in the
// text's font. Each run starts where the one before it ends (its measured
// width), so the digits lie exactly where the whole text would put them.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/font.h"

namespace vesk::app {

struct TTextRun {
  std::string Text;
  platform::FontDesc Font;
  std::int32_t X;  // left edge, relative to the text's own
};

// Runs of `text`: letters (A-Z, a-z) in `letters`, the rest in `font`; one
// run of the whole text when both fonts are the same. `width` measures a
// text in a font.
[[nodiscard]] std::vector<TTextRun> TextRuns(
    std::string_view text, const platform::FontDesc& font, const platform::FontDesc& letters,
    const std::function<std::int32_t(const platform::FontDesc&, std::string_view)>& width);

}  // namespace vesk::app
