#pragma once
// A clock-like window with FormStorage1 attached, on the recording store.
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "desktop/form_storage.h"
#include "platform/registry_values.h"
#include "storage_fakes.h"

namespace vesk::desktop::testing {

inline constexpr const char* kSectionPath = "Software\\VeskClock";

class StorageFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    owner_.OnShow = [this] { events_.push_back(std::string("FormShow on_top=") + (owner_.Item("OnTop1").checked_ ? "1" : "0")); };
    owner_.OnCloseQuery = [this](bool& can_close) {
      events_.push_back("FormCloseQuery");
      can_close = allow_close_;
    };
    owner_.OnDestroy = [this] { events_.push_back("FormDestroy"); };
    storage_ = MakeStorage();
  }

  std::unique_ptr<TFormStorage> MakeStorage(std::vector<std::string> entries = {"LoadatStartup1.Checked",
                                                                             "OnTop1.Checked", "Chimes1.Checked"}) {
    auto storage = std::make_unique<TFormStorage>(owner_, store_, [this](const std::exception& error) {
      errors_.emplace_back(error.what());
      events_.push_back("error");
    });
    storage->IniFileName = "Software";
    storage->IniSection = "VeskClock";
    storage->SetStoredProps(entries);
    storage->OnRestorePlacement = [this] {
      ++restore_events_;
      events_.push_back("RestorePlacement");
    };
    storage->Loaded();
    return storage;
  }

  void Seed(const std::string& name, const std::string& text, platform::TRegValueType type = platform::rvString) {
    std::unique_ptr<platform::IRegistryKey> key;
    ASSERT_TRUE(store_.Inner.OpenKey(kSectionPath, platform::kaFull, platform::koCreate, key).Ok());
    const std::vector<std::uint8_t> data =
        type == platform::rvDword ? platform::EncodeRegDword(static_cast<std::uint32_t>(std::stoul(text)))
                                  : platform::EncodeRegString(text);
    ASSERT_TRUE(key->SetValue(name, type, data).Ok());
  }

  std::optional<std::string> Value(const std::string& name) {
    std::unique_ptr<platform::IRegistryKey> key;
    if (!store_.Inner.OpenKey(kSectionPath, platform::kaRead, platform::koExisting, key).Ok()) return std::nullopt;
    return platform::ReadStringValue(*key, name);
  }

  // The window's show: the storage's handler, then the system shows it.
  void Show() {
    owner_.OnShow();
    owner_.Window.IsVisible = true;
  }
  bool CloseQuery() {
    bool can_close = true;
    owner_.OnCloseQuery(can_close);
    return can_close;
  }
  void Destroy() { owner_.OnDestroy(); }

  TRecordingKeyStore store_;
  TFakeOwner owner_;
  std::unique_ptr<TFormStorage> storage_;
  std::vector<std::string> events_;
  std::vector<std::string> errors_;
  int restore_events_ = 0;
  bool allow_close_ = true;
};

}  // namespace vesk::desktop::testing
