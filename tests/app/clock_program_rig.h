#pragma once
// The whole clock program on fakes: a window that records every request and
// question as one line of a log (and keeps its bounds and visibility with
// the settings storage's fake placement window), the two timers on a
// simulated system timer, the notification area, the shell, the MCI, the
// current user's registry in memory and a fake clock, with the real skin
// copied to a folder of its own.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/clock_program.h"
#include "desktop/storage_fakes.h"
#include "fake_mci.h"
#include "platform/memory_key_store.h"
#include "skin_copy.h"

namespace vesk::app::testing {

using TCallLog = std::vector<std::string>;

// A window timer on a simulated system clock (microseconds from the rig's
// start): it is due one period after it was switched on or given a new
// period, and again one period after each tick that did not re-arm it. Like
// a window timer it cannot be due sooner than 10 ms, and it fires on the
// first interrupt of the system's timer grid at or after it is due.
class TRecordingTimer final : public ITimer {
 public:
  TRecordingTimer(const char* name, TCallLog& log, const std::int64_t& now_us)
      : name_(name), log_(log), now_us_(now_us) {}
  void SetEnabled(bool enabled) override {
    if (enabled && !enabled_) Arm();
    enabled_ = enabled;
    log_.push_back(std::string(name_) + (enabled ? " on" : " off"));
  }
  [[nodiscard]] bool Enabled() const override { return enabled_; }
  void SetInterval(std::uint32_t ms) override {
    interval_ms_ = ms;
    log_.push_back(std::string(name_) + " every " + std::to_string(ms));
    if (enabled_) Arm();
  }
  // When it fires next on a grid of `grid_us` (0: when it is due).
  [[nodiscard]] std::int64_t NextFire(std::int64_t grid_us) const {
    if (grid_us <= 0) return due_us_;
    return (due_us_ + grid_us - 1) / grid_us * grid_us;
  }
  // The tick: due again one period on, unless the handler re-arms it.
  template <class Handler>
  void Fire(Handler&& handler) {
    Arm();
    handler();
  }

 private:
  void Arm() { due_us_ = now_us_ + std::int64_t{interval_ms_ < 10 ? 10 : interval_ms_} * 1000; }

  const char* name_;
  TCallLog& log_;
  const std::int64_t& now_us_;
  bool enabled_ = false;
  std::uint32_t interval_ms_ = 10;
  std::int64_t due_us_ = 0;
};

class TRecordingWindow final : public IClockWindow {
 public:
  TRecordingWindow(TCallLog& log, desktop::testing::TFakeWindow& placement) : log_(log), placement_(placement) {}

  TSystemError MakeLayered() override { return Log("MakeLayered"), LayeredError; }
  void HideTaskbarButton() override { Log("HideTaskbarButton"); }
  void AcquireScreen() override { Log("AcquireScreen"); }
  void ReleaseScreen() override { Log("ReleaseScreen"); }
  void MakeDesktopOwner() override { Log("MakeDesktopOwner"); }
  void ShowFirst() override {
    Log("ShowFirst");
    placement_.IsVisible = true;
  }
  bool Exists() override { return true; }
  bool Visible() override { return Log("Visible"), placement_.IsVisible; }
  TRect Bounds() override { return Log("Bounds"), placement_.Bounds; }
  std::int32_t PixelsPerInch() override { return Log("PixelsPerInch"), placement_.Ppi; }
  std::optional<TPoint> CursorPos() override { return Log("CursorPos"), Cursor; }
  TSystemError Present(const raster::TBitmap32& composition, const TBlendFunction& blend, TPoint position,
                       TSize size, TPoint /*source*/) override {
    Log("Present " + std::to_string(blend.SourceConstantAlpha) + " at " + std::to_string(position.X) + "," +
        std::to_string(position.Y) + " " + std::to_string(size.cx) + "x" + std::to_string(size.cy));
    Presented = composition.Width() == size.cx && composition.Height() == size.cy;
    return PresentError;
  }
  void SetSize(TSize size) override {
    Log("SetSize " + std::to_string(size.cx) + "x" + std::to_string(size.cy));
    placement_.Bounds.Right = placement_.Bounds.Left + size.cx;
    placement_.Bounds.Bottom = placement_.Bounds.Top + size.cy;
  }
  void SetBounds(const TRect& r) override {
    Log("SetBounds " + std::to_string(r.Left) + "," + std::to_string(r.Top) + "," + std::to_string(r.Right) + "," +
        std::to_string(r.Bottom));
    placement_.Bounds = r;
  }
  void SetZOrder(TZOrderPlacement placement) override {
    Log(placement == zpTopmost ? "SetZOrder topmost" : "SetZOrder not topmost");
  }
  void ShowNormal() override {
    Log("ShowNormal");
    placement_.IsVisible = true;
  }
  void Hide() override {
    Log("Hide");
    placement_.IsVisible = false;
  }
  void BringToForeground() override { Log("BringToForeground"); }
  void BeginMove() override { Log("BeginMove"); }
  void PopupMenuAtCursor(const TPopupMenu& /*menu*/) override { Log("PopupMenuAtCursor"); }
  void TrackMenu(const TPopupMenu& /*menu*/, TPoint at) override {
    Log("TrackMenu " + std::to_string(at.X) + "," + std::to_string(at.Y));
  }
  void EndProgram() override { Log("EndProgram"); }
  void ShowError(const std::exception& error) override { Log(std::string("ShowError ") + error.what()); }
  void ShowSystemError(TSystemError code) override { Log("ShowSystemError " + std::to_string(code)); }

