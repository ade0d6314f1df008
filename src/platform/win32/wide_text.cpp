#include "platform/win32/wide_text.h"

#include <windows.h>

#include "platform/utf16.h"

namespace vesk::platform::win32 {

std::wstring Widen(std::string_view text) {
  const std::u16string units = Utf8ToUtf16(text);
  return std::wstring(units.begin(), units.end());
}

std::string Narrow(std::wstring_view text) { return Utf16ToUtf8(std::u16string(text.begin(), text.end())); }

std::wstring SystemPath(std::string_view path) {
  std::wstring wide = Widen(path);
  if (wide.size() < MAX_PATH || wide.rfind(L"\\\\?\\", 0) == 0) return wide;
  // The prefix turns off the system's own tidying of the path, so the path
  // is made absolute and tidied first.
  const DWORD n = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
  if (n == 0) return wide;
  std::wstring full(n, L'\0');
  const DWORD m = GetFullPathNameW(wide.c_str(), n, full.data(), nullptr);
  if (m == 0 || m >= n) return wide;
  full.resize(m);
  if (full.rfind(L"\\\\", 0) == 0) return L"\\\\?\\UNC\\" + full.substr(2);
  return L"\\\\?\\" + full;
}

}  // namespace vesk::platform::win32
