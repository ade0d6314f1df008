// version_info.exe: prints the version resource of a Windows executable as
// the system reads it (GetFileVersionInfo and VerQueryValue), for the release
// checks run under Wine.
//
//   version_info FILE
//
// Output, one "name=value" a line: file_version=A.B.C.D and
// product_version=A.B.C.D from the fixed part, then every string of the
// first translation (CompanyName=..., FileDescription=..., ...) that is set.
// Exit codes: 0 ok, 1 usage, 2 the file has no version resource.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

std::wstring Widen(const char* text) {
  const int n = MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0);
  std::wstring wide(n > 0 ? n - 1 : 0, L'\0');
  if (n > 1) MultiByteToWideChar(CP_UTF8, 0, text, -1, wide.data(), n);
  return wide;
}

std::string Narrow(const wchar_t* text) {
  const int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  std::string narrow(n > 0 ? n - 1 : 0, '\0');
  if (n > 1) WideCharToMultiByte(CP_UTF8, 0, text, -1, narrow.data(), n, nullptr, nullptr);
  return narrow;
}

void PrintQuad(const char* name, DWORD high, DWORD low) {
  std::printf("%s=%u.%u.%u.%u\n", name, unsigned{HIWORD(high)}, unsigned{LOWORD(high)}, unsigned{HIWORD(low)},
              unsigned{LOWORD(low)});
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: version_info FILE\n");
    return 1;
  }
  const std::wstring file = Widen(argv[1]);
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(file.c_str(), &ignored);
  if (size == 0) return 2;
  std::vector<unsigned char> block(size);
  if (!GetFileVersionInfoW(file.c_str(), 0, size, block.data())) return 2;

  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  if (VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) && fixed != nullptr &&
      fixed->dwSignature == 0xFEEF04BD) {
    PrintQuad("file_version", fixed->dwFileVersionMS, fixed->dwFileVersionLS);
    PrintQuad("product_version", fixed->dwProductVersionMS, fixed->dwProductVersionLS);
  }

  struct Translation {
    WORD language;
    WORD code_page;
  };
  Translation* translations = nullptr;
  if (!VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translations),
                      &length) ||
      length < sizeof(Translation)) {
    return 0;
  }
  static const wchar_t* const kNames[] = {L"CompanyName",     L"FileDescription",  L"FileVersion",
                                          L"InternalName",    L"LegalCopyright",   L"OriginalFilename",
                                          L"ProductName",     L"ProductVersion"};
  for (const wchar_t* name : kNames) {
    wchar_t path[128];
    swprintf(path, 128, L"\\StringFileInfo\\%04x%04x\\%ls", translations[0].language, translations[0].code_page,
             name);
    wchar_t* value = nullptr;
    if (VerQueryValueW(block.data(), path, reinterpret_cast<void**>(&value), &length) && value != nullptr &&
        length > 0) {
      std::printf("%s=%s\n", Narrow(name).c_str(), Narrow(value).c_str());
    }
  }
  return 0;
}
