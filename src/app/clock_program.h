#pragma once
// The clock program: everything the clock decides and the order it does it
// in, without the window system. It builds the face, runs the fade-in, the
// per-second face and the chime on its timers, the two-phase close with its
// fade-out, the menu's commands, the settings storage's wiring, the icon's
// clicks and the move to a monitor of another scale. It asks its window
// (IClockWindow) and the system's seams (clock, timers, key store, shell,
// MCI, the notification area) for everything else.
//
// The Windows backend turns each message into one call of an entry point
// below; tests drive the same entry points with fakes.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/chime_check.h"
#include "app/clock_face.h"
#include "app/clock_source.h"
#include "app/clock_window.h"
#include "app/face_redraw_gate.h"
#include "app/fade_controller.h"
#include "app/mci_interface.h"
#include "app/media_player.h"
#include "app/menu_model.h"
#include "app/product_page.h"
#include "app/settings_actions.h"
#include "app/stored_menu_items.h"
#include "app/timer.h"
#include "app/window_drag.h"
#include "base/blend_function.h"
#include "base/geometry.h"
#include "desktop/form_storage.h"
#include "desktop/storage_owner.h"
#include "desktop/tray_icon.h"
#include "platform/key_store.h"

namespace vesk::app {

// What happens to a window whose close was allowed.
enum class TCloseAction : std::uint8_t { caNone, caHide, caFree, caMinimize };
using enum TCloseAction;

// What the program works with. Everything but the MCI outlives the program.
struct TClockSystem {
  IClockWindow& Window;
  // The window's placement as the settings storage reads and writes it.
  desktop::IPlacementWindow& Placement;
  TClockSource& Clock;
  // Timer1, armed by each of its ticks for just after the next second,
  // and the 10 ms fade timer; their ticks come back as Timer1Timer and
  // fadeTimerTimer.
  ITimer& Timer1;
  ITimer& FadeTimer;
  // The current user's registry (settings, startup registration, browser
  // setting).
  platform::IKeyStore& Keys;
  IShell& Shell;
  // The media player's device interface, and the window its notifications
  // reach (they come back as MediaNotify).
  std::unique_ptr<IMciInterface> Mci;
  TMciCallback MciCallback = 0;
  // The notification area and the icon's hidden window (its messages come
  // back as TrayNotify), and the icon's image.
  desktop::ITrayShell& TrayShell;
  desktop::ITrayHost& TrayHost;
  std::uintptr_t TrayIconImage = 0;
  // The executable's full path, and the folder it lies in (ending with the
  // path separator), where the skin, the chime and the fonts are.
  std::string ExecutablePath;
  std::string AppFolder;
};

class TClockProgram {
 public:
  explicit TClockProgram(TClockSystem system);
  ~TClockProgram();
  TClockProgram(const TClockProgram&) = delete;
  TClockProgram& operator=(const TClockProgram&) = delete;

  // ---- entry points --------------------------------------------------------
  // The components, in the order the window's resource makes them: the
  // menu's actions, the settings storage (which takes the show, close-query
  // and destroy events over) and the notification-area icon, shown from
  // here on.
  void Create();
  // The window's creation handler. An error ends it at the failing step; the
  // caller reports it, and the timers then never start.
  void FormCreate();
  // The first showing: the show event (the storage restores, then FormShow),
  // then the window appears.
  void Show();
  // A close request (the Exit item, WM_CLOSE): the close-query event
  // decides; an allowed close ends the program.
  void Close();
  // The close-query event alone (also the system's end-of-session query);
  // true when the window may close.
  [[nodiscard]] bool CloseQuery();
  // The window goes: the destroy event, once.
  void Destroy();

