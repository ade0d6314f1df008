#pragma once
// The text of an error message box.
#include <string>
#include <string_view>

namespace vesk::app {

// The message with a full stop appended when its last character has a higher
// character code than '.': after a letter or a digit, but not after '.', '!'
// or ')'. An empty message stays empty. Any byte of a UTF-8 sequence sorts
// after '.', so a message ending in a non-ASCII character gets its full stop.
[[nodiscard]] std::string ErrorMessageText(std::string_view message);

}  // namespace vesk::app
