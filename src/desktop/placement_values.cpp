#include "desktop/placement_values.h"

#include <limits>

namespace vesk::desktop {

std::optional<std::int32_t> ParseDecimal(std::string_view text) noexcept {
  bool negative = false;
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  if (text.empty()) return std::nullopt;
  // Digits only, accumulated in 64 bits so that the 32-bit range check is
  // exact (-2147483648 converts, 2147483648 does not).
  std::int64_t magnitude = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    magnitude = magnitude * 10 + (c - '0');
    if (magnitude > std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1) return std::nullopt;
  }
  const std::int64_t value = negative ? -magnitude : magnitude;
  if (value > std::numeric_limits<std::int32_t>::max()) return std::nullopt;
  return static_cast<std::int32_t>(value);
}

std::int32_t StrToIntDef(std::string_view text, std::int32_t default_value) noexcept {
  return ParseDecimal(text).value_or(default_value);
}

std::vector<std::string_view> SplitPositionWords(std::string_view text) {
  std::vector<std::string_view> words;
  std::size_t k = 0;
  while (k < text.size()) {
    while (k < text.size() && (text[k] == ' ' || text[k] == ',')) ++k;
    const std::size_t start = k;
    while (k < text.size() && text[k] != ' ' && text[k] != ',') ++k;
    if (k > start) words.push_back(text.substr(start, k - start));
  }
  return words;
}

std::int32_t PositionWord(const std::vector<std::string_view>& words, std::size_t index,
                          std::int32_t default_value) noexcept {
  return index < words.size() ? StrToIntDef(words[index], default_value) : default_value;
}

std::string FormatPosition(std::int32_t a, std::int32_t b, std::int32_t c, std::int32_t d) {
  return std::to_string(a) + "," + std::to_string(b) + "," + std::to_string(c) + "," + std::to_string(d);
}

std::string ScreenSizeName(std::string_view name, std::int32_t width, std::int32_t height) {
  return std::string(name) + "(" + std::to_string(width) + "x" + std::to_string(height) + ")";
}

std::string_view TrimControls(std::string_view text) noexcept {
  auto is_blank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
  while (!text.empty() && is_blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && is_blank(text.back())) text.remove_suffix(1);
  return text;
}

bool SameText(std::string_view a, std::string_view b) noexcept {
  if (a.size() != b.size()) return false;
  for (std::size_t k = 0; k < a.size(); ++k) {
    auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
    if (lower(a[k]) != lower(b[k])) return false;
  }
  return true;
}

}  // namespace vesk::desktop
