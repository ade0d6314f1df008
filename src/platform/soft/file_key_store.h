#pragma once
// A key store kept in one text file (key_file_format.h), for platforms
// without a registry.
//
// The file is read when the store is first used and read again whenever it
// has changed on disk since; every change is written at once, to a temporary
// file that then replaces the old one, so a crash leaves either the old or
// the new contents. A change that cannot be written is undone in memory and
// reported (kKeyErrorIoFailed).
//
// Nothing is lost to a damaged file: the lines that parse are used, and
// before the file is first rewritten the damaged original is copied beside
// it as "<file>.bad" (or "<file>.bad.1", ".bad.2", ... when that exists). If
// the copy cannot be made, the file is not rewritten and the change fails.
// A file that exists but cannot be read makes every operation fail until it
// can be read.
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>

#include "platform/key_tree.h"

namespace vesk::platform {

class TFileKeyStore final : public TTreeKeyStore {
 public:
  explicit TFileKeyStore(std::string file_path) : path_(std::move(file_path)) {}

  [[nodiscard]] const std::string& FilePath() const { return path_; }
  // Lines of the file that could not be read at its last reading.
  [[nodiscard]] std::size_t BadLines() const { return bad_lines_; }
  // The copy of a damaged file, once made; empty before.
  [[nodiscard]] const std::string& BackupPath() const { return backup_path_; }

 protected:
  TKeyStatus BeforeOperation(TKeyOperation op, std::string_view key_path, std::string_view value_name) override;
  TKeyStatus AfterChange() override;

 private:
  struct TStamp {
    bool Exists = false;
    std::int64_t Size = 0;
    std::int64_t ModifiedNs = 0;
    friend bool operator==(const TStamp&, const TStamp&) = default;
  };

  [[nodiscard]] TStamp CurrentStamp() const;
  TKeyStatus Load();
  TKeyStatus Save();
  TKeyStatus MakeBackup();

  std::string path_;
  bool loaded_ = false;
  TStamp stamp_;
  TKeyStatus load_status_;
  std::size_t bad_lines_ = 0;
  bool backup_pending_ = false;
  std::string backup_path_;
};

}  // namespace vesk::platform
