// The About command: the browser setting around the shell's request, the
// request itself, the registry errors and the restore that fails.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/menu_model.h"
#include "app/product_page.h"
#include "app/settings_actions.h"
#include "platform/memory_key_store.h"
#include "platform/registry_error.h"
#include "platform/registry_values.h"

namespace vesk::app {
namespace {

using platform::TRegValueType;

// "no key", "absent", "dword N" or "type T, N bytes": the setting as the
// store holds it.
std::string SettingState(platform::IKeyStore& store) {
  std::unique_ptr<platform::IRegistryKey> key;
  if (!store.OpenKey(kBrowserMainKeyPath, platform::kaRead, platform::koExisting, key).Ok()) return "no key";
  platform::TRawValue value;
  const platform::TKeyStatus status = key->GetValue(kAllowWindowReuseName, value);
  if (status.NotFound()) return "absent";
  if (value.Type == platform::rvDword && value.Data.size() == 4) {
    return "dword " + std::to_string(value.Data[0] | (value.Data[1] << 8) | (value.Data[2] << 16) |
                                     (static_cast<std::uint32_t>(value.Data[3]) << 24));
  }
  return "type " + std::to_string(static_cast<int>(value.Type)) + ", " + std::to_string(value.Data.size()) +
         " bytes";
}

// Records each request with the setting at that moment; can act during the
// call (make the store fail, raise).
class TFakeShell final : public IShell {
 public:
  explicit TFakeShell(platform::IKeyStore& store) : store_(store) {}

  void Execute(const TShellRequest& request) override {
    Requests.push_back(request);
    StatesDuring.push_back(SettingState(store_));
    if (During) During();
  }

  std::vector<TShellRequest> Requests;
  std::vector<std::string> StatesDuring;
  std::function<void()> During;

 private:
  platform::IKeyStore& store_;
};

std::string ErrorOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const platform::ERegistryException& e) {
    return e.what();
  }
  return "";
}

// Puts the setting into the store (creating the key); `nullptr` data makes
// the key alone.
void SetSetting(platform::IKeyStore& store, TRegValueType type, const std::vector<std::uint8_t>* data) {
  std::unique_ptr<platform::IRegistryKey> key;
  ASSERT_TRUE(store.OpenKey(kBrowserMainKeyPath, platform::kaFull, platform::koCreate, key).Ok());
  if (data) {
    ASSERT_TRUE(key->SetValue(kAllowWindowReuseName, type, *data).Ok());
  }
}

const std::vector<std::uint8_t> kDwordOne{1, 0, 0, 0};

class ProductPage : public ::testing::Test {
 protected:
  void SetValue(TRegValueType type, const std::vector<std::uint8_t>& data) { SetSetting(store_, type, &data); }
  void CreateKey() { SetSetting(store_, platform::rvNone, nullptr); }

  platform::TMemoryKeyStore store_;
  TFakeShell shell_{store_};
};

TEST_F(ProductPage, AddressIsTheBuildsHostWithTheFixedPathAndQuery) {
  const std::string host(ProductHost());
  EXPECT_EQ(ProductPageAddress(), "http://" + host + "/veskclock.php?t=1");
  ASSERT_FALSE(host.empty());
  for (const char c : host) {
    EXPECT_TRUE(std::isalnum(static_cast<unsigned char>(c)) || c == '.' || c == '-' || c == ':')
        << "not a plain host name: " << host;
  }
}

