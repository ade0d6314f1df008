// UTF-8 decoding follows the well-formed byte sequences of Unicode (table
// 3-7): a lead byte fixes the length and the range of the second byte, and
// a sequence cut short by a bad byte yields one U+FFFD, after which decoding
// resumes at that bad byte.
#include "platform/utf16.h"

#include <cstdint>

namespace vesk::platform {
namespace {

// Decodes one code point at text[i], advancing i. Returns
// kReplacementCharacter for a malformed sequence and sets `bad`.
char32_t DecodeUtf8(std::string_view text, std::size_t& i, bool& bad) noexcept {
  const auto byte = [&](std::size_t k) { return static_cast<std::uint8_t>(text[k]); };
  const std::uint8_t lead = byte(i++);
  if (lead < 0x80) return lead;
  int more = 0;
  char32_t cp = 0;
  std::uint8_t lo = 0x80, hi = 0xBF;  // allowed range of the second byte
  if (lead >= 0xC2 && lead <= 0xDF) {
    more = 1;
    cp = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    more = 2;
    cp = lead & 0x0F;
    if (lead == 0xE0) lo = 0xA0;  // no overlong forms
    if (lead == 0xED) hi = 0x9F;  // no surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    more = 3;
    cp = lead & 0x07;
    if (lead == 0xF0) lo = 0x90;  // no overlong forms
    if (lead == 0xF4) hi = 0x8F;  // nothing above U+10FFFF
  } else {
    bad = true;
    return kReplacementCharacter;
  }
  for (int k = 0; k < more; ++k) {
    if (i >= text.size()) {
      bad = true;
      return kReplacementCharacter;
    }
    const std::uint8_t b = byte(i);
    const std::uint8_t min = k == 0 ? lo : 0x80;
    const std::uint8_t max = k == 0 ? hi : 0xBF;
    if (b < min || b > max) {
      bad = true;
      return kReplacementCharacter;  // the bad byte starts the next sequence
    }
    cp = (cp << 6) | (b & 0x3F);
    ++i;
  }
  return cp;
}

char32_t DecodeUtf16(std::u16string_view text, std::size_t& i, bool& bad) noexcept {
  const char16_t unit = text[i++];
  if (unit < 0xD800 || unit > 0xDFFF) return unit;
  if (unit <= 0xDBFF && i < text.size() && text[i] >= 0xDC00 && text[i] <= 0xDFFF) {
    const char16_t low = text[i++];
    return 0x10000 + ((static_cast<char32_t>(unit) - 0xD800) << 10) + (low - 0xDC00);
  }
  bad = true;
  return kReplacementCharacter;
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

}  // namespace

std::u16string Utf8ToUtf16(std::string_view text) {
  std::u16string out;
  out.reserve(text.size());
  bool bad = false;
  for (std::size_t i = 0; i < text.size();) {
    const char32_t cp = DecodeUtf8(text, i, bad);
    if (cp < 0x10000) {
      out.push_back(static_cast<char16_t>(cp));
    } else {
      out.push_back(static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF)));
    }
  }
  return out;
}

std::string Utf16ToUtf8(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  bool bad = false;
  for (std::size_t i = 0; i < text.size();) AppendUtf8(out, DecodeUtf16(text, i, bad));
  return out;
}

bool IsValidUtf8(std::string_view text) noexcept {
  bool bad = false;
  for (std::size_t i = 0; i < text.size() && !bad;) DecodeUtf8(text, i, bad);
  return !bad;
}

bool IsValidUtf16(std::u16string_view text) noexcept {
  bool bad = false;
  for (std::size_t i = 0; i < text.size() && !bad;) DecodeUtf16(text, i, bad);
  return !bad;
}

}  // namespace vesk::platform