  TSystemError LayeredError = 0;
  TSystemError PresentError = 0;
  std::optional<TPoint> Cursor;
  bool Presented = false;

 private:
  void Log(std::string line) { log_.push_back(std::move(line)); }
  TCallLog& log_;
  desktop::testing::TFakeWindow& placement_;
};

// The notification area: every call logged, adds and deletes accepted.
class TRecordingTrayShell final : public desktop::ITrayShell {
 public:
  explicit TRecordingTrayShell(TCallLog& log) : log_(log) {}
  bool NotifyIcon(desktop::TNotifyIconMessage message, const desktop::TNotifyIconRecord& record) override {
    log_.push_back(message == desktop::nimAdd ? "NIM_ADD" : message == desktop::nimModify ? "NIM_MODIFY" : "NIM_DELETE");
    Records.push_back(record);
    return true;
  }
  std::vector<desktop::TNotifyIconRecord> Records;

 private:
  TCallLog& log_;
};

class TQuietTrayHost final : public desktop::ITrayHost {
 public:
  [[nodiscard]] std::uintptr_t WindowHandle() const override { return 0x4711; }
  [[nodiscard]] TPoint CursorPos() override { return {5, 5}; }
  [[nodiscard]] desktop::TShiftState ModifierKeys() override { return 0; }
  [[nodiscard]] bool WindowEnabled() override { return true; }
  void SetForeground() override {}
  void CancelModeToActiveWindow() override {}
  void ProcessMessages() override {}
  void ReportError(const std::exception& error) override { Errors.emplace_back(error.what()); }
  std::vector<std::string> Errors;
};

class TRecordingShell final : public IShell {
 public:
  void Execute(const TShellRequest& request) override { Requests.push_back(request); }
  std::vector<TShellRequest> Requests;
};

// The program and everything it works with. The program's folder holds the
// 100 % skin and a chime file.
struct TClockProgramRig {
  explicit TClockProgramRig(const TLocalTime& start)
      : clock(start), skin(std::string(VESK_ASSETS_DIR) + "/face") {
    placement.IsVisible = false;
    std::filesystem::create_directories(app_folder / "face");
    for (const auto& entry : std::filesystem::directory_iterator(skin.Folder())) {
      if (!entry.is_regular_file()) continue;
      std::filesystem::copy_file(entry.path(), app_folder / "face" / entry.path().filename(),
                                 std::filesystem::copy_options::overwrite_existing);
    }
    auto mci_owned = std::make_unique<TFakeMci>(mci);
    program = std::make_unique<TClockProgram>(TClockSystem{
        window, placement, clock, timer1, fade_timer, keys, shell, std::move(mci_owned), 0xC0DE, tray_shell,
        tray_host, 0x1C0, "/opt/VeskClock/VeskClock.exe", (app_folder / "").string()});
  }
  ~TClockProgramRig() {
    program.reset();
    std::error_code ec;
    std::filesystem::remove_all(app_folder, ec);
  }

  // Creation and the first showing, as the backend runs them.
  void Start() {
    program->Create();
    program->FormCreate();
    program->Show();
  }
  // Every timer tick due within `ms` milliseconds, in the order they fire
  // (the fade timer first when both are due at once), the clock moving with
  // the simulated time. `grid_us` is the system's timer interrupt period (0:
  // exact). `after_tick` runs after each tick of Timer1.
  void Run(std::int64_t ms, std::int64_t grid_us = 0, const std::function<void()>& after_tick = {}) {
    const std::int64_t end_us = now_us + ms * 1000;
    for (;;) {
      const std::int64_t fade_at = fade_timer.Enabled() ? fade_timer.NextFire(grid_us) : end_us + 1;
      const std::int64_t timer1_at = timer1.Enabled() ? timer1.NextFire(grid_us) : end_us + 1;
      const std::int64_t at = std::min(fade_at, timer1_at);
      if (at > end_us) break;
      AdvanceTo(at);
      if (fade_at == at) fade_timer.Fire([this] { program->fadeTimerTimer(); });
      if (timer1_at == at && timer1.Enabled()) {
        timer1.Fire([this] { program->Timer1Timer(); });
        if (after_tick) after_tick();
      }
    }
    AdvanceTo(end_us);
  }
  // The simulated time and the clock to `us`.
  void AdvanceTo(std::int64_t us) {
    clock.Advance(us / 1000 - now_us / 1000);
    now_us = us;
  }

  std::int64_t now_us = 0;
  TCallLog log;
  desktop::testing::TFakeWindow placement;
  TRecordingWindow window{log, placement};
  TFakeClockSource clock;
  TRecordingTimer timer1{"Timer1", log, now_us};
  TRecordingTimer fade_timer{"fadeTimer", log, now_us};
  platform::TMemoryKeyStore keys;
  TRecordingShell shell;
  TFakeMciState mci;
  TRecordingTrayShell tray_shell{log};
  TQuietTrayHost tray_host;
  TSkinCopy skin;
  std::filesystem::path app_folder = skin.Folder() + "app";
  std::unique_ptr<TClockProgram> program;
};

}  // namespace vesk::app::testing
