#pragma once
// What the running process knows about its own place in the file system and
// its operating system: the executable's folder, absolute paths, the system's
// text for an error code, and files opened for reading while other readers
// (but no writers) may share them. Strings are UTF-8 on every platform.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vesk::platform {

// An operating-system error code: errno values on POSIX, GetLastError values
// on Windows. 0 means success.
using OsErrorCode = std::uint32_t;

#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
inline constexpr OsErrorCode kFileTooLarge = 223;  // ERROR_FILE_TOO_LARGE
#else
inline constexpr char kPathSeparator = '/';
inline constexpr OsErrorCode kFileTooLarge = 27;  // EFBIG
#endif

// The running executable's full path, as the process reports it. Raises
// std::runtime_error when the system cannot tell.
[[nodiscard]] std::string ExecutablePath();

// The folder that holds the running executable, always ending in
// kPathSeparator. Raises std::runtime_error when the system cannot tell.
[[nodiscard]] std::string ExecutableFolder();

// `folder` (ending with a separator) followed by a path relative to it,
// written with backslashes (as the program names its files), each turned
// into the platform's separator.
[[nodiscard]] inline std::string JoinAppPath(std::string_view folder, std::string_view relative) {
  std::string path(folder);
  for (const char c : relative) path += (c == '\\') ? kPathSeparator : c;
  return path;
}

// The path made absolute against the current directory, with "." and ".."
// segments resolved textually (links are not followed). An empty path gives
// the current directory.
[[nodiscard]] std::string AbsolutePath(std::string_view path);

// The operating system's message for an error code, as the system words it
// (it may end in a full stop or a line break). Never empty: an unknown code
// gives a generic "error N" text.
[[nodiscard]] std::string SystemErrorText(OsErrorCode code);

// Whether a regular file is at the path (UTF-8; a folder is not a file).
[[nodiscard]] bool FileExists(std::string_view path);

// The names of the regular files in a folder (UTF-8, in no particular
// order); empty when the folder cannot be read.
[[nodiscard]] std::vector<std::string> FilesInFolder(std::string_view folder);

// The whole file at the path, when it holds at most `max_bytes`; returns 0
// on success, else the system's error code (kFileTooLarge for a larger
// file).
[[nodiscard]] OsErrorCode ReadWholeFile(std::string_view path, std::size_t max_bytes, std::vector<std::uint8_t>& bytes);

// A file opened for reading. Other processes may read it at the same time but
// not write to it (on POSIX, where opening never locks, this is advisory:
// the file is opened plainly).
class SharedReadFile {
 public:
  SharedReadFile() = default;
  SharedReadFile(const SharedReadFile&) = delete;
  SharedReadFile& operator=(const SharedReadFile&) = delete;
  SharedReadFile(SharedReadFile&& other) noexcept;
  SharedReadFile& operator=(SharedReadFile&& other) noexcept;
  ~SharedReadFile();

  // Opens the file at the UTF-8 path (of any length: on Windows a long path
  // is passed in the system's long-path form); returns 0 on success, else
  // the system's error code (the object then stays closed). A folder cannot
  // be opened.
  [[nodiscard]] OsErrorCode Open(std::string_view path);

  // Reads up to `size` bytes into `buffer`. Returns the number of bytes read,
  // fewer than `size` only at the end of the file. On a failure returns 0 and
  // stores the system's error code in `error` (0 otherwise).
  std::size_t Read(void* buffer, std::size_t size, OsErrorCode& error) noexcept;

  [[nodiscard]] bool IsOpen() const noexcept { return handle_ != kClosed; }
  void Close() noexcept;

 private:
  // A POSIX descriptor or a Windows HANDLE; -1 is "closed" for both.
  static constexpr std::intptr_t kClosed = -1;
  std::intptr_t handle_ = kClosed;
};

}  // namespace vesk::platform
