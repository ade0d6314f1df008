// Every registry operation of a restore and of a save failing, each
// occurrence once and each kind lasting: at most the one error of that
// operation, and nothing stored is lost or half-written.
#include <gtest/gtest.h>

#include <map>

#include "storage_fixture.h"

namespace vesk::desktop::testing {
namespace {

using std::string;
using TContents = std::map<string, string>;
using platform::TKeyOperation;

const std::vector<string> kSaveOrder = {
    "FormVersion", "Flags",   "ShowCmd", "PixelsPerInch",          "MinMaxPos(1920x1080)", "MinMaxPos",
    "NormPos(1920x1080)", "NormPos", "Visible", "LoadatStartup1_Checked", "OnTop1_Checked", "Chimes1_Checked"};

class StorageFaults : public StorageFixture {
 protected:
  // The first run: dragged to (300, 200), "On Top" unchecked, closed.
  void SetUp() override {
    StorageFixture::SetUp();
    Show();
    owner_.Window.Bounds = {300, 200, 450, 350};
    owner_.Item("OnTop1").checked_ = false;
    ASSERT_TRUE(CloseQuery());
    Destroy();
    stored_ = Contents();
  }

  // The program started again on the same store.
  void NewRun() {
    storage_.reset();
    owner_.Window = TFakeWindow{};
    for (auto& item : owner_.Items) item->checked_ = true;
    errors_.clear();
    restore_events_ = 0;
    storage_ = MakeStorage();
  }

  // The user's changes in the second run: moved, "On Top" checked, "Chimes"
  // unchecked.
  void ChangeSettings() {
    owner_.Window.Bounds = {400, 300, 550, 450};
    owner_.Item("OnTop1").checked_ = true;
    owner_.Item("Chimes1").checked_ = false;
  }

  TContents Contents() {
    TContents out;
    for (const string& name : kSaveOrder) {
      if (const auto text = Value(name)) out[name] = *text;
    }
    return out;
  }

  static string Case(TKeyOperation op, int k) {
    static const char* const kNames[] = {"open key", "create key", "delete key", "query value",
                                         "get value", "set value",  "delete value", "enumerate"};
    return string(kNames[static_cast<int>(op)]) + (k == 0 ? ", lasting" : ", occurrence " + std::to_string(k));
  }
  static bool StartsWith(const string& text, const string& prefix) { return text.rfind(prefix, 0) == 0; }

  TContents stored_;
};

TEST_F(StorageFaults, EveryOperationOfARestoreOnceAndLasting) {
  int cases = 0;
  int reported = 0;
  for (const TKeyOperation op : {platform::opCreateKey, platform::opOpenKey, platform::opGetValue}) {
    NewRun();
    const int before = store_.Inner.Count(op);
    Show();  // a clean restore, to count its operations of this kind
    const int occurrences = store_.Inner.Count(op) - before;
    for (int k = 0; k <= occurrences; ++k) {  // k = 0: lasting
      SCOPED_TRACE(Case(op, k));
      NewRun();
      if (k == 0) {
        store_.Inner.InjectFailure(op, platform::kKeyErrorAccessDenied);
      } else {
        store_.Inner.InjectFailureOnce(op, platform::kKeyErrorAccessDenied, k);
      }
      Show();
      store_.Inner.ClearFailures();
      ASSERT_TRUE(CloseQuery());
      Destroy();
      ++cases;
      ASSERT_LE(errors_.size(), 1u);
      if (errors_.empty()) {
        // Read in full, or only a check mark unread (which keeps its mark).
        EXPECT_EQ(owner_.Window.Left(), 300);
        EXPECT_EQ(owner_.Window.Top(), 200);
        EXPECT_EQ(restore_events_, 1);
      } else {
        ++reported;
        EXPECT_TRUE(StartsWith(errors_[0], "Failed to get data for '")) << errors_[0];
        EXPECT_EQ(restore_events_, 0);
      }
      // Either way the close stores what was there: a read that failed is
      // never saved back as a default.
      EXPECT_EQ(Contents(), stored_);
    }
  }
  EXPECT_GE(cases, 20);
  EXPECT_GE(reported, 10);
}

TEST_F(StorageFaults, EveryOperationOfASaveOnceAndLasting) {
  // What a clean second run stores.
  NewRun();
  Show();
  ChangeSettings();
  std::map<TKeyOperation, int> occurrences;
  for (const TKeyOperation op : {platform::opCreateKey, platform::opSetValue}) occurrences[op] = store_.Inner.Count(op);
  ASSERT_TRUE(CloseQuery());
  for (auto& [op, count] : occurrences) count = store_.Inner.Count(op) - count;
  const TContents changed = Contents();
  ASSERT_NE(changed, stored_);

  int cases = 0;
  for (const auto& [op, count] : occurrences) {
    for (int k = 0; k <= count; ++k) {  // k = 0: lasting
      SCOPED_TRACE(Case(op, k));
      for (const auto& [name, text] : stored_) Seed(name, text);  // the first run's values again
      NewRun();
      Show();
      ChangeSettings();
      if (k == 0) {
        store_.Inner.InjectFailure(op, platform::kKeyErrorAccessDenied);
      } else {
        store_.Inner.InjectFailureOnce(op, platform::kKeyErrorAccessDenied, k);
      }
      EXPECT_TRUE(CloseQuery()) << "the close goes on";
      Destroy();
      store_.Inner.ClearFailures();
      ++cases;
      ASSERT_FALSE(errors_.empty());
      for (const string& error : errors_) {
        EXPECT_TRUE(StartsWith(error, "Failed to create key ") || StartsWith(error, "Failed to set data for '"))
            << error;
      }
      const TContents now = Contents();
      if (k != 0) {
        // The close's save failed once; the destroy saved it all again.
        EXPECT_EQ(errors_.size(), 1u);
        TContents expected = changed;
        expected["Visible"] = "1";
        EXPECT_EQ(now, expected);
        continue;
      }
      // Lasting: the close and the destroy each fail. In the order of the
      // save, the values written before the failure are the new ones and all
      // the rest are as they were; none is half-written or missing.
      EXPECT_EQ(errors_.size(), 2u);
      bool failed = false;
      for (const string& name : kSaveOrder) {
        if (changed.at(name) == stored_.at(name)) {
          EXPECT_EQ(now.at(name), stored_.at(name)) << name;
          continue;
        }
        if (now.at(name) == stored_.at(name)) failed = true;
        EXPECT_EQ(now.at(name), failed ? stored_.at(name) : changed.at(name)) << name;
      }
    }
  }
  EXPECT_GE(cases, 20);
}

}  // namespace
}  // namespace vesk::desktop::testing
