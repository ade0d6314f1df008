// The clock under time that jumps and under calls that fail: the face gate,
// the chime check and the player over a fake MCI on 10 ms ticks of a fake
// clock, the registry paths over a key store that fails on demand, and the
// error-box rule over all of them.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/chime_check.h"
#include "app/error_box_throttle.h"
#include "app/error_text.h"
#include "app/face_redraw_gate.h"
#include "app/product_page.h"
#include "app/second_of_year.h"
#include "app/settings_actions.h"
#include "chime_rig.h"
#include "platform/memory_key_store.h"
#include "platform/registry_values.h"

namespace vesk::platform {
namespace {
// Value helpers over a path of the store (the key opened for each).
std::optional<std::string> StringAt(IKeyStore& store, std::string_view path, std::string_view name) {
  std::unique_ptr<IRegistryKey> key;
  if (!store.OpenKey(path, kaRead, koExisting, key).Ok()) return std::nullopt;
  return ReadStringValue(*key, name);
}
std::optional<std::uint32_t> IntegerAt(IKeyStore& store, std::string_view path, std::string_view name) {
  std::unique_ptr<IRegistryKey> key;
  if (!store.OpenKey(path, kaRead, koExisting, key).Ok()) return std::nullopt;
  return ReadIntegerValue(*key, name);
}
void WriteIntegerAt(IKeyStore& store, std::string_view path, std::string_view name, std::uint32_t value) {
  WriteIntegerValue(*CreateKeyOrRaise(store, path, kaFull), name, value);
}
}  // namespace
}  // namespace vesk::platform
#include "raster/exceptions.h"

namespace vesk::app {
namespace {

using platform::TKeyOperation;

// The window's timer side: the face gate, the chime, and the error boxes as
// the application shows them (one at a time, the same one not again within
// a minute of its dismissal; the user dismisses each box after
// `dismiss_after_ms`). The tick's clock is a fake that the test sets.
struct TClockRig : TChimeRig {
  TFaceRedrawGate gate{clock};
  TErrorBoxThrottle boxes;
  std::int64_t now_ms = 0;            // the monotonic clock of the boxes
  std::int64_t box_closes_at = -1;    // the open box's dismissal
  std::int64_t dismiss_after_ms = 2000;
  std::vector<std::string> shown;     // texts of the boxes shown
  std::vector<std::uint32_t> drawn;   // second of the year of each face
  std::vector<TLocalTime> chimed_at;  // clock of each tick that opened the device

