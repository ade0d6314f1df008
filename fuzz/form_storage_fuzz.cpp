// Random contents of the settings key (the storage's own value names and
// random ones, every value type, hostile texts) through a restore, a save,
// and a second restore and save on a fresh window. Every run must end in
// the defaults, a documented registry error, or a state that the second
// round reproduces unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "../tests/desktop/storage_fakes.h"
#include "desktop/form_storage.h"
#include "platform/memory_key_store.h"
#include "platform/registry_values.h"

namespace {

using namespace vesk;
using desktop::testing::TFakeOwner;

const char* const kNames[] = {"FormVersion", "Flags", "ShowCmd", "PixelsPerInch", "MinMaxPos",
                              "MinMaxPos(1920x1080)", "MinMaxPos(1024x768)", "NormPos", "NormPos(1920x1080)",
                              "NormPos(1024x768)", "Visible", "LoadatStartup1_Checked", "OnTop1_Checked",
                              "Chimes1_Checked", "normpos", "ONTOP1_CHECKED"};
const char* const kSection = "Software\\VeskClock";

class TInput {
 public:
  TInput(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  bool Empty() const { return pos_ >= size_; }
  std::uint8_t Byte() { return pos_ < size_ ? data_[pos_++] : 0; }
  std::vector<std::uint8_t> Bytes(std::size_t n) {
    n = std::min(n, size_ - std::min(pos_, size_));
    std::vector<std::uint8_t> out(data_ + pos_, data_ + pos_ + n);
    pos_ += n;
    return out;
  }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t pos_ = 0;
};

struct TWindowSetup {
  bool resizable;
  bool main_window;
  bool app_minimized;
  bool large_screen;
  bool two_monitors;
  std::int32_t ppi;
};

void Configure(TFakeOwner& owner, const TWindowSetup& setup) {
  owner.Window.Resizable = setup.resizable;
  owner.Window.MainWindow = setup.main_window;
  owner.Window.AppMinimized = setup.app_minimized;
  owner.Window.ScreenW = setup.large_screen ? 1920 : 1024;
  owner.Window.ScreenH = setup.large_screen ? 1080 : 768;
  owner.Window.Monitors = {{0, 0, owner.Window.ScreenW, owner.Window.ScreenH}};
  if (setup.two_monitors) owner.Window.Monitors.push_back({owner.Window.ScreenW, -200, owner.Window.ScreenW + 1280, 824});
  owner.Window.Ppi = setup.ppi;
}

bool Documented(const std::string& message) {
  for (const char* start : {"Invalid data type for '", "Failed to get data for '"}) {
    if (message.rfind(start, 0) == 0 && message.back() == '\'') return true;
  }
  return false;
}

// The key's values as "type:bytes", by name.
std::map<std::string, std::string> Snapshot(platform::IKeyStore& store) {
  std::map<std::string, std::string> out;
  std::unique_ptr<platform::IRegistryKey> key;
  if (!store.OpenKey(kSection, platform::kaRead, platform::koExisting, key).Ok()) return out;
  std::vector<std::string> names;
  key->ValueNames(names);
  for (const std::string& name : names) {
    platform::TRawValue value;
    key->GetValue(name, value, std::size_t{1} << 24);
    out[name] = std::to_string(static_cast<unsigned>(value.Type)) + ":" +
                std::string(value.Data.begin(), value.Data.end());
  }
  return out;
}

struct TRound {
  std::vector<std::string> errors;
  TRect bounds;
  desktop::TWindowState state;
  bool checks[3];
};

TRound RunRound(platform::IKeyStore& store, const TWindowSetup& setup) {
  TFakeOwner owner;
  Configure(owner, setup);
  TRound round{};
  owner.OnShow = [] {};
  owner.OnCloseQuery = [](bool& can_close) { can_close = true; };
  owner.OnDestroy = [] {};
  {
    desktop::TFormStorage storage(owner, store, [&](const std::exception& e) { round.errors.emplace_back(e.what()); });
    storage.IniFileName = "Software";
    storage.IniSection = "VeskClock";
    storage.SetStoredProps({"LoadatStartup1.Checked", "OnTop1.Checked", "Chimes1.Checked"});
    storage.Loaded();
    owner.OnShow();
    owner.Window.IsVisible = true;
    round.bounds = owner.Window.Bounds;
    round.state = owner.Window.State;
    round.checks[0] = owner.Item("LoadatStartup1").checked_;
    round.checks[1] = owner.Item("OnTop1").checked_;
    round.checks[2] = owner.Item("Chimes1").checked_;
    bool can_close = true;
    owner.OnCloseQuery(can_close);
    owner.OnDestroy();
  }
  return round;
}

[[noreturn]] void Fail(const char* what) {
  std::fprintf(stderr, "form_storage_fuzz: %s\n", what);
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  TInput in(data, size);
  const std::uint8_t config = in.Byte();
  const TWindowSetup setup{(config & 1) != 0, (config & 2) == 0, (config & 4) != 0, (config & 8) != 0,
                           (config & 16) != 0, (config & 32) ? 120 : 96};

  platform::TMemoryKeyStore store;
  {
    std::unique_ptr<platform::IRegistryKey> key;
    if (!store.OpenKey(kSection, platform::kaFull, platform::koCreate, key).Ok()) Fail("cannot seed");
    while (!in.Empty()) {
      const std::uint8_t selector = in.Byte();
      std::string name;
      if (selector < 0xF0) {
        name = kNames[selector % (sizeof kNames / sizeof kNames[0])];
      } else {
        const std::vector<std::uint8_t> raw = in.Bytes(in.Byte() % 16);
        name.assign(raw.begin(), raw.end());
      }
      const std::uint8_t kind = in.Byte();
      const std::size_t length = in.Byte();
      std::vector<std::uint8_t> bytes = in.Bytes(length);
      // Low bits: the value type (string types most often); bit 3: the data
      // are text to encode rather than raw bytes; bit 4: the text repeated
      // many times (a hundred thousand commas and the like).
      const platform::TRegValueType types[] = {platform::rvString, platform::rvString, platform::rvExpandString,
                                               platform::rvDword,  platform::rvBinary, platform::rvMultiString,
                                               platform::rvQword,  platform::rvNone};
      const platform::TRegValueType type = types[kind & 7];
      if ((kind & 8) != 0) {
        std::string text(bytes.begin(), bytes.end());
        if ((kind & 16) != 0 && !text.empty()) {
          std::string repeated;
          while (repeated.size() < 100000) repeated += text;
          text = std::move(repeated);
        }
        bytes = platform::EncodeRegString(text);
      }
      (void)key->SetValue(name, type, bytes);  // a name the store refuses is skipped
    }
  }

  const std::map<std::string, std::string> seeded = Snapshot(store);
  const TRound first = RunRound(store, setup);
  for (const std::string& error : first.errors) {
    if (!Documented(error)) Fail(("undocumented error: " + error).c_str());
  }
  // A value that cannot be read stops the restore and nothing is saved; one
  // of a wrong type only counts as absent, and the save rewrites it.
  bool unreadable = false;
  for (const std::string& error : first.errors) unreadable |= error.rfind("Failed to get data for '", 0) == 0;
  if (unreadable) {
    if (Snapshot(store) != seeded) Fail("a failed restore changed the key");
    return 0;
  }
  const std::map<std::string, std::string> saved = Snapshot(store);
  const TRound second = RunRound(store, setup);
  if (!second.errors.empty()) Fail("the saved key does not restore");
  if (Snapshot(store) != saved) Fail("the second save differs from the first");
  if (!(second.bounds == first.bounds)) Fail("the position does not survive a round trip");
  // A save made while the application is minimized stores "minimized",
  // which the main window restores as normal with a minimize posted.
  const bool saved_minimized = setup.app_minimized && setup.main_window;
  if (second.state != (saved_minimized ? desktop::wsNormal : first.state)) Fail("the state does not survive");
  for (int k = 0; k < 3; ++k) {
    if (second.checks[k] != first.checks[k]) Fail("a check mark does not survive");
  }
  return 0;
}
