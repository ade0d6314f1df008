// The behaviour every key store shares, run against each: the in-memory
// store, the file-backed store (where it is built) and, on Windows, the real
// registry under a scratch key that is deleted afterwards.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/key_store.h"
#include "platform/memory_key_store.h"
#include "platform/registry_values.h"
#ifdef _WIN32
#include "platform/win32/registry_key_store.h"
#else
#include <unistd.h>

#include "platform/soft/file_key_store.h"
#endif

namespace vesk::platform {
namespace {

using Bytes = std::vector<std::uint8_t>;

struct MemoryStore {
  std::unique_ptr<IKeyStore> Make() { return std::make_unique<TMemoryKeyStore>(); }
  std::string Base() const { return "Software\\VeskClockTest\\Contract"; }
  void Cleanup() {}
};

#ifndef _WIN32
struct FileStore {
  std::filesystem::path folder;
  std::unique_ptr<IKeyStore> Make() {
    static std::atomic<int> counter{0};
    folder = std::filesystem::temp_directory_path() /
             ("vesk_key_contract_" + std::to_string(::getpid()) + "_" + std::to_string(counter++));
    std::filesystem::create_directories(folder);
    return std::make_unique<TFileKeyStore>((folder / "store.txt").string());
  }
  std::string Base() const { return "Software\\VeskClockTest\\Contract"; }
  void Cleanup() { std::filesystem::remove_all(folder); }
};
#else
struct RegistryStore {
  std::unique_ptr<IKeyStore> Make() {
    auto store = std::make_unique<TRegistryKeyStore>();
    (void)store->DeleteKey("Software\\VeskClockTest");  // a leftover of an aborted run
    return store;
  }
  std::string Base() const { return "Software\\VeskClockTest\\Contract"; }
  void Cleanup() { (void)TRegistryKeyStore().DeleteKey("Software\\VeskClockTest"); }
};
#endif

template <typename Kind>
class KeyStoreContract : public ::testing::Test {
 protected:
  void SetUp() override { store_ = kind_.Make(); }
  void TearDown() override {
    store_.reset();
    kind_.Cleanup();
  }

  std::unique_ptr<IRegistryKey> Create(const std::string& path, TKeyAccess access = kaFull) {
    std::unique_ptr<IRegistryKey> key;
    const TKeyStatus status = store_->OpenKey(path, access, koCreate, key);
    EXPECT_TRUE(status.Ok()) << path << ": " << status.Code << " " << status.Text;
    return key;
  }

  Bytes Get(IRegistryKey& key, const std::string& name, TRegValueType* type = nullptr) {
    TRawValue value;
    const TKeyStatus status = key.GetValue(name, value);
    EXPECT_TRUE(status.Ok()) << name << ": " << status.Code << " " << status.Text;
    if (type != nullptr) *type = value.Type;
    return value.Data;
  }

  Kind kind_;
  std::unique_ptr<IKeyStore> store_;
};

#ifdef _WIN32
using StoreKinds = ::testing::Types<MemoryStore, RegistryStore>;
#else
using StoreKinds = ::testing::Types<MemoryStore, FileStore>;
#endif
TYPED_TEST_SUITE(KeyStoreContract, StoreKinds);

TYPED_TEST(KeyStoreContract, KeysAreOpenedOrCreatedWithTheirParents) {
  const std::string base = this->kind_.Base();
  std::unique_ptr<IRegistryKey> key;
  TKeyStatus status = this->store_->OpenKey(base + "\\A\\B", kaRead, koExisting, key);
  EXPECT_EQ(status.Code, kKeyErrorNotFound);
  EXPECT_FALSE(status.Text.empty());
  EXPECT_EQ(key, nullptr);

  ASSERT_NE(this->Create(base + "\\A\\B"), nullptr);
  // Parents exist now, and names match without regard to case.
  EXPECT_TRUE(this->store_->OpenKey(base + "\\a", kaRead, koExisting, key).Ok());
  EXPECT_TRUE(this->store_->OpenKey(base + "\\A\\b", kaRead, koExisting, key).Ok());
  ASSERT_NE(key, nullptr);
  EXPECT_EQ(key->Path(), base + "\\A\\b");

  std::vector<std::string> names;
  std::unique_ptr<IRegistryKey> parent = this->Create(base);
  ASSERT_TRUE(parent->SubkeyNames(names).Ok());
  EXPECT_EQ(names, std::vector<std::string>{"A"});
}

TYPED_TEST(KeyStoreContract, MalformedPathsAreRefused) {
  const std::string base = this->kind_.Base();
  std::unique_ptr<IRegistryKey> key;
  for (const std::string& path : {"\\" + base, base + "\\", base + "\\\\x"}) {
    EXPECT_EQ(this->store_->OpenKey(path, kaFull, koCreate, key).Code, kKeyErrorBadPathname) << path;
  }
  EXPECT_EQ(this->store_->DeleteKey("").Code, kKeyErrorInvalidParameter);
}

TYPED_TEST(KeyStoreContract, StringValuesRoundTripAsRegistryText) {
  auto key = this->Create(this->kind_.Base());
  ASSERT_NE(key, nullptr);
  const std::string texts[] = {"", "0", "C:\\Program Files\\Vesk\\VeskClock.exe", "Z\xC3\xBCrich \xE2\x98\x83 \xF0\x9D\x84\x9E"};
  for (const std::string& text : texts) {
    WriteStringValue(*key, "Text", text);
    TRegValueType type = rvNone;
    std::uint64_t size = 0;
    ASSERT_TRUE(key->QueryValue("text", type, size).Ok());
    EXPECT_EQ(type, rvString);
    EXPECT_EQ(size, EncodeRegString(text).size()) << "written with its terminating zero";
    EXPECT_EQ(ReadStringValue(*key, "TEXT"), text);
  }
  // The default value has the empty name.
  WriteStringValue(*key, "", "default");
  EXPECT_EQ(ReadStringValue(*key, ""), "default");
}

TYPED_TEST(KeyStoreContract, RawBytesComeBackUnchanged) {
  auto key = this->Create(this->kind_.Base());
  ASSERT_NE(key, nullptr);
  const Bytes odd_text = {'a', 0, 'b'};  // no terminator, odd size
  const Bytes blob = {0, 1, 2, 0xFF, 0xFE};
  const Bytes dword = {0x2C, 0x01, 0, 0};
  ASSERT_TRUE(key->SetValue("Odd", rvString, odd_text).Ok());
  ASSERT_TRUE(key->SetValue("Blob", rvBinary, blob).Ok());
  ASSERT_TRUE(key->SetValue("Number", rvDword, dword).Ok());
  ASSERT_TRUE(key->SetValue("Empty", rvBinary, {}).Ok());
  TRegValueType type = rvNone;
  EXPECT_EQ(this->Get(*key, "Odd", &type), odd_text);
  EXPECT_EQ(type, rvString);
  EXPECT_EQ(this->Get(*key, "Blob", &type), blob);
  EXPECT_EQ(type, rvBinary);
  EXPECT_EQ(this->Get(*key, "Number", &type), dword);
  EXPECT_EQ(type, rvDword);
  EXPECT_EQ(this->Get(*key, "Empty"), Bytes{});
  EXPECT_EQ(ReadIntegerValue(*key, "Number"), 300u);

  // Replacing a value changes its type too.
  WriteStringValue(*key, "Number", "300");
  this->Get(*key, "Number", &type);
  EXPECT_EQ(type, rvString);

  std::vector<std::string> names;
  ASSERT_TRUE(key->ValueNames(names).Ok());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"Blob", "Empty", "Number", "Odd"}));
}

