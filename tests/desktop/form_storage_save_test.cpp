// Saving at close and at destruction, the write errors, and the event
// handlers the storage takes over and gives back.
#include <gtest/gtest.h>

#include "platform/registry_error.h"
#include "storage_fixture.h"

namespace vesk::desktop::testing {
namespace {

using Save = StorageFixture;

const std::vector<std::string> kSaveOrder = {
    "FormVersion", "Flags",         "ShowCmd", "PixelsPerInch",          "MinMaxPos(1920x1080)",
    "MinMaxPos",   "NormPos(1920x1080)", "NormPos", "Visible",           "LoadatStartup1_Checked",
    "OnTop1_Checked", "Chimes1_Checked"};

TEST_F(Save, ValuesNamesOrderAndTexts) {
  Show();
  owner_.Window.Bounds = {300, 200, 500, 350};  // dragged there; 200 x 150
  owner_.Window.MinPos = {-1, -1};
  owner_.Item("OnTop1").checked_ = false;
  EXPECT_TRUE(CloseQuery());
  EXPECT_EQ(store_.Writes, kSaveOrder);
  const std::vector<std::pair<std::string, std::string>> expected = {
      {"FormVersion", "0"},           {"Flags", "0"},
      {"ShowCmd", "1"},               {"PixelsPerInch", "96"},
      {"MinMaxPos(1920x1080)", "-1,-1,0,0"}, {"MinMaxPos", "-1,-1,0,0"},
      {"NormPos(1920x1080)", "300,200,500,350"}, {"NormPos", "300,200,500,350"},
      {"Visible", "0"},               {"LoadatStartup1_Checked", "True"},
      {"OnTop1_Checked", "False"},    {"Chimes1_Checked", "True"}};
  for (const auto& [name, text] : expected) EXPECT_EQ(Value(name), text) << name;
  // Every value is a REG_SZ string.
  std::unique_ptr<platform::IRegistryKey> key;
  ASSERT_TRUE(store_.Inner.OpenKey(kSectionPath, platform::kaRead, platform::koExisting, key).Ok());
  for (const std::string& name : kSaveOrder) {
    platform::TRegValueType type{};
    std::uint64_t size = 0;
    ASSERT_TRUE(key->QueryValue(name, type, size).Ok());
    EXPECT_EQ(type, platform::rvString) << name;
  }
  // The destroy that follows an allowed close saves no second time.
  Destroy();
  EXPECT_EQ(store_.Writes.size(), kSaveOrder.size());
  EXPECT_EQ(events_.back(), "FormDestroy");
}

TEST_F(Save, RoundTripThroughANewWindow) {
  Show();
  owner_.Window.Bounds = {-40, 700, 110, 850};
  owner_.Item("Chimes1").checked_ = false;
  ASSERT_TRUE(CloseQuery());
  Destroy();
  storage_.reset();
  owner_.Window = TFakeWindow{};
  owner_.Item("Chimes1").checked_ = true;
  storage_ = MakeStorage();
  Show();
  EXPECT_EQ(owner_.Window.Bounds, (TRect{-40, 700, 110, 850}));
  EXPECT_FALSE(owner_.Item("Chimes1").checked_);
}

TEST_F(Save, ShowCmdOfAMinimizedApplication) {
  Show();
  owner_.Window.AppMinimized = true;
  ASSERT_TRUE(CloseQuery());
  EXPECT_EQ(Value("ShowCmd"), "2");
}

TEST_F(Save, DestroyWithoutAnAllowedCloseSavesVisibleOne) {
  Show();
  allow_close_ = false;
  EXPECT_FALSE(CloseQuery());
  EXPECT_TRUE(store_.Writes.empty()) << "a refused close saves nothing";
  Destroy();
  EXPECT_EQ(Value("Visible"), "1");
  EXPECT_FALSE(storage_->Destroying());
  EXPECT_EQ(events_.back(), "FormDestroy") << "the window's own handler after the save";
}

TEST_F(Save, NothingBeforeARestore) {
  EXPECT_TRUE(CloseQuery());
  Destroy();
  EXPECT_TRUE(store_.Writes.empty());
  // Inactive: neither restore nor save.
  storage_->Active = false;
  Seed("NormPos", "300,200,0,0");
  Show();
  EXPECT_EQ(owner_.Window.Left(), 192);
  EXPECT_EQ(restore_events_, 0);
  // Without a system window the close query saves nothing either.
  storage_->Active = true;
  storage_->RestoreFromRegistry();
  owner_.Handle = false;
  const std::size_t writes = store_.Writes.size();
  EXPECT_TRUE(CloseQuery());
  EXPECT_EQ(store_.Writes.size(), writes);
}

TEST_F(Save, AFailingWriteStopsTheSaveAndTheCloseGoesOn) {
  Show();
  store_.Inner.InjectFailure(platform::opSetValue, platform::kKeyErrorAccessDenied, "NormPos");
  events_.clear();
  EXPECT_TRUE(CloseQuery()) << "the close goes on";
  EXPECT_EQ(errors_, (std::vector<std::string>{"Failed to set data for 'NormPos'"}));
  EXPECT_EQ(events_, (std::vector<std::string>{"FormCloseQuery", "error"}));
  EXPECT_EQ(Value("NormPos(1920x1080)"), "192,114,342,264") << "values written before it stay";
  EXPECT_EQ(Value("NormPos"), std::nullopt);
  EXPECT_EQ(Value("Visible"), std::nullopt) << "nothing after it";
  // Nothing was saved, so the destroy tries once more (and fails the same).
  Destroy();
  EXPECT_EQ(errors_.size(), 2u);
  EXPECT_EQ(events_.back(), "FormDestroy");
}

TEST_F(Save, AKeyThatCannotBeCreated) {
  Show();
  store_.Inner.InjectFailure(platform::opCreateKey, platform::kKeyErrorAccessDenied, kSectionPath);
  EXPECT_TRUE(CloseQuery());
  EXPECT_EQ(errors_, (std::vector<std::string>{"Failed to create key VeskClock"}));
  store_.Inner.ClearFailures();
  store_.Inner.InjectFailure(platform::opCreateKey, platform::kKeyErrorAccessDenied, "Software");
  errors_.clear();
  EXPECT_THROW(storage_->SaveToRegistry(), platform::ERegistryException);
  // A restore still reads what it can.
  Seed("NormPos", "300,200,0,0");
  store_.Inner.ClearFailures();
  store_.Inner.InjectFailure(platform::opCreateKey, platform::kKeyErrorAccessDenied, "Software");
  storage_->RestoreFromRegistry();
  EXPECT_EQ(owner_.Window.Left(), 300);
}

TEST_F(Save, HandlersAreTakenOverAndGivenBack) {
  // Own close-query handler first, then the save: the save sees its answer.
  allow_close_ = true;
  Show();
  events_.clear();
  CloseQuery();
  EXPECT_EQ(events_, (std::vector<std::string>{"FormCloseQuery"}));
  EXPECT_TRUE(storage_->Saved());
  storage_.reset();
  events_.clear();
  const std::size_t writes = store_.Writes.size();
  Show();
  CloseQuery();
  Destroy();
  EXPECT_EQ(events_, (std::vector<std::string>{"FormShow on_top=1", "FormCloseQuery", "FormDestroy"}));
  EXPECT_EQ(store_.Writes.size(), writes) << "the window's own handlers, nothing else";
  EXPECT_EQ(restore_events_, 1);
}

}  // namespace
}  // namespace vesk::desktop::testing
