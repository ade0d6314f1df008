// The text form of a key tree, and the file-backed store over damaged,
// foreign and changing files.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/key_file_format.h"
#include "platform/registry_error.h"
#include "platform/registry_values.h"
#ifndef _WIN32
#include <unistd.h>

#include "platform/soft/file_key_store.h"
#endif

namespace vesk::platform {
namespace {

using Bytes = std::vector<std::uint8_t>;

bool SameTree(const TKeyNode& a, const TKeyNode& b, std::string& where) {
  if (a.Values.size() != b.Values.size()) return (where = "value count"), false;
  for (std::size_t i = 0; i < a.Values.size(); ++i) {
    const auto& [name_a, value_a] = a.Values[i];
    const auto& [name_b, value_b] = b.Values[i];
    if (name_a != name_b || value_a.Type != value_b.Type || value_a.Data != value_b.Data) {
      return (where = "value " + name_a), false;
    }
  }
  if (a.Subkeys.size() != b.Subkeys.size()) return (where = "subkey count"), false;
  for (auto ia = a.Subkeys.begin(), ib = b.Subkeys.begin(); ia != a.Subkeys.end(); ++ia, ++ib) {
    if (ia->first != ib->first) return (where = "subkey " + ia->first), false;
    if (!SameTree(ia->second, ib->second, where)) return (where = ia->first + "\\" + where), false;
  }
  return true;
}

// A small xorshift generator: the same sequence on every standard library.
struct Rng {
  std::uint32_t state;
  std::uint32_t Next() {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state;
  }
  std::uint32_t Below(std::uint32_t n) { return Next() % n; }
};

std::string RandomName(Rng& rng) {
  // Printable ASCII and the bytes that need escaping, UTF-8 letters and a
  // byte that is not UTF-8;
  // never a backslash (a key separator) or a zero.
  static const std::vector<std::string> pieces = {"a", "Z", "7", " ", "\"", "%", "]", "[", "=", ";",
                                                  "\t", "\n", "\r", "\x7F", "\x01", "\xC3\xA9", "\xE2\x98\x83", "\xFF"};
  std::string name;
  const std::uint32_t length = 1 + rng.Below(8);
  for (std::uint32_t i = 0; i < length; ++i) name += pieces[rng.Below(static_cast<std::uint32_t>(pieces.size()))];
  return name;
}

TRawValue RandomValue(Rng& rng) {
  switch (rng.Below(4)) {
    case 0: return {rvString, EncodeRegString(RandomName(rng))};
    case 1: return {rvExpandString, EncodeRegString(RandomName(rng))};
    case 2: return {rvDword, EncodeRegDword(rng.Next())};
    default: {
      TRawValue value{static_cast<TRegValueType>(rng.Below(12)), {}};
      const std::uint32_t size = rng.Below(9);  // odd sizes, bare text bytes, empty data
      for (std::uint32_t i = 0; i < size; ++i) value.Data.push_back(static_cast<std::uint8_t>(rng.Next()));
      return value;
    }
  }
}

void FillRandom(TKeyNode& node, Rng& rng, int depth) {
  const std::uint32_t values = rng.Below(4);
  for (std::uint32_t i = 0; i < values; ++i) {
    std::string name = i == 0 && rng.Below(4) == 0 ? std::string() : RandomName(rng);
    if (node.FindValue(name) == nullptr) node.Values.emplace_back(name, RandomValue(rng));
  }
  if (depth == 0) return;
  const std::uint32_t subkeys = rng.Below(3);
  for (std::uint32_t i = 0; i < subkeys; ++i) FillRandom(node.Subkeys[RandomName(rng)], rng, depth - 1);
}

TEST(KeyFileFormat, AnyTreeSurvivesWritingAndReading) {
  for (std::uint32_t seed = 1; seed <= 300; ++seed) {
    Rng rng{seed * 2654435761u};
    TKeyNode tree;
    FillRandom(tree, rng, 3);
    const std::string text = FormatKeyFile(tree);
    const TKeyFileContents back = ParseKeyFile(text);
    std::string where;
    ASSERT_EQ(back.BadLines, 0u) << "seed " << seed << ", line " << back.FirstBadLine << "\n" << text;
    ASSERT_TRUE(SameTree(tree, back.Root, where)) << "seed " << seed << " at " << where << "\n" << text;
  }
}

TEST(KeyFileFormat, ReadsTheGoodLinesOfADamagedFile) {
  using namespace std::string_literals;
  const std::string text =
      "\xEF\xBB\xBF; settings\r\n"
      "\"Orphan\"=sz:\"before any key\"\n"  // bad: no key yet
      "[Software\\VeskClock]\r\n"
      "\"OnTop1_Checked\"=sz:\"False\"\r\n"
      "\"Broken\"=sz:\"no closing quote\n"   // bad
      "\"Number\"=dword:0000012c\n"
      "\"Short\"=dword:12c\n"                 // bad
      "\"Blob\"=hex(3):0aff\n"
      "\"Odd\"=hex(3):0af\n"                  // bad
      "\"Bad\\q\"=sz:\"x\"\n"                 // bad escape
      "\"Invalid\"=sz:\"\xFF\"\n"             // bad UTF-8
      "\"Repeated\"=sz:\"1\"\n"
      "\"repeated\"=sz:\"2\"\n"
      "[Software\\\\Double]\n"                // bad path: its values go with it
      "\"Lost\"=sz:\"x\"\n"
      "[]\n"
      "\"AtRoot\"=sz:\"r\"\n"
      "garbage\0line\n"  // bad
      "\"Chimes1_Checked\"=sz:\"True\""s;    // no final line end
  const TKeyFileContents contents = ParseKeyFile(text);
  EXPECT_EQ(contents.BadLines, 9u);
  EXPECT_EQ(contents.FirstBadLine, 2u);
  TKeyNode root = contents.Root;
  TKeyNode& section = root.Subkeys["Software"].Subkeys["VeskClock"];
  ASSERT_NE(section.FindValue("OnTop1_Checked"), nullptr);
  EXPECT_EQ(DecodeRegString(section.FindValue("OnTop1_Checked")->Data), "False");
  EXPECT_EQ(section.FindValue("Number")->Data, (Bytes{0x2C, 0x01, 0, 0}));
  EXPECT_EQ(section.FindValue("Blob")->Data, (Bytes{0x0A, 0xFF}));
  EXPECT_EQ(DecodeRegString(section.FindValue("REPEATED")->Data), "2");
  EXPECT_EQ(section.Values.size(), 4u);
  EXPECT_EQ(root.Subkeys["Software"].Subkeys.size(), 1u);
  EXPECT_EQ(DecodeRegString(root.FindValue("AtRoot")->Data), "r");
  ASSERT_NE(root.FindValue("Chimes1_Checked"), nullptr) << "it follows [] so it belongs to the root";
  EXPECT_EQ(DecodeRegString(root.FindValue("Chimes1_Checked")->Data), "True");
}

TEST(KeyFileFormat, ArbitraryBytesNeverBreakTheReader) {
  Rng rng{12345};
  for (int round = 0; round < 200; ++round) {
    std::string text;
    const std::uint32_t size = rng.Below(400);
    // Mostly format characters, so that lines get far into the parser.
    static const char alphabet[] = "[]\"=:\\%xsz()hexdword0123456789abcdef\n\r;\0\xFF\xC3";
    for (std::uint32_t i = 0; i < size; ++i) text.push_back(alphabet[rng.Below(sizeof alphabet - 1)]);
    const TKeyFileContents contents = ParseKeyFile(text);
    // Whatever was read writes back cleanly.
    EXPECT_EQ(ParseKeyFile(FormatKeyFile(contents.Root)).BadLines, 0u);
  }
}

#ifndef _WIN32

class FileKeyStoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = std::filesystem::temp_directory_path() /
              ("vesk_file_store_" + std::to_string(::getpid()) + "_" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(folder_);
    std::filesystem::create_directories(folder_);
    path_ = (folder_ / "settings.txt").string();
  }
  void TearDown() override { std::filesystem::remove_all(folder_); }