// Each row: the setting before, what the shell sees, the setting after, the
// error. `fail_before` and `fail_during` make the store fail before the call
// and while the shell runs.
// Each row: the setting before (type and data; no data: the key alone; no
// key at all), what the shell sees, the setting after, and the error. The
// store fails at `fail_op` on the setting from the start (`fail_before`) or
// from the moment the shell runs (`fail_during`).
TEST(ProductPageSetting, AroundTheShellCallAndOnEveryError) {
  using platform::opDeleteValue;
  using platform::opSetValue;
  using platform::rvBinary;
  using platform::rvNone;
  using platform::rvDword;
  using platform::rvString;
  const std::vector<std::uint8_t> zero{0, 0, 0, 0}, all_bits{0xFF, 0xFF, 0xFF, 0xFF}, two{1, 0},
      eight{1, 0, 0, 0, 0, 0, 0, 0};
  const std::vector<std::uint8_t> one_as_text = platform::EncodeRegString("1");  // 4 bytes
  const std::vector<std::uint8_t> yes_as_text = platform::EncodeRegString("yes");  // 8 bytes
  const struct Row {
    const char* what;
    bool key;
    TRegValueType type;
    const std::vector<std::uint8_t>* data;
    platform::TKeyOperation fail_op;
    bool fail_before, fail_during;
    const char* during;  // nullptr: the shell must not be asked
    const char* after;
    const char* error;
  } rows[] = {
      {"absent", true, rvNone, nullptr, opSetValue, false, false, "dword 0", "absent", ""},
      {"1", true, rvDword, &kDwordOne, opSetValue, false, false, "dword 0", "dword 1", ""},
      {"0", true, rvDword, &zero, opSetValue, false, false, "dword 0", "dword 0", ""},
      {"all bits", true, rvDword, &all_bits, opSetValue, false, false, "dword 0", "dword 4294967295", ""},
      {"REG_SZ of 4 bytes", true, rvString, &one_as_text, opSetValue, false, false, nullptr, "type 1, 4 bytes",
       "Invalid data type for 'AllowWindowReuse'"},
      {"REG_SZ of 8 bytes", true, rvString, &yes_as_text, opSetValue, false, false, nullptr, "type 1, 8 bytes",
       "Failed to get data for 'AllowWindowReuse'"},
      {"REG_BINARY of 8 bytes", true, rvBinary, &eight, opSetValue, false, false, nullptr, "type 3, 8 bytes",
       "Failed to get data for 'AllowWindowReuse'"},
      {"REG_BINARY of 4 bytes", true, rvBinary, &kDwordOne, opSetValue, false, false, nullptr, "type 3, 4 bytes",
       "Invalid data type for 'AllowWindowReuse'"},
      {"short REG_DWORD", true, rvDword, &two, opSetValue, false, false, nullptr, "type 4, 2 bytes",
       "Invalid data type for 'AllowWindowReuse'"},
      {"no key", false, rvNone, nullptr, opSetValue, false, false, nullptr, "no key",
       "Failed to set data for 'AllowWindowReuse'"},
      {"write of 0 fails", true, rvDword, &kDwordOne, opSetValue, true, false, nullptr, "dword 1",
       "Failed to set data for 'AllowWindowReuse'"},
      {"write of 0 fails, absent", true, rvNone, nullptr, opSetValue, true, false, nullptr, "absent",
       "Failed to set data for 'AllowWindowReuse'"},
      {"write back fails", true, rvDword, &kDwordOne, opSetValue, false, true, "dword 0", "dword 0",
       "Failed to set data for 'AllowWindowReuse'"},
      {"delete fails", true, rvNone, nullptr, opDeleteValue, false, true, "dword 0", "dword 0",
       "Failed to delete value 'AllowWindowReuse'"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    platform::TMemoryKeyStore store;
    TFakeShell shell(store);
    if (row.key) SetSetting(store, row.type, row.data);
    const auto fail = [&] {
      store.InjectFailure(row.fail_op, platform::kKeyErrorAccessDenied, std::string(kAllowWindowReuseName));
    };
    if (row.fail_before) fail();
    if (row.fail_during) shell.During = fail;
    const int creates = store.Count(platform::opCreateKey);

    EXPECT_EQ(ErrorOf([&] { OpenProductPage(store, shell); }), row.error);
    if (row.during) {
      EXPECT_EQ(shell.StatesDuring, std::vector<std::string>{row.during});
    } else {
      EXPECT_TRUE(shell.Requests.empty()) << "the page must not be opened";
    }
    store.ClearFailures();
    EXPECT_EQ(SettingState(store), row.after);
    EXPECT_EQ(store.Count(platform::opCreateKey), creates) << "the key is never created";
  }
}

TEST_F(ProductPage, RequestOpensTheAddressMaximizedWithoutParametersOrFolder) {
  CreateKey();
  OpenProductPage(store_, shell_);
  ASSERT_EQ(shell_.Requests.size(), 1u);
  const TShellRequest& request = shell_.Requests[0];
  EXPECT_EQ(request.Verb, "open");
  EXPECT_EQ(request.File, ProductPageAddress());
  EXPECT_EQ(request.Parameters, "");
  EXPECT_EQ(request.Directory, "");
  EXPECT_EQ(request.Show, 3) << "SW_SHOWMAXIMIZED";
}

TEST_F(ProductPage, AShellThatRaisesStillGetsTheSettingBack) {
  SetValue(platform::rvDword, kDwordOne);
  shell_.During = [] { throw std::runtime_error("out of memory"); };
  EXPECT_THROW(OpenProductPage(store_, shell_), std::runtime_error);
  EXPECT_EQ(SettingState(store_), "dword 1");
}

TEST_F(ProductPage, EachAboutClickAsksTheShellOnce) {
  CreateKey();
  TPopupMenu menu = MakePopupMenu1();
  TSettingsWindow window;
  window.OpenProductPage = [this] { OpenProductPage(store_, shell_); };
  TSettingsActions actions(menu, store_, "C:\\Vesk\\VeskClock.exe", std::move(window));
  menu.Click(kCmdVeskClock1);
  menu.Click(kCmdVeskClock1);
  EXPECT_EQ(shell_.StatesDuring, (std::vector<std::string>{"dword 0", "dword 0"}));
  EXPECT_EQ(SettingState(store_), "absent");

  SetValue(platform::rvString, platform::EncodeRegString("1"));
  EXPECT_THROW(menu.Click(kCmdVeskClock1), platform::ERegistryException) << "the error reaches the error box";
  EXPECT_EQ(shell_.Requests.size(), 2u);
}

}  // namespace
}  // namespace vesk::app
