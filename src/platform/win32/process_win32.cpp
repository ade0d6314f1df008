// Windows implementation of the process helpers: GetModuleFileNameW for the
// executable, GetFullPathNameW for absolute paths, FormatMessageW for error
// texts, CreateFileW (read access, shared with readers only) for files. Paths
// and texts cross this boundary as UTF-8.
#include <windows.h>

#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "platform/process.h"
#include "platform/win32/wide_text.h"

namespace vesk::platform {
using win32::Narrow;
using win32::SystemPath;
using win32::Widen;

std::string ExecutablePath() {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0) {
      throw std::runtime_error("Cannot find the program's folder. " + SystemErrorText(GetLastError()));
    }
    if (n < buffer.size()) return Narrow(std::wstring_view(buffer.data(), n));
    // The name was cut short; no path is longer than 32767 characters.
    if (buffer.size() >= 32768) throw std::runtime_error("Cannot find the program's folder.");
    buffer.resize(buffer.size() * 2);
  }
}

std::string ExecutableFolder() {
  const std::string path = ExecutablePath();
  const std::size_t slash = path.find_last_of("\\/");
  return path.substr(0, slash == std::string::npos ? 0 : slash + 1);
}

std::string AbsolutePath(std::string_view path) {
  const std::wstring wide = Widen(path.empty() ? std::string_view(".") : path);
  DWORD n = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
  if (n == 0) return std::string(path);
  std::wstring out(n, L'\0');
  n = GetFullPathNameW(wide.c_str(), n, out.data(), nullptr);
  if (n == 0 || n >= out.size()) return std::string(path);
  out.resize(n);
  return Narrow(out);
}

std::string SystemErrorText(OsErrorCode code) {
  wchar_t* text = nullptr;
  const DWORD n = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::string result;
  if (n != 0 && text != nullptr) result = Narrow(std::wstring_view(text, n));
  if (text != nullptr) LocalFree(text);
  if (result.empty()) result = "error " + std::to_string(code);
  return result;
}

bool FileExists(std::string_view path) {
  const DWORD attributes = GetFileAttributesW(SystemPath(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

std::vector<std::string> FilesInFolder(std::string_view folder) {
  std::vector<std::string> names;
  std::string pattern(folder);
  if (!pattern.empty() && pattern.back() != '\\' && pattern.back() != '/') pattern += '\\';
  pattern += '*';
  WIN32_FIND_DATAW found{};
  const HANDLE search = FindFirstFileW(SystemPath(pattern).c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) names.push_back(Narrow(found.cFileName));
  } while (FindNextFileW(search, &found));
  FindClose(search);
  return names;
}

SharedReadFile::SharedReadFile(SharedReadFile&& other) noexcept
    : handle_(std::exchange(other.handle_, kClosed)) {}

SharedReadFile& SharedReadFile::operator=(SharedReadFile&& other) noexcept {
  if (this != &other) {
    Close();
    handle_ = std::exchange(other.handle_, kClosed);
  }
  return *this;
}

SharedReadFile::~SharedReadFile() { Close(); }

OsErrorCode SharedReadFile::Open(std::string_view path) {
  Close();
  const std::wstring wide = SystemPath(path);
  HANDLE h = CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    return error != 0 ? error : ERROR_OPEN_FAILED;
  }
  handle_ = reinterpret_cast<std::intptr_t>(h);
  return 0;
}

std::size_t SharedReadFile::Read(void* buffer, std::size_t size, OsErrorCode& error) noexcept {
  error = 0;
  if (!IsOpen()) {
    error = ERROR_INVALID_HANDLE;
    return 0;
  }
  auto* out = static_cast<char*>(buffer);
  std::size_t done = 0;
  while (done < size) {
    const std::size_t left = size - done;
    const DWORD chunk = left > 0x40000000u ? 0x40000000u : static_cast<DWORD>(left);
    DWORD got = 0;
    if (!ReadFile(reinterpret_cast<HANDLE>(handle_), out + done, chunk, &got, nullptr)) {
      error = GetLastError();
      return 0;
    }
    if (got == 0) break;  // end of file
    done += got;
  }
  return done;
}

void SharedReadFile::Close() noexcept {
  if (IsOpen()) {
    CloseHandle(reinterpret_cast<HANDLE>(handle_));
    handle_ = kClosed;
  }
}

}  // namespace vesk::platform