  void WriteFile(const std::string& text) { std::ofstream(path_, std::ios::binary) << text; }
  std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }

  std::filesystem::path folder_;
  std::string path_;
};

TEST_F(FileKeyStoreTest, ValuesPersistAcrossStores) {
  {
    TFileKeyStore store(path_);
    auto key = CreateKeyOrRaise(store, "Software\\VeskClock", kaFull);
    WriteStringValue(*key, "NormPos(1920x1080)", "300,200,500,350");
    WriteIntegerValue(*key, "Count", 3);
    ASSERT_TRUE(key->SetValue("Odd", rvString, Bytes{'a', 0, 'b'}).Ok());
    (void)CreateKeyOrRaise(store, "Software\\Empty", kaFull);
  }
  TFileKeyStore again(path_);
  std::unique_ptr<IRegistryKey> key;
  ASSERT_TRUE(again.OpenKey("software\\veskclock", kaRead, koExisting, key).Ok());
  EXPECT_EQ(ReadStringValue(*key, "NormPos(1920x1080)"), "300,200,500,350");
  EXPECT_EQ(ReadIntegerValue(*key, "Count"), 3u);
  TRawValue odd;
  ASSERT_TRUE(key->GetValue("Odd", odd).Ok());
  EXPECT_EQ(odd.Data, (Bytes{'a', 0, 'b'}));
  EXPECT_TRUE(again.OpenKey("Software\\Empty", kaRead, koExisting, key).Ok()) << "empty keys are kept";
  EXPECT_FALSE(std::filesystem::exists(path_ + ".tmp"));
}

