#include "app/face_text_runs.h"

namespace vesk::app {

namespace {
bool IsLetter(char c) noexcept { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
}  // namespace

std::vector<TTextRun> TextRuns(std::string_view text, const platform::FontDesc& font,
                               const platform::FontDesc& letters,
                               const std::function<std::int32_t(const platform::FontDesc&, std::string_view)>& width) {
  if (font == letters || text.empty()) return {TTextRun{std::string(text), font, 0}};
  std::vector<TTextRun> runs;
  std::int32_t x = 0;
  std::size_t start = 0;
  while (start < text.size()) {
    const bool letter = IsLetter(text[start]);
    std::size_t end = start;
    while (end < text.size() && IsLetter(text[end]) == letter) ++end;
    const std::string_view piece = text.substr(start, end - start);
    const platform::FontDesc& run_font = letter ? letters : font;
    runs.push_back(TTextRun{std::string(piece), run_font, x});
    // Only a run that another follows is measured: the last one's width
    // places nothing (this runs for every face drawn).
    if (end < text.size()) x += width(run_font, piece);
    start = end;
  }
  return runs;
}

}  // namespace vesk::app
