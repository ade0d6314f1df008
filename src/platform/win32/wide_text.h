#pragma once
// The program's UTF-8 strings as the wide strings of the system's calls,
// and back; and a path in the form the file functions take at any length.
#include <string>
#include <string_view>

namespace vesk::platform::win32 {

// UTF-8 to UTF-16 and back; malformed input becomes U+FFFD.
[[nodiscard]] std::wstring Widen(std::string_view text);
[[nodiscard]] std::string Narrow(std::wstring_view text);

// The wide form of a path for the file functions: a path of MAX_PATH
// characters or more made absolute and given the long-path prefix
// ("\\?\C:\..." or "\\?\UNC\server\share\..."), which they take up to
// 32,767 characters; a shorter one as it is.
[[nodiscard]] std::wstring SystemPath(std::string_view path);

}  // namespace vesk::platform::win32
