#pragma once
// UTF-8 <-> UTF-16 conversion for the strings that cross into the registry
// and into wide-character system calls. Malformed input never stops a
// conversion: each malformed sequence (an invalid UTF-8 byte sequence, an
// unpaired surrogate) becomes U+FFFD, and the strict checks tell whether any
// was met.
#include <string>
#include <string_view>

namespace vesk::platform {

inline constexpr char32_t kReplacementCharacter = 0xFFFD;

[[nodiscard]] std::u16string Utf8ToUtf16(std::string_view text);
[[nodiscard]] std::string Utf16ToUtf8(std::u16string_view text);

// True when the text is well-formed: no overlong forms, no surrogates encoded
// in UTF-8, nothing above U+10FFFF; for UTF-16, every surrogate paired.
[[nodiscard]] bool IsValidUtf8(std::string_view text) noexcept;
[[nodiscard]] bool IsValidUtf16(std::u16string_view text) noexcept;

}  // namespace vesk::platform
