// The list of the program's folder (assets/app_folder.txt) against the skin
// files the program reads: every image it looks for at every scale set is
// listed, and every listed face\ file is one it reads.
#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <string>

#include "app/clock_face.h"
#include "app/scaled_skin.h"

namespace vesk::app {
namespace {

// The names below face/ in the list's first field.
std::set<std::string> ListedFaceFiles() {
  std::ifstream list(std::string(VESK_ASSETS_DIR) + "/app_folder.txt");
  std::set<std::string> names;
  std::string line;
  while (std::getline(list, line)) {
    if (line.rfind("face/", 0) == 0) names.insert(line.substr(5, line.find('\t') - 5));
  }
  return names;
}

TEST(AppFolderList, ListsExactlyTheSkinFilesTheProgramReads) {
  // pma.png is loaded as it is at every scale; the face and the hands come
  // in the plain file and one drawn set per scale.
  std::set<std::string> read = {kPmaSkinFile};
  for (const char* file : {kFaceSkinFile, kHourHandSkin.File, kMinuteHandSkin.File, kSecondHandSkin.File}) {
    read.insert(file);
    for (const std::int32_t percent : kSkinSetPercents) read.insert(ScaledSkinFileName(file, percent));
  }
  const std::set<std::string> listed = ListedFaceFiles();
  for (const std::string& name : read) EXPECT_EQ(listed.count(name), 1u) << name << " is read but not listed";
  for (const std::string& name : listed) EXPECT_EQ(read.count(name), 1u) << name << " is listed but never read";
}

}  // namespace
}  // namespace vesk::app
