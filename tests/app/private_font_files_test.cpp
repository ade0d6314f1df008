// Which files of the fonts folder are registered.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "app/private_font_files.h"

namespace vesk::app {
namespace {

namespace fs = std::filesystem;

class PrivateFontFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("vesk_fonts_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                                        "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  void Touch(const std::string& name) { std::ofstream(dir_ / name) << "x"; }
  fs::path dir_;
};

TEST_F(PrivateFontFilesTest, TrueTypeFilesOfAnyCaseSortedByName) {
  Touch("zeta.ttf");
  Touch("Digital.TTF");
  Touch("alpha.Ttf");
  Touch("readme.txt");
  Touch("font.otf");
  Touch("font.ttf.bak");
  Touch("ttf");
  fs::create_directories(dir_ / "nested.ttf");  // a folder, not a font
  std::vector<std::string> names;
  for (const std::string& p : PrivateFontFiles(dir_.string())) names.push_back(fs::path(p).filename().string());
  EXPECT_EQ(names, (std::vector<std::string>{"Digital.TTF", "alpha.Ttf", "zeta.ttf"}));
}

TEST_F(PrivateFontFilesTest, MissingOrEmptyFolderIsNoError) {
  EXPECT_TRUE(PrivateFontFiles(dir_.string()).empty());
  EXPECT_TRUE(PrivateFontFiles((dir_ / "no-such-folder").string()).empty());
  Touch("plain-file");
  EXPECT_TRUE(PrivateFontFiles((dir_ / "plain-file").string()).empty());
}

}  // namespace
}  // namespace vesk::app