TYPED_TEST(KeyStoreContract, LargeValuesAreNotReadPastTheLimit) {
  auto key = this->Create(this->kind_.Base());
  ASSERT_NE(key, nullptr);
  const Bytes data(64, 0x41);
  ASSERT_TRUE(key->SetValue("Big", rvBinary, data).Ok());
  TRawValue value;
  const TKeyStatus status = key->GetValue("Big", value, 63);
  EXPECT_EQ(status.Code, kKeyErrorMoreData);
  EXPECT_EQ(value.Type, rvBinary) << "the type is known without the data";
  EXPECT_TRUE(value.Data.empty());
  EXPECT_TRUE(key->GetValue("Big", value, 64).Ok());
  EXPECT_EQ(value.Data, data);
}

TYPED_TEST(KeyStoreContract, DeletingValuesAndMissingValues) {
  auto key = this->Create(this->kind_.Base());
  ASSERT_NE(key, nullptr);
  WriteStringValue(*key, "Gone", "x");
  EXPECT_TRUE(key->DeleteValue("GONE").Ok());
  EXPECT_EQ(key->DeleteValue("Gone").Code, kKeyErrorNotFound);
  EXPECT_NO_THROW(DeleteValueIfPresent(*key, "Gone"));
  TRawValue value;
  EXPECT_EQ(key->GetValue("Gone", value).Code, kKeyErrorNotFound);
  EXPECT_EQ(ReadStringValue(*key, "Gone"), std::nullopt);
  EXPECT_FALSE(ValueExists(*key, "Gone"));
}

TYPED_TEST(KeyStoreContract, ReadAccessRefusesChanges) {
  const std::string base = this->kind_.Base();
  WriteStringValue(*this->Create(base), "Kept", "1");
  std::unique_ptr<IRegistryKey> key;
  ASSERT_TRUE(this->store_->OpenKey(base, kaRead, koExisting, key).Ok());
  EXPECT_EQ(key->SetValue("New", rvString, EncodeRegString("x")).Code, kKeyErrorAccessDenied);
  EXPECT_EQ(key->DeleteValue("Kept").Code, kKeyErrorAccessDenied);
  EXPECT_EQ(ReadStringValue(*key, "Kept"), "1");
}

TYPED_TEST(KeyStoreContract, DeleteKeyRemovesTheWholeBranch) {
  const std::string base = this->kind_.Base();
  WriteStringValue(*this->Create(base + "\\Branch\\Leaf"), "V", "1");
  WriteStringValue(*this->Create(base + "\\Other"), "V", "2");
  std::unique_ptr<IRegistryKey> open_leaf;
  ASSERT_TRUE(this->store_->OpenKey(base + "\\Branch\\Leaf", kaFull, koExisting, open_leaf).Ok());

  EXPECT_TRUE(this->store_->DeleteKey(base + "\\branch").Ok());
  std::unique_ptr<IRegistryKey> key;
  EXPECT_EQ(this->store_->OpenKey(base + "\\Branch", kaRead, koExisting, key).Code, kKeyErrorNotFound);
  EXPECT_EQ(this->store_->DeleteKey(base + "\\Branch").Code, kKeyErrorNotFound);
  EXPECT_TRUE(this->store_->OpenKey(base + "\\Other", kaRead, koExisting, key).Ok());

  // A key open while it was deleted answers with an error, never with data.
  TRawValue value;
  const TKeyStatus status = open_leaf->GetValue("V", value);
  EXPECT_FALSE(status.Ok());
  EXPECT_TRUE(value.Data.empty());
}

}  // namespace
}  // namespace vesk::platform