TEST_F(FileKeyStoreTest, DamagedFileIsBackedUpBeforeItIsRewritten) {
  const std::string damaged =
      "[Software\\VeskClock]\n\"OnTop1_Checked\"=sz:\"False\"\n\x01\x02 not a line\n\"Chimes1_Checked\"=sz:\"True";
  WriteFile(damaged);
  TFileKeyStore store(path_);
  std::unique_ptr<IRegistryKey> key;
  ASSERT_TRUE(store.OpenKey("Software\\VeskClock", kaFull, koExisting, key).Ok());
  EXPECT_EQ(store.BadLines(), 2u);
  EXPECT_EQ(ReadStringValue(*key, "OnTop1_Checked"), "False");
  EXPECT_EQ(ReadFile(path_), damaged) << "reading alone changes nothing";
  EXPECT_TRUE(store.BackupPath().empty());

  WriteStringValue(*key, "Chimes1_Checked", "False");
  EXPECT_EQ(store.BackupPath(), path_ + ".bad");
  EXPECT_EQ(ReadFile(path_ + ".bad"), damaged);
  TFileKeyStore reread(path_);
  ASSERT_TRUE(reread.OpenKey("Software\\VeskClock", kaRead, koExisting, key).Ok());
  EXPECT_EQ(reread.BadLines(), 0u);
  EXPECT_EQ(ReadStringValue(*key, "OnTop1_Checked"), "False");
  EXPECT_EQ(ReadStringValue(*key, "Chimes1_Checked"), "False");

  // A second damaged file does not replace the first backup.
  WriteFile(damaged + "\n]]]\n");
  TFileKeyStore third(path_);
  WriteStringValue(*CreateKeyOrRaise(third, "Software", kaFull), "X", "1");
  EXPECT_EQ(third.BackupPath(), path_ + ".bad.1");
  EXPECT_EQ(ReadFile(path_ + ".bad"), damaged);
}

TEST_F(FileKeyStoreTest, BinaryGarbageGivesAnEmptyStoreThatStillWorks) {
  std::string garbage;
  for (int i = 0; i < 4096; ++i) garbage.push_back(static_cast<char>((i * 7919) & 0xFF));
  WriteFile(garbage);
  TFileKeyStore store(path_);
  auto key = CreateKeyOrRaise(store, "Software\\VeskClock", kaFull);
  EXPECT_EQ(ReadStringValue(*key, "FormVersion"), std::nullopt);
  WriteStringValue(*key, "FormVersion", "0");
  EXPECT_EQ(ReadFile(path_ + ".bad"), garbage);
  EXPECT_EQ(ReadStringValue(*key, "FormVersion"), "0");
}

TEST_F(FileKeyStoreTest, AnUnreadableFileFailsEveryOperationAndIsLeftAlone) {
  std::filesystem::create_directories(path_);  // a folder where the file should be
  TFileKeyStore store(path_);
  std::unique_ptr<IRegistryKey> key;
  const TKeyStatus status = store.OpenKey("Software", kaFull, koCreate, key);
  EXPECT_EQ(status.Code, kKeyErrorIoFailed);
  EXPECT_FALSE(status.Text.empty());
  EXPECT_TRUE(std::filesystem::is_directory(path_));

  // Once the file can be read, the store works again.
  std::filesystem::remove(path_);
  EXPECT_TRUE(store.OpenKey("Software", kaFull, koCreate, key).Ok());
}

TEST_F(FileKeyStoreTest, AChangeThatCannotBeWrittenIsUndone) {
  TFileKeyStore store(path_);
  auto key = CreateKeyOrRaise(store, "Software", kaFull);
  WriteStringValue(*key, "Kept", "1");
  // A folder in the way of the temporary file makes the next write fail.
  std::filesystem::create_directories(path_ + ".tmp");
  std::int32_t code = 0;
  try {
    WriteStringValue(*key, "Lost", "2");
  } catch (const ERegistryException& e) {
    code = e.Code();
    EXPECT_STREQ(e.what(), "Failed to set data for 'Lost'");
  }
  EXPECT_EQ(code, kKeyErrorIoFailed);
  EXPECT_EQ(ReadStringValue(*key, "Lost"), std::nullopt);
  EXPECT_EQ(ReadStringValue(*key, "Kept"), "1");
}

TEST_F(FileKeyStoreTest, ChangesByAnotherStoreAreSeen) {
  TFileKeyStore first(path_);
  TFileKeyStore second(path_);
  auto key1 = CreateKeyOrRaise(first, "Software\\VeskClock", kaFull);
  auto key2 = CreateKeyOrRaise(second, "Software\\VeskClock", kaFull);
  WriteStringValue(*key1, "A", "1");
  EXPECT_EQ(ReadStringValue(*key2, "A"), "1");
  WriteStringValue(*key2, "B", "2");
  EXPECT_EQ(ReadStringValue(*key1, "A"), "1");
  EXPECT_EQ(ReadStringValue(*key1, "B"), "2");
}

#endif

}  // namespace
}  // namespace vesk::platform
