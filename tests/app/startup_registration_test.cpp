// The settings actions: the startup value's name and data, registering and
// unregistering, the registry errors, and the window calls of On Top, Exit
// and About.
#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/menu_model.h"
#include "app/settings_actions.h"
#include "platform/memory_key_store.h"
#include "platform/registry_error.h"
#include "platform/registry_values.h"

namespace vesk::app {
namespace {

using platform::kaFull;
using platform::kaRead;
using platform::koExisting;

TEST(StartupValueName, IsTheFileNameWithoutFolderAndExtension) {
  const struct {
    const char* path;
    const char* name;
  } rows[] = {
      {"C:\\Program Files\\Vesk\\VeskClock.exe", "VeskClock"},
      {"D:\\x\\My.Clock.EXE", "My.Clock"},  // only the last extension goes
      {"\\\\server\\share\\Clock Copy.exe", "Clock Copy"},
      {"C:\\Tools\\NoExtension", "NoExtension"},
      {"C:\\dotted.dir\\clock", "clock"},  // a dot in a folder is no extension
      {"C:/mixed/separators/Vesk.exe", "Vesk"},
      {"C:VeskClock.exe", "VeskClock"},
      {"VeskClock.exe", "VeskClock"},
      {"C:\\Odd\\Trailing.", "Trailing"},
      {"C:\\Odd\\.exe", ".exe"},  // never the empty name
      {"C:\\Folder\\", ""},
  };
  for (const auto& row : rows) EXPECT_EQ(StartupValueName(row.path), row.name) << row.path;
}

class StartupRegistration : public ::testing::Test {
 protected:
  std::optional<std::string> RunValue(const std::string& name) {
    std::unique_ptr<platform::IRegistryKey> key;
    if (!store_.OpenKey(kRunKeyPath, kaRead, koExisting, key).Ok()) return std::nullopt;
    return platform::ReadStringValue(*key, name);
  }

  platform::TMemoryKeyStore store_;
};

TEST_F(StartupRegistration, WritesTheFullPathAndCreatesTheKey) {
  const std::string path = "C:\\Program Files\\Vesk\\VeskClock.exe";
  UpdateStartupRegistration(store_, path, true);
  EXPECT_EQ(RunValue("VeskClock"), path) << "no quotes, no arguments";
  // Written again at the next start, from a new place.
  UpdateStartupRegistration(store_, "E:\\Moved\\VeskClock.exe", true);
  EXPECT_EQ(RunValue("VeskClock"), "E:\\Moved\\VeskClock.exe");
}

TEST_F(StartupRegistration, CopiesUnderOtherNamesAreSeparateAndLeftAlone) {
  UpdateStartupRegistration(store_, "C:\\A\\VeskClock.exe", true);
  UpdateStartupRegistration(store_, "C:\\B\\ClockTwo.exe", true);
  EXPECT_EQ(RunValue("ClockTwo"), "C:\\B\\ClockTwo.exe");
  UpdateStartupRegistration(store_, "C:\\A\\VeskClock.exe", false);
  EXPECT_EQ(RunValue("VeskClock"), std::nullopt);
  EXPECT_EQ(RunValue("ClockTwo"), "C:\\B\\ClockTwo.exe");
}

TEST_F(StartupRegistration, RemovingAMissingValueIsNoError) {
  EXPECT_NO_THROW(UpdateStartupRegistration(store_, "C:\\A\\VeskClock.exe", false));
  EXPECT_NO_THROW(UpdateStartupRegistration(store_, "C:\\A\\VeskClock.exe", false));
  EXPECT_NO_THROW(UpdateStartupRegistration(store_, "C:\\Folder\\", false));
  EXPECT_EQ(RunValue(""), std::nullopt) << "the key's default value is never touched";
}

std::string ErrorOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const platform::ERegistryException& e) {
    return e.what();
  }
  return "(no error)";
}

