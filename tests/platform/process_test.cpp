// The process helpers: executable folder, absolute paths, error texts and
// shared reading of files.
#include "platform/process.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace vesk::platform {
namespace {

#ifdef _WIN32
constexpr OsErrorCode kFileNotFound = 2;  // ERROR_FILE_NOT_FOUND
#else
constexpr OsErrorCode kFileNotFound = ENOENT;
#endif

std::string WriteFile(const std::string& name, const std::string& content) {
  const std::string path = ExecutableFolder() + name;
  std::ofstream(path, std::ios::binary | std::ios::trunc) << content;
  return path;
}

TEST(Process, ExecutableFolderHoldsTheRunningProgram) {
  const std::string folder = ExecutableFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_EQ(folder.back(), kPathSeparator);
  EXPECT_EQ(AbsolutePath(folder + "x"), folder + "x");  // already absolute
  bool found_test_program = false;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    found_test_program |= entry.path().filename().string().rfind("vesk_platform_tests", 0) == 0;
  }
  EXPECT_TRUE(found_test_program) << folder;
}

TEST(Process, AbsolutePathResolvesAgainstTheCurrentFolderAndDropsDotSegments) {
  const std::string cwd = AbsolutePath("");
  ASSERT_FALSE(cwd.empty());
  const std::string sep(1, kPathSeparator);
  const std::string base = ExecutableFolder();
  EXPECT_EQ(AbsolutePath(base + "a" + sep + "." + sep + "b" + sep + ".." + sep + "c.png"), base + "a" + sep + "c.png");
  const std::string relative = AbsolutePath("some_file.png");
  EXPECT_EQ(relative.substr(relative.size() - 13), "some_file.png");
  EXPECT_EQ(std::filesystem::path(relative).is_absolute(), true) << relative;
}

TEST(Process, SystemErrorTextIsTheSystemsWording) {
  const std::string not_found = SystemErrorText(kFileNotFound);
  EXPECT_FALSE(not_found.empty());
  EXPECT_NE(not_found, "error " + std::to_string(kFileNotFound));
  EXPECT_NE(not_found, SystemErrorText(kFileNotFound + 11));
  EXPECT_FALSE(SystemErrorText(0x7FFF1234u).empty());
}

TEST(Process, SharedReadFileReadsWholeContentsAndStopsAtTheEnd) {
  const std::string path = WriteFile("process_test_read.bin", std::string("abc\0def", 7));
  SharedReadFile file;
  ASSERT_EQ(file.Open(path), 0u);
  EXPECT_TRUE(file.IsOpen());
  char buffer[16] = {};
  OsErrorCode error = 99;
  EXPECT_EQ(file.Read(buffer, 4, error), 4u);
  EXPECT_EQ(error, 0u);
  EXPECT_EQ(std::string(buffer, 4), std::string("abc\0", 4));
  EXPECT_EQ(file.Read(buffer, sizeof buffer, error), 3u);  // short read at the end
  EXPECT_EQ(std::string(buffer, 3), "def");
  EXPECT_EQ(file.Read(buffer, sizeof buffer, error), 0u);
  EXPECT_EQ(error, 0u);

  SharedReadFile moved(std::move(file));
  EXPECT_FALSE(file.IsOpen());
  EXPECT_TRUE(moved.IsOpen());
  moved.Close();
  EXPECT_FALSE(moved.IsOpen());
  EXPECT_EQ(moved.Read(buffer, 1, error), 0u);
  EXPECT_NE(error, 0u);
}

TEST(Process, OpeningAMissingFileOrAFolderFailsWithTheSystemsCode) {
  SharedReadFile file;
  EXPECT_EQ(file.Open(ExecutableFolder() + "no_such_file_here.png"), kFileNotFound);
  EXPECT_FALSE(file.IsOpen());
  EXPECT_NE(file.Open(ExecutableFolder()), 0u);
  EXPECT_FALSE(file.IsOpen());
}

TEST(Process, OtherReadersShareTheFile) {
  const std::string path = WriteFile("process_test_shared.bin", "shared");
  SharedReadFile first, second;
  ASSERT_EQ(first.Open(path), 0u);
  EXPECT_EQ(second.Open(path), 0u);
  std::FILE* reader = std::fopen(path.c_str(), "rb");
  EXPECT_NE(reader, nullptr);
  if (reader != nullptr) std::fclose(reader);
#ifdef _WIN32
  // Writers are kept out while the file is open for reading.
  std::FILE* writer = std::fopen(path.c_str(), "r+b");
  EXPECT_EQ(writer, nullptr);
  if (writer != nullptr) std::fclose(writer);
#endif
}

}  // namespace
}  // namespace vesk::platform
