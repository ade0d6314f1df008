#include "platform/soft/file_key_store.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>

#include "platform/key_file_format.h"

namespace vesk::platform {
namespace {

// A settings file is a few hundred bytes; anything past this is not one.
constexpr std::int64_t kMaxFileBytes = 16 << 20;

bool WriteAll(int fd, const std::string& data) {
  std::size_t done = 0;
  while (done < data.size()) {
    const ssize_t n = ::write(fd, data.data() + done, data.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<std::size_t>(n);
  }
  return true;
}

// Reads the whole file; false when it cannot be read (or is far too large).
bool ReadAll(const std::string& path, std::string& out) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat st {};
  bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size <= kMaxFileBytes;
  out.clear();
  char buffer[8192];
  while (ok) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0) {
      if (errno == EINTR) continue;
      ok = false;
    } else if (n == 0) {
      break;
    } else {
      out.append(buffer, static_cast<std::size_t>(n));
      ok = static_cast<std::int64_t>(out.size()) <= kMaxFileBytes;
    }
  }
  ::close(fd);
  return ok;
}

}  // namespace

TFileKeyStore::TStamp TFileKeyStore::CurrentStamp() const {
  struct stat st {};
  if (::stat(path_.c_str(), &st) != 0) return {};
  return TStamp{true, static_cast<std::int64_t>(st.st_size),
                static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec};
}

TKeyStatus TFileKeyStore::Load() {
  loaded_ = true;
  stamp_ = CurrentStamp();
  bad_lines_ = 0;
  backup_pending_ = false;
  load_status_ = {};
  ReplaceTree(TKeyNode{});
  if (!stamp_.Exists) return load_status_;  // no file yet: an empty store
  std::string text;
  if (!ReadAll(path_, text)) {
    load_status_ = KeyStatusFor(kKeyErrorIoFailed);
    return load_status_;
  }
  TKeyFileContents contents = ParseKeyFile(text);
  bad_lines_ = contents.BadLines;
  backup_pending_ = contents.BadLines > 0;
  ReplaceTree(std::move(contents.Root));
  return load_status_;
}

TKeyStatus TFileKeyStore::MakeBackup() {
  namespace fs = std::filesystem;
  for (int n = 0; n < 100; ++n) {
    const std::string candidate = path_ + ".bad" + (n == 0 ? std::string() : "." + std::to_string(n));
    std::error_code ec;
    if (fs::exists(candidate, ec) || ec) continue;
    if (fs::copy_file(path_, candidate, fs::copy_options::none, ec) && !ec) {
      backup_path_ = candidate;
      backup_pending_ = false;
      return {};
    }
    return KeyStatusFor(kKeyErrorIoFailed);
  }
  return KeyStatusFor(kKeyErrorIoFailed);
}

TKeyStatus TFileKeyStore::Save() {
  if (backup_pending_) {
    if (TKeyStatus status = MakeBackup(); !status.Ok()) return status;
  }
  std::error_code ec;
  const std::filesystem::path parent = std::filesystem::path(path_).parent_path();
  if (!parent.empty()) std::filesystem::create_directories(parent, ec);

  const std::string text = FormatKeyFile(Root());
  const std::string temp = path_ + ".tmp";
  const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (fd < 0) return KeyStatusFor(kKeyErrorIoFailed);
  const bool written = WriteAll(fd, text) && ::fsync(fd) == 0;
  const bool closed = ::close(fd) == 0;
  if (!written || !closed || ::rename(temp.c_str(), path_.c_str()) != 0) {
    ::unlink(temp.c_str());
    return KeyStatusFor(kKeyErrorIoFailed);
  }
  stamp_ = CurrentStamp();
  return {};
}

TKeyStatus TFileKeyStore::BeforeOperation(TKeyOperation, std::string_view, std::string_view) {
  // Read the file again when someone else changed it, and retry a file that
  // could not be read.
  if (!loaded_ || !load_status_.Ok() || CurrentStamp() != stamp_) Load();
  return load_status_;
}

TKeyStatus TFileKeyStore::AfterChange() {
  TKeyStatus status = Save();
  if (!status.Ok()) Load();  // back to what the file holds
  return status;
}

std::unique_ptr<IKeyStore> MakeUserKeyStore() {
  std::string folder;
  if (const char* config = std::getenv("XDG_CONFIG_HOME"); config != nullptr && *config == '/') {
    folder = config;
  } else if (const char* home = std::getenv("HOME"); home != nullptr && *home == '/') {
    folder = std::string(home) + "/.config";
  } else {
    folder = ".";
  }
  return std::make_unique<TFileKeyStore>(folder + "/vesk-clock/settings.reg.txt");
}

}  // namespace vesk::platform