TEST_F(StartupRegistration, FailuresRaiseTheRegistryError) {
  store_.InjectFailure(platform::opSetValue, platform::kKeyErrorAccessDenied);
  EXPECT_EQ(ErrorOf([&] { UpdateStartupRegistration(store_, "D:\\x\\My.Clock.EXE", true); }),
            "Failed to set data for 'My.Clock'");

  store_.ClearFailures();
  store_.InjectFailure(platform::opCreateKey, platform::kKeyErrorAccessDenied);
  EXPECT_EQ(ErrorOf([&] { UpdateStartupRegistration(store_, "C:\\VeskClock.exe", true); }),
            "Failed to set data for 'VeskClock'")
      << "a key that cannot be opened fails like the write";
  EXPECT_EQ(ErrorOf([&] { UpdateStartupRegistration(store_, "C:\\VeskClock.exe", false); }),
            "Failed to delete value 'VeskClock'");

  store_.ClearFailures();
  UpdateStartupRegistration(store_, "C:\\VeskClock.exe", true);
  store_.InjectFailure(platform::opDeleteValue, platform::kKeyErrorAccessDenied);
  EXPECT_EQ(ErrorOf([&] { UpdateStartupRegistration(store_, "C:\\VeskClock.exe", false); }),
            "Failed to delete value 'VeskClock'")
      << "a registration that stays must not pass for removed";
  EXPECT_EQ(ErrorOf([&] { UpdateStartupRegistration(store_, "C:\\Folder\\", true); }), "Failed to set data for ''");
}

class SettingsActionsTest : public ::testing::Test {
 protected:
  SettingsActionsTest()
      : actions_(menu_, store_, "C:\\Vesk\\VeskClock.exe",
                 TSettingsWindow{[this](TZOrderPlacement p) { placements_.push_back(p); },
                                 [this] { ++close_requests_; }, nullptr}) {}

  std::optional<std::string> RunValue() {
    std::unique_ptr<platform::IRegistryKey> key;
    if (!store_.OpenKey(kRunKeyPath, kaRead, koExisting, key).Ok()) return std::nullopt;
    return platform::ReadStringValue(*key, "VeskClock");
  }

  TPopupMenu menu_ = MakePopupMenu1();
  platform::TMemoryKeyStore store_;
  std::vector<TZOrderPlacement> placements_;
  int close_requests_ = 0;
  TSettingsActions actions_;
};

TEST_F(SettingsActionsTest, OnTopFollowsTheMarkAtEveryClick) {
  actions_.OnTop1Click();  // as FormShow does, with the first-run mark
  menu_.Click(kCmdOnTop1);
  menu_.Click(kCmdOnTop1);
  EXPECT_EQ(placements_, (std::vector<TZOrderPlacement>{zpTopmost, zpNotTopmost, zpTopmost}));
  static_assert(static_cast<int>(zpTopmost) == -1 && static_cast<int>(zpNotTopmost) == -2);
}

TEST_F(SettingsActionsTest, LoadAtStartupActsAtOnceAndAtEveryRestore) {
  actions_.FormStorage1RestorePlacement();  // first run: checked
  EXPECT_EQ(RunValue(), "C:\\Vesk\\VeskClock.exe");
  menu_.Click(kCmdLoadatStartup1);
  EXPECT_EQ(RunValue(), std::nullopt);
  actions_.FormStorage1RestorePlacement();
  EXPECT_EQ(RunValue(), std::nullopt);
  menu_.Click(kCmdLoadatStartup1);
  EXPECT_EQ(RunValue(), "C:\\Vesk\\VeskClock.exe");
}

TEST_F(SettingsActionsTest, ChimesExitAndAboutTouchNothingElse) {
  menu_.Click(kCmdChimes1);
  EXPECT_TRUE(placements_.empty());
  EXPECT_EQ(store_.Count(platform::opCreateKey) + store_.Count(platform::opSetValue), 0);

  menu_.Click(kCmdVeskClock1);  // no product page yet: nothing happens
  EXPECT_EQ(store_.Count(platform::opCreateKey) + store_.Count(platform::opSetValue), 0);
  EXPECT_EQ(close_requests_, 0);

  menu_.Click(kCmdExit1);
  menu_.Click(kCmdExit1);
  EXPECT_EQ(close_requests_, 2) << "each Exit is a close request of its own";
}

}  // namespace
}  // namespace vesk::app