  // Draws a face when the second has changed, checks the hourly chime, and
  // arms Timer1 for just after the next second (also when the tick fails).
  void Timer1Timer();
  void fadeTimerTimer();
  // The system's time, its time zone or both changed, or the system resumed
  // from sleep: a tick at once (the face shows the new time) that also arms
  // Timer1 again from the new time. Nothing before the timer has started.
  void TimeChanged();
  // A mouse move over the window with these buttons held.
  void MouseMove(const TMouseButtons& buttons, TPoint at);
  // A right click on the window (or its menu key).
  void ContextMenu();
  // A command chosen from PopupMenu1.
  void Command(std::uint16_t id);
  // A message of the icon's hidden window; true when the icon handled it.
  bool TrayNotify(std::uint32_t message, std::uintptr_t wparam, std::intptr_t lparam);
  // The shell's notification area was made anew.
  void ShellRestarted();
  // A notification of the media player's device (wParam of MM_MCINOTIFY).
  void MediaNotify(std::uint32_t flags);
  // The window moved to a monitor of `pixels_per_inch`; the system suggests
  // `suggested` for it.
  void DpiChanged(std::int32_t pixels_per_inch, const TRect& suggested);
  // A minimize command to the application's window: the clock hides (the
  // icon shows it again).
  void ApplicationMinimize();
  // The program was started again: the clock comes forward, shown with a
  // fresh face if it was hidden.
  void BringForward();

  // ---- the window's handlers -------------------------------------------------
  void FormShow();
  void FormCloseQuery(bool& can_close);
  // Nothing: the default action applies, and closing the main window ends
  // the program.
  void FormClose(TCloseAction& action);
  void FormDestroy();
  void FormMouseMove(const TMouseButtons& buttons, TPoint at);
  // Composes the face for the current time and presents it if the window is
  // visible.
  void RenderClock();
  void TrayIcon1Click(desktop::TMouseButton button, desktop::TShiftState shift, int x, int y);
  void MediaPlayer1Notify();
  void OpenProductPage();

  // ---- components --------------------------------------------------------------
  TClockFace Face;
  TPopupMenu PopupMenu1 = MakePopupMenu1();
  TMediaPlayer MediaPlayer1;
  std::unique_ptr<desktop::TFormStorage> FormStorage1;
  std::unique_ptr<desktop::TTrayIcon> TrayIcon1;

  // ---- state, for the tests ----------------------------------------------------
  [[nodiscard]] const TBlendFunction& BlendFunction() const { return blend_function_; }
  [[nodiscard]] bool Closing() const { return fade_.Closing(); }
  [[nodiscard]] std::int32_t LastSecondOfYear() const { return redraw_gate_.LastSecondOfYear(); }
  [[nodiscard]] std::int32_t LastMinute() const { return last_minute_; }
  [[nodiscard]] TPoint WindowPosition() const { return window_position_; }
  [[nodiscard]] TSize WindowSize() const { return window_size_; }

 private:
  // The icon's right-click menu: PopupMenu1 through the window.
  class TTrayMenu final : public desktop::ITrayPopupMenu {
   public:
    explicit TTrayMenu(TClockProgram& program) : program_(program) {}
    [[nodiscard]] bool AutoPopup() const override { return true; }
    void SetPopupComponent(const desktop::TTrayIcon* /*component*/) override {}
    void Popup(int x, int y) override;
    bool ClickDefaultItem() override { return false; }  // PopupMenu1 has none

   private:
    TClockProgram& program_;
  };

  // Presents the composition with the current blend record at the window's
  // position; a refusal is reported and changes nothing.
  void UpdateLayered();
  void CheckHourlyChime();
  void ArmTimer1ForNextSecond();
  void CreateStorageComponents();
  void CreateTrayIcon();
  // The folder of the skin images, ending with the path separator.
  [[nodiscard]] std::string SkinFolder() const;

  TClockSystem system_;
  IClockWindow& window_;
  // The event slots the settings storage takes over.
  desktop::TShowHandler OnShow;
  desktop::TCloseQueryHandler OnCloseQuery;
  desktop::TDestroyHandler OnDestroy;

  TBlendFunction blend_function_{kBlendOpSourceOver, 0, 0, kAlphaFormatSourceAlpha};
  TPoint window_position_{};
  TPoint source_point_{};
  TSize window_size_{};
  std::int32_t last_minute_ = 0;
  bool destroyed_ = false;

  // Every reading of the program goes through this, so that each tick can
  // arm Timer1 from its own last reading.
  TLastReadingClockSource clock_;
  TFadeController fade_;
  TFaceRedrawGate redraw_gate_;
  TChimeCheck chime_check_;
  TSettingsActions settings_actions_;
  std::vector<std::unique_ptr<TMenuItemComponent>> stored_items_;
  std::unique_ptr<desktop::TStorageOwner> storage_owner_;
  TTrayMenu tray_menu_{*this};
};

}  // namespace vesk::app