  explicit TClockRig(const TLocalTime& start) : TChimeRig(start) {}
  void Report(const std::string& message) {
    const std::string text = ErrorMessageText(message);
    if (boxes.ShouldShow(text, now_ms)) {
      shown.push_back(text);
      box_closes_at = now_ms + dismiss_after_ms;
    }
  }
  // One Timer1 tick: the face when due, then the chime; an escaping error
  // goes to the error box.
  void Tick() {
    if (box_closes_at >= 0 && now_ms >= box_closes_at) {
      boxes.BoxClosed(now_ms);
      box_closes_at = -1;
    }
    const int opens = Opens();
    const TLocalTime t = clock.Now();
    clock.Set(t);
    try {
      if (gate.BeginTick()) {
        gate.FaceDrawn();
        drawn.push_back(static_cast<std::uint32_t>(gate.LastSecondOfYear()));
      }
      check.Run(chimes, [this] { StartChime(*player); });
    } catch (const std::exception& e) {
      Report(e.what());
    }
    if (Opens() > opens) chimed_at.push_back(t);
  }
  // Ticks every 10 ms for `ms` milliseconds; the sound ends after 3 s.
  void Run(std::int64_t ms) {
    for (std::int64_t t = 0; t < ms; t += 10) {
      Tick();
      clock.Advance(10);
      now_ms += 10;
      if (!chimed_at.empty() && t % 3000 == 2990) EndSounds();
    }
  }
  // Every sound playing ends, and MCI's notifications are delivered.
  void EndSounds() {
    std::vector<TMciDeviceId> playing;
    for (const auto& [id, is_playing] : mci.OpenDevices) {
      if (is_playing) playing.push_back(id);
    }
    for (TMciDeviceId id : playing) device->EndSound(id);
    while (!mci.Pending.empty()) {
      const TMciNotification n = mci.Pending.front();
      mci.Pending.pop_front();
      player->MMNotify(n.Result);
    }
  }
};

TLocalTime T(int y, int mo, int d, int h, int mi, int s, int ms = 0) { return {y, mo, d, h, mi, s, ms}; }

// The system clock set to another time between two ticks (or a resume from
// sleep): the first tick after the jump draws the face of the new time; the
// chime sounds only where the minute changed to 0 (set back to hh:00, or a
// jump that lands in minute 0 from another minute, as the clock's own
// changes of hour, day, year and daylight-saving time do), never for an hour
// jumped over; nothing is reported.
TEST(TimeJumps, TheFaceFollowsAtTheNextTickAndTheChimeKeepsItsRule) {
  struct Case {
    const char* what;
    TLocalTime before, after;
    int chimes;  // during 5 s before and 65 s after the jump
  };
  const Case cases[] = {
      {"forward 5 s", T(2026, 12, 7, 13, 20, 0), T(2026, 12, 7, 13, 20, 10), 0},
      {"back 5 s", T(2026, 12, 7, 13, 20, 10), T(2026, 12, 7, 13, 20, 0), 0},
      {"forward an hour over 14:00", T(2026, 12, 7, 13, 20, 0), T(2026, 12, 7, 14, 20, 0), 0},
      {"back an hour over 14:00", T(2026, 12, 7, 14, 20, 0), T(2026, 12, 7, 13, 20, 0), 0},
      {"forward a day", T(2026, 12, 7, 13, 20, 0), T(2026, 12, 8, 13, 20, 0), 0},
      {"back a day", T(2026, 12, 8, 13, 20, 0), T(2026, 12, 7, 13, 20, 0), 0},
      {"resume from sleep 5 hours later", T(2026, 12, 7, 13, 20, 0), T(2026, 12, 7, 18, 45, 30), 0},
      {"resume from sleep into minute 0", T(2026, 12, 7, 13, 20, 0), T(2026, 12, 7, 18, 0, 30), 1},
      {"set back from 13:05 to 13:00", T(2026, 12, 7, 13, 5, 0), T(2026, 12, 7, 13, 0, 0), 1},
      {"set forward to 13:59:59", T(2026, 12, 7, 13, 20, 0), T(2026, 12, 7, 13, 59, 59), 1},
      {"year change", T(2026, 12, 31, 23, 59, 50), T(2027, 1, 1, 0, 0, 0), 1},
      {"spring DST 01:59:59 to 03:00", T(2027, 3, 28, 1, 59, 55), T(2027, 3, 28, 3, 0, 0), 1},
      {"autumn DST 02:59:59 to 02:00", T(2027, 10, 31, 2, 59, 55), T(2027, 10, 31, 2, 0, 0), 1},
      {"set back within minute 0", T(2026, 12, 7, 13, 0, 40), T(2026, 12, 7, 13, 0, 5), 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TClockRig rig(c.before);
    rig.Run(5000);
    const std::size_t faces = rig.drawn.size();
    rig.clock.Set(c.after);
    rig.Tick();
    ASSERT_EQ(rig.drawn.size(), faces + 1) << "no face at the first tick after the jump";
    EXPECT_EQ(rig.drawn.back(), SecondOfYear(c.after));
    rig.Run(65000);
    EXPECT_EQ(static_cast<int>(rig.chimed_at.size()), c.chimes);
    EXPECT_TRUE(rig.shown.empty()) << rig.shown.front();
    EXPECT_EQ(rig.LastMinute, rig.clock.Now().Minute);
  }
}

// At the autumn change the clock reads 02:59:59 CEST and then 02:00:00 CET:
// the hour 02 comes twice, and both of its starts chime (the minute changes
// from 59 to 0), as does 03:00 CET.
TEST(TimeJumps, TheRepeatedAutumnHourChimesAtEachOfItsStarts) {
  TClockRig rig(T(2027, 10, 31, 1, 59, 50));
  rig.Run(20000);                                   // 02:00 CEST
  rig.clock.Set(T(2027, 10, 31, 2, 59, 58));
  rig.Run(1500);
  rig.clock.Set(T(2027, 10, 31, 2, 0, 0));          // 02:00 CET
  rig.Run(2000);
  rig.clock.Set(T(2027, 10, 31, 2, 59, 58));
  rig.Run(4000);                                    // 03:00 CET
  ASSERT_EQ(rig.chimed_at.size(), 3u);
  EXPECT_EQ(rig.chimed_at[0].Hour, 2);
  EXPECT_EQ(rig.chimed_at[1].Hour, 2);
  EXPECT_EQ(rig.chimed_at[2].Hour, 3);
  EXPECT_TRUE(rig.shown.empty());
}

// Each MCI command failing once (the next hour it works again) or lasting
// (every hour of a day): an Open that fails is one box per failed hour with
// MCI's text and the clock goes on; a failed Play leaves the device open,
// unreported, and the next hour's Open closes it first; the face never
// stops.
TEST(FaultInjection, MciCommandsFailingOnceAndLasting) {
  struct Case {
    const char* what;
    TMciError open_error, play_error;
    bool lasting;
    int boxes;   // over 3 hours
    int plays;   // Play commands that reached the device
  };
  const Case cases[] = {
      {"open fails once", 275, 0, false, 1, 2},
      {"open fails lasting", 275, 0, true, 3, 0},
      {"open fails with a code without text", 9999, 0, true, 3, 0},
      {"play fails once", 0, 263, false, 0, 3},
      {"play fails lasting", 0, 263, true, 0, 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TClockRig rig(T(2026, 12, 7, 12, 59, 50));
    rig.mci.OpenError = c.open_error;
    rig.mci.PlayError = c.play_error;
    for (int hour = 0; hour < 3; ++hour) {
      rig.Run(20000);  // through hh:00:10
      if (!c.lasting) rig.mci.OpenError = rig.mci.PlayError = 0;
      rig.clock.Set(AddMilliseconds(rig.clock.Now(), 3600000 - 20000));
      rig.now_ms += 3600000 - 20000;
      rig.EndSounds();
    }
    EXPECT_EQ(static_cast<int>(rig.shown.size()), c.boxes);
    for (const std::string& text : rig.shown) {
      EXPECT_TRUE(text == "The specified file cannot be found." || text == "Unknown error code.") << text;
    }
    int plays = 0;
    for (const TMciCall& call : rig.mci.Calls) plays += call.Command == kMciPlay;
    EXPECT_EQ(plays, c.plays);
    // At most one device is open at any time, and the face went on.
    EXPECT_LE(rig.mci.OpenDevices.size(), 1u);
    EXPECT_GE(rig.drawn.size(), 3u * 20u);
  }
}

// A failure that lasts and is raised on every tick (10 ms) shows one box,
// none while it is open, and after its dismissal the same one again only a
// minute later; a different failure is shown as soon as no box is open.
TEST(FaultInjection, ALastingFailureOnEveryTickShowsOneBoxAMinute) {
  TClockRig rig(T(2026, 12, 7, 13, 20, 0));
  rig.dismiss_after_ms = 5000;
  for (int i = 0; i < 12000; ++i) {  // two minutes of ticks
    rig.Report("Failed to set data for 'VeskClock'");
    rig.Tick();
    rig.now_ms += 10;
  }
  // Shown at 0, dismissed at 5 s, again at 65 s (dismissed at 70 s), not
  // before 130 s.
  EXPECT_EQ(rig.shown.size(), 2u);
  rig.Report("Invalid data type for 'FormVersion'");
  rig.Tick();
  EXPECT_EQ(rig.shown.size(), 3u);
  EXPECT_EQ(rig.shown.back(), "Invalid data type for 'FormVersion'");
}

// Every registry operation of the startup entry and of the About action
// failing, once and lasting: the registry's error, reported the Part's way;
// values written before the failure stay, and no value is left half-written
// or changed when the operation that would change it failed.
TEST(FaultInjection, RegistryOperationsOfTheStartupEntryAndTheAboutAction) {
  struct Case {
    const char* what;
    TKeyOperation op;
    bool startup;       // the startup entry (else the About action)
    bool checked;       // Load at Startup
    const char* error;  // "" when no error is raised
  };
  const Case cases[] = {
      {"startup: create key", platform::opCreateKey, true, true, "Failed to set data for 'VeskClock'"},
      {"startup: set value", platform::opSetValue, true, true, "Failed to set data for 'VeskClock'"},
      {"startup: delete value", platform::opDeleteValue, true, false, "Failed to delete value 'VeskClock'"},
      {"about: open key", platform::opOpenKey, false, true, "Failed to set data for 'AllowWindowReuse'"},
      {"about: get value", platform::opGetValue, false, true, "Failed to get data for 'AllowWindowReuse'"},
      {"about: set value", platform::opSetValue, false, true, "Failed to set data for 'AllowWindowReuse'"},
  };
  const std::string exe = "C:\\Programs\\Vesk Clock\\VeskClock.exe";
  for (const Case& c : cases) {
    for (const bool lasting : {false, true}) {
      SCOPED_TRACE(std::string(c.what) + (lasting ? ", lasting" : ", once"));
      platform::TMemoryKeyStore store;
      // What was there before: the startup entry and a browser setting of 1.
      UpdateStartupRegistration(store, "C:\\Old\\VeskClock.exe", true);
      platform::WriteIntegerAt(store, kBrowserMainKeyPath, kAllowWindowReuseName, 1);
      struct TShell final : IShell {
        int calls = 0;
        void Execute(const TShellRequest&) override { ++calls; }
      } shell;
      store.InjectFailure(c.op, 5);
      std::string raised;
      const int attempts = lasting ? 3 : 1;
      for (int i = 0; i < attempts; ++i) {
        try {
          if (c.startup) {
            UpdateStartupRegistration(store, exe, c.checked);
          } else {
            OpenProductPage(store, shell);
          }
        } catch (const std::exception& e) {
          raised = e.what();
        }
      }
      EXPECT_EQ(raised, c.error);
      store.ClearFailures();
      // Nothing lost: the values as they were before the failed operation.
      EXPECT_EQ(platform::StringAt(store, kRunKeyPath, "VeskClock").value_or("<none>"),
                "C:\\Old\\VeskClock.exe");
      EXPECT_EQ(platform::IntegerAt(store, kBrowserMainKeyPath, kAllowWindowReuseName).value_or(99), 1u);
      if (!c.startup) {
        EXPECT_EQ(shell.calls, 0) << "the page opened after a failed step";
      }
      // Once the store works again the operation succeeds.
      if (c.startup) {
        UpdateStartupRegistration(store, exe, c.checked);
        EXPECT_EQ(platform::StringAt(store, kRunKeyPath, "VeskClock").has_value(), c.checked);
      } else {
        OpenProductPage(store, shell);
        EXPECT_EQ(shell.calls, 1);
      }
    }
  }
}

// A shell that cannot open the page is not reported and the browser setting
// comes back; a shell that raises is reported after the restore.
TEST(FaultInjection, TheShellFailingLeavesTheBrowserSettingAsItWas) {
  platform::TMemoryKeyStore store;
  platform::WriteIntegerAt(store, kBrowserMainKeyPath, kAllowWindowReuseName, 1);
  struct TShell final : IShell {
    void Execute(const TShellRequest&) override { throw vesk::Exception("no browser"); }
  } shell;
  EXPECT_THROW(OpenProductPage(store, shell), vesk::Exception);
  EXPECT_EQ(platform::IntegerAt(store, kBrowserMainKeyPath, kAllowWindowReuseName).value_or(99), 1u);
}

}  // namespace
}  // namespace vesk::app
