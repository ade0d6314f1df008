// Typed reads and writes over the in-memory store: the registry error texts,
// values of the wrong type or absurd size, failing stores, and the decoding
// of stored text whatever its bytes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/memory_key_store.h"
#include "platform/registry_error.h"
#include "platform/registry_values.h"
#include "platform/utf16.h"

namespace vesk::platform {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Runs `action` and returns the message of the ERegistryException it raised
// ("" when it raised none).
template <typename F>
std::string RegistryError(F action, std::int32_t* code = nullptr) {
  try {
    action();
  } catch (const ERegistryException& e) {
    if (code != nullptr) *code = e.Code();
    return e.what();
  }
  return {};
}

class KeyValues : public ::testing::Test {
 protected:
  void SetUp() override { key_ = CreateKeyOrRaise(store_, "Software\\VeskClock", kaFull); }
  void Put(const char* name, TRegValueType type, const Bytes& data) {
    ASSERT_TRUE(key_->SetValue(name, type, data).Ok());
  }

  TMemoryKeyStore store_;
  std::unique_ptr<IRegistryKey> key_;
};

TEST_F(KeyValues, StringReadsAcceptOnlyTextTypes) {
  Put("Plain", rvString, EncodeRegString("True"));
  Put("Expand", rvExpandString, EncodeRegString("%TEMP%"));
  Put("Number", rvDword, EncodeRegDword(1));
  Put("Blob", rvBinary, {1, 2});
  EXPECT_EQ(ReadStringValue(*key_, "Plain"), "True");
  EXPECT_EQ(ReadStringValue(*key_, "Expand"), "%TEMP%") << "read unexpanded";
  EXPECT_EQ(ReadStringValue(*key_, "Missing"), std::nullopt);
  EXPECT_EQ(RegistryError([&] { (void)ReadStringValue(*key_, "Number"); }), "Invalid data type for 'Number'");
  EXPECT_EQ(RegistryError([&] { (void)ReadStringValue(*key_, "Blob"); }), "Invalid data type for 'Blob'");
}

TEST_F(KeyValues, AbsurdSizesAreRefusedWithoutReading) {
  Bytes huge = EncodeRegString(std::string(kMaxValueBytes, 'x'));
  Put("HugeText", rvString, huge);
  Put("HugeBlob", rvBinary, Bytes(kMaxValueBytes + 1, 7));
  EXPECT_EQ(RegistryError([&] { (void)ReadStringValue(*key_, "HugeText"); }), "Failed to get data for 'HugeText'");
  // The type is checked first, as for any other value.
  EXPECT_EQ(RegistryError([&] { (void)ReadStringValue(*key_, "HugeBlob"); }), "Invalid data type for 'HugeBlob'");
}

TEST_F(KeyValues, IntegerReadsCheckSizeThenType) {
  Put("Four", rvDword, EncodeRegDword(0xFFFFFFFBu));
  Put("Eight", rvQword, Bytes(8, 1));
  Put("ShortText", rvString, EncodeRegString("1"));   // 4 bytes
  Put("LongText", rvString, EncodeRegString("12"));   // 6 bytes
  Put("ShortDword", rvDword, {1, 0});
  EXPECT_EQ(ReadIntegerValue(*key_, "Four"), 0xFFFFFFFBu);
  EXPECT_EQ(ReadIntegerValue(*key_, "Missing"), std::nullopt);
  EXPECT_EQ(RegistryError([&] { (void)ReadIntegerValue(*key_, "Eight"); }), "Failed to get data for 'Eight'");
  EXPECT_EQ(RegistryError([&] { (void)ReadIntegerValue(*key_, "LongText"); }), "Failed to get data for 'LongText'");
  EXPECT_EQ(RegistryError([&] { (void)ReadIntegerValue(*key_, "ShortText"); }), "Invalid data type for 'ShortText'");
  EXPECT_EQ(RegistryError([&] { (void)ReadIntegerValue(*key_, "ShortDword"); }), "Invalid data type for 'ShortDword'");

  WriteIntegerValue(*key_, "Written", 7);
  EXPECT_EQ(ReadIntegerValue(*key_, "Written"), 7u);
}

TEST_F(KeyValues, FailingStoresRaiseTheRegistryErrors) {
  std::int32_t code = 0;
  store_.InjectFailure(opSetValue, kKeyErrorAccessDenied, "FormVersion");
  EXPECT_EQ(RegistryError([&] { WriteStringValue(*key_, "FormVersion", "0"); }, &code),
            "Failed to set data for 'FormVersion'");
  EXPECT_EQ(code, kKeyErrorAccessDenied);
  EXPECT_NO_THROW(WriteStringValue(*key_, "Flags", "0")) << "only the named value fails";
  EXPECT_EQ(RegistryError([&] { WriteIntegerValue(*key_, "FormVersion", 0); }),
            "Failed to set data for 'FormVersion'");

  store_.InjectFailure(opGetValue, kKeyErrorIoFailed);
  EXPECT_EQ(RegistryError([&] { (void)ReadStringValue(*key_, "Flags"); }), "Failed to get data for 'Flags'");

  store_.InjectFailure(opDeleteValue, kKeyErrorAccessDenied);
  EXPECT_EQ(RegistryError([&] { DeleteValueIfPresent(*key_, "Flags"); }), "Failed to delete value 'Flags'");

  store_.InjectFailure(opCreateKey, kKeyErrorAccessDenied, "software");
  EXPECT_EQ(RegistryError([&] { (void)CreateKeyOrRaise(store_, "Software", kaFull); }, &code),
            "Failed to create key Software");
  EXPECT_EQ(code, kKeyErrorAccessDenied);
  EXPECT_GE(store_.Count(opCreateKey), 2);
}

TEST(RegString, DecodesWhateverIsStored) {
  struct Row {
    Bytes data;
    std::string text;
    bool canonical;
  };
  const Row rows[] = {
      {{'a', 0, 'b', 0, 0, 0}, "ab", true},
      {{0, 0}, "", true},
      {{}, "", false},
      {{'a', 0, 'b', 0}, "ab", false},               // no terminator
      {{'a', 0, 'b'}, "a", false},                   // odd size: the last byte is dropped
      {{'a', 0, 0, 0, 'b', 0, 0, 0}, "a", false},    // text ends at the first zero
      {{0x3D, 0xD8, 'x', 0, 0, 0}, "\xEF\xBF\xBDx", false},  // unpaired high surrogate
      {{0x34, 0xD8, 0x1E, 0xDD, 0, 0}, "\xF0\x9D\x84\x9E", true},  // U+1D11E as a pair
  };
  for (const Row& row : rows) {
    EXPECT_EQ(DecodeRegString(row.data), row.text);
    EXPECT_EQ(IsCanonicalRegString(row.data), row.canonical) << row.text;
  }
  EXPECT_EQ(EncodeRegString("\xC3\xA9"), (Bytes{0xE9, 0, 0, 0}));
}

TEST(Utf16, MalformedUtf8BecomesReplacementCharacters) {
  EXPECT_TRUE(IsValidUtf8("plain \xE2\x82\xAC \xF4\x8F\xBF\xBF"));
  for (const char* bad : {"\xC0\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xE2\x82", "\x80", "\xFF"}) {
    EXPECT_FALSE(IsValidUtf8(bad)) << bad;
  }
  EXPECT_EQ(Utf8ToUtf16("a\xE2\x82z"), (std::u16string{u'a', 0xFFFD, u'z'})) << "resumes at the bad byte";
  EXPECT_EQ(Utf16ToUtf8(std::u16string{0xDC00, u'q'}), "\xEF\xBF\xBDq");
  EXPECT_EQ(Utf16ToUtf8(Utf8ToUtf16("\xF0\x9F\x95\xB0 12:00")), "\xF0\x9F\x95\xB0 12:00");
}

}  // namespace
}  // namespace vesk::platform
