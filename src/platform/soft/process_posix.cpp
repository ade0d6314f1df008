// POSIX implementation of the process helpers: /proc/self/exe for the
// executable, strerror for error texts, open(2) for files.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "platform/process.h"

namespace vesk::platform {

std::string ExecutablePath() {
  std::vector<char> buffer(4096);
  for (;;) {
    const ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (n < 0) {
      throw std::runtime_error("Cannot find the program's folder. " + SystemErrorText(errno));
    }
    if (static_cast<std::size_t>(n) < buffer.size()) return std::string(buffer.data(), static_cast<std::size_t>(n));
    buffer.resize(buffer.size() * 2);  // the link may have been cut short
  }
}

std::string ExecutableFolder() {
  const std::string path = ExecutablePath();
  return path.substr(0, path.rfind('/') + 1);
}

std::string AbsolutePath(std::string_view path) {
  std::error_code ec;
  std::filesystem::path p(path.empty() ? std::string_view(".") : path);
  std::filesystem::path absolute = std::filesystem::absolute(p, ec);
  if (ec) absolute = p;
  return absolute.lexically_normal().string();
}

std::string SystemErrorText(OsErrorCode code) {
  char buffer[256] = {};
  // The GNU strerror_r returns its text (possibly a static string); the POSIX
  // one fills the buffer. Both are handled by looking at what came back.
  auto result = ::strerror_r(static_cast<int>(code), buffer, sizeof buffer);
  const char* text = nullptr;
  if constexpr (std::is_same_v<decltype(result), char*>) {
    text = result;
  } else {
    text = result == 0 ? buffer : nullptr;
  }
  if (text == nullptr || *text == '\0') return "error " + std::to_string(code);
  return text;
}

bool FileExists(std::string_view path) {
  struct stat st {};
  return ::stat(std::string(path).c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::vector<std::string> FilesInFolder(std::string_view folder) {
  std::vector<std::string> names;
  std::error_code ec;
  std::filesystem::directory_iterator it(std::filesystem::path(std::string(folder)), ec);
  if (ec) return names;
  for (const std::filesystem::directory_iterator end; it != end; it.increment(ec)) {
    if (ec) break;
    std::error_code type_ec;
    if (it->is_regular_file(type_ec)) names.push_back(it->path().filename().string());
  }
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
  const std::string name(path);
  int fd;
  do {
    fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) return static_cast<OsErrorCode>(errno);
  struct stat st {};
  if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
    const int error = S_ISDIR(st.st_mode) ? EISDIR : errno;
    ::close(fd);
    return static_cast<OsErrorCode>(error);
  }
  handle_ = fd;
  return 0;
}

std::size_t SharedReadFile::Read(void* buffer, std::size_t size, OsErrorCode& error) noexcept {
  error = 0;
  if (!IsOpen()) {
    error = EBADF;
    return 0;
  }
  auto* out = static_cast<char*>(buffer);
  std::size_t done = 0;
  while (done < size) {
    const ssize_t n = ::read(static_cast<int>(handle_), out + done, size - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      error = static_cast<OsErrorCode>(errno);
      return 0;
    }
    if (n == 0) break;  // end of file
    done += static_cast<std::size_t>(n);
  }
  return done;
}

void SharedReadFile::Close() noexcept {
  if (IsOpen()) {
    ::close(static_cast<int>(handle_));
    handle_ = kClosed;
  }
}

}  // namespace vesk::platform
