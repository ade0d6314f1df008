#pragma once
// The text forms of the stored placement: decimal numbers, the four-number
// position strings, the screen-size suffix of their value names, and the
// trimming and case rules of stored property values.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vesk::desktop {

// A decimal integer: an optional "-" or "+" and at least one digit, nothing
// else, within 32 bits; nothing for any other text (so "", " 5", "5 ", "0x10"
// and "2147483648" do not convert).
[[nodiscard]] std::optional<std::int32_t> ParseDecimal(std::string_view text) noexcept;
[[nodiscard]] std::int32_t StrToIntDef(std::string_view text, std::int32_t default_value) noexcept;

// The words of a text separated by any run of spaces and commas.
[[nodiscard]] std::vector<std::string_view> SplitPositionWords(std::string_view text);

// Word `index` (from 0) of the words as a decimal integer; the default when
// there is no such word or it does not convert.
[[nodiscard]] std::int32_t PositionWord(const std::vector<std::string_view>& words, std::size_t index,
                                        std::int32_t default_value) noexcept;

// "a,b,c,d" in decimal, "-" for negative numbers.
[[nodiscard]] std::string FormatPosition(std::int32_t a, std::int32_t b, std::int32_t c, std::int32_t d);

// The value name with the screen-size suffix: "NormPos" on a 1920 x 1080
// screen gives "NormPos(1920x1080)".
[[nodiscard]] std::string ScreenSizeName(std::string_view name, std::int32_t width, std::int32_t height);

// The text without spaces and control characters (codes up to 32) at both
// ends.
[[nodiscard]] std::string_view TrimControls(std::string_view text) noexcept;

// Equal without regard to ASCII letter case.
[[nodiscard]] bool SameText(std::string_view a, std::string_view b) noexcept;

}  // namespace vesk::desktop
