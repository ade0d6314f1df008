#pragma once
// UTF-8 <-> UTF-16 for the wide-character system calls.
#include <string>
#include <string_view>

namespace vesk::app::win32 {

[[nodiscard]] std::wstring Widen(std::string_view text);
[[nodiscard]] std::string Narrow(std::wstring_view text);

}  // namespace vesk::app::win32
