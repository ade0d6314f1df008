#pragma once
// A copy of the skin's five 100 % files in a temporary folder of the running
// test's own, removed at the end; tests damage or add files in it.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

namespace vesk::app {

class TSkinCopy {
 public:
  explicit TSkinCopy(const std::string& skin) {
    const auto* unit = ::testing::UnitTest::GetInstance();
    folder_ = std::filesystem::temp_directory_path() /
              ("vesk_skin_" + std::to_string(unit->random_seed()) + "_" + unit->current_test_info()->name());
    std::filesystem::remove_all(folder_);
    std::filesystem::create_directories(folder_);
    for (const char* name : {"clockface.png", "pma.png", "hours.png", "minutes.png", "seconds.png"}) {
      std::filesystem::copy_file(std::filesystem::path(skin) / name, folder_ / name);
    }
  }
  ~TSkinCopy() {
    std::error_code ec;
    std::filesystem::remove_all(folder_, ec);
  }
  TSkinCopy(const TSkinCopy&) = delete;
  TSkinCopy& operator=(const TSkinCopy&) = delete;

  // The folder with its trailing separator, as the skin loader takes it.
  [[nodiscard]] std::string Folder() const { return (folder_ / "").string(); }
  [[nodiscard]] std::filesystem::path File(const char* name) const { return folder_ / name; }
  void Write(const char* name, const std::string& bytes) const { std::ofstream(folder_ / name) << bytes; }

 private:
  std::filesystem::path folder_;
};

}  // namespace vesk::app
