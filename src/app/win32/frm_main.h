#pragma once
// The clock window: a borderless layered popup whose whole appearance is one
// premultiplied 32-bit bitmap handed to the window manager, faded in at
// start and out at close, moved by dragging, kept on top on request.
//
// The window turns messages into calls of its handlers; the decisions (fade
// steps, the two-phase close, when a face is due, the text layout, when a
// drag starts) live in the portable code of src/app.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>
#include <vector>

#include "base/blend_function.h"
#include "app/chime_check.h"
#include "app/clock_face.h"
#include "app/face_redraw_gate.h"
#include "app/fade_controller.h"
#include "app/menu_model.h"
#include "app/settings_actions.h"
#include "app/stored_menu_items.h"
#include "app/window_drag.h"
#include "app/win32/local_clock_source.h"
#include "app/win32/mci_win32.h"
#include "app/win32/placement_window_win32.h"
#include "app/win32/popup_menu.h"
#include "app/win32/tray_icon_win32.h"

#include "app/win32/system_shell.h"
#include "app/win32/window_timer.h"
#include "desktop/form_storage.h"
#include "desktop/storage_owner.h"
#include "platform/key_store.h"

namespace vesk::app::win32 {

class TApplication;

inline constexpr const wchar_t* kMainWindowClass = L"TfrmMain";
inline constexpr const char* kMainWindowCaption = "Vesk Clock";
inline constexpr int kDesignLeft = 192;
inline constexpr int kDesignTop = 114;
inline constexpr int kDesignWidth = 518;
inline constexpr int kDesignHeight = 473;
inline constexpr UINT_PTR kTimer1Id = 1;
inline constexpr UINT_PTR kFadeTimerId = 2;
inline constexpr UINT kTimerIntervalMs = 10;

// What happens to a window whose close was allowed.
enum class TCloseAction : std::uint8_t { caNone, caHide, caFree, caMinimize };

class TfrmMain {
 public:
  // Makes the window and its components, then runs the creation handler
  // (an error there is shown and the window stays, empty).
  explicit TfrmMain(TApplication& application);
  ~TfrmMain();
  TfrmMain(const TfrmMain&) = delete;
  TfrmMain& operator=(const TfrmMain&) = delete;

  [[nodiscard]] HWND Handle() const { return handle_; }

  // At the end of the program: runs the destroy event and leaves the window
  // itself to the system, which removes it with the process. (Hiding a
  // window first, as destroying it does, can stall for seconds where the
  // window manager is slow to answer; the window is already faded out.)
  void ReleaseAtExit();

  // Raises the show event, then shows the window.
  void Show();
  // A close request: the close-query event decides; an allowed close of the
  // main window ends the program.
  void Close();
  // Runs the close-query event alone; true when the window may close.
  [[nodiscard]] bool CloseQuery();

  // Composes the face for the current time and presents it if the window is
  // visible.
  void RenderClock();
  // Presents Face.CompositionBitmap with the current BlendFunction at
  // WindowPosition.
  void UpdateLayered();

  // ---- event slots --------------------------------------------------------
  // Bound to the handlers below. A component that must act around one of
  // them (the settings storage) takes the slot over and calls the displaced
  // handler itself.
  std::function<void()> OnShow;
  std::function<void(bool& can_close)> OnCloseQuery;
  std::function<void()> OnDestroy;

  // ---- handlers -----------------------------------------------------------
  void FormCreate();
  void FormShow();
  void FormMouseMove(const TMouseButtons& buttons, int x, int y);
  void FormCloseQuery(bool& can_close);
  void FormClose(TCloseAction& action);
  void FormDestroy();
  void fadeTimerTimer();
  void Timer1Timer();
  // The menu's commands (PopupMenu1's items call these). The check mark of
  // an automatic item has already flipped when its handler runs.
  void VeskClock1Click();
  void OnTop1Click();
  void LoadatStartup1Click();
  void Exit1Click();
  // The settings storage's restore event: refreshes the startup
  // registration, so a moved executable is registered under its new path.
  void FormStorage1RestorePlacement();

  // ---- components -------------------------------------------------------
  // The face: the off-screen compositor Image321 (the face as its bitmap,
  // then the text layer and the three hands), the CompositionBitmap it
  // paints into and PmaBitmap, built by FormCreate and composed by
  // RenderClock.
  TClockFace Face;
  TWindowTimer Timer1{kTimer1Id, kTimerIntervalMs};
  TWindowTimer fadeTimer{kFadeTimerId, kTimerIntervalMs};
  // The popup menu; its three check marks are the program's settings (the
  // chime reads PopupMenu1.Checked("Chimes1")). The window's context menu,
  // and the notification-area icon's.
  TPopupMenu PopupMenu1 = MakePopupMenu1();
  // Opens PopupMenu1 and turns the chosen command into a click of its item.
  [[nodiscard]] TPopupMenuWindow& PopupMenuWindow() { return *popup_window_; }

  // ---- settings storage ---------------------------------------------------
  // Keeps the three check marks and the window's position in
  // HKEY_CURRENT_USER\Software\VeskClock: restores them when the window is
  // first shown (before FormShow, which so applies the restored "On Top")
  // and saves them at the allowed close. It holds the show, close-query and
  // destroy slots while it exists.
  std::unique_ptr<desktop::TFormStorage> FormStorage1;

  // ---- notification-area icon ---------------------------------------------
  // TrayIcon1: the clock's icon in the notification area, added before
  // FormCreate runs and removed when the window object goes. Hint "Vesk
  // Clock", the program's 16 x 16 icon, PopupMenu1 on a right click,
  // TrayIcon1Click on a left click.
  [[nodiscard]] desktop::TTrayIcon& TrayIcon1() { return tray_window_->Component(); }
  // Hides a visible clock; shows a hidden one with a fresh face at once, in
  // the foreground. Nothing else changes: faces are composed and fades run
  // on while the window is hidden.
  void TrayIcon1Click(desktop::TMouseButton button, desktop::TShiftState shift, int x, int y);

  // ---- hourly chime -------------------------------------------------------
  // Plays sound\chime.mp3 (its file name is set by FormCreate); its own
  // window receives the completion notifications.
  TMediaPlayer MediaPlayer1{std::make_unique<TWinMci>()};
  // The player's notify event: a device that has stopped (or still plays)
  // is closed; with no device open nothing happens.
  void MediaPlayer1Notify();
  // The last step of every Timer1 tick: at the full hour, with "Chimes"
  // checked, opens and plays the chime. A failed open is raised out of the
  // tick (once per hour, see TChimeCheck).
  void CheckHourlyChime();

  // ---- about action -------------------------------------------------------
  // Opens the product page in a new browser window (VeskClock1Click, through
  // the settings actions), with the browser setting in the current user's
  // registry changed only around the shell's request.
  void OpenProductPage();

  // ---- display scale ------------------------------------------------------
  // The pixels per inch of the window's monitor (96 when unknown).
  [[nodiscard]] std::int32_t MonitorPixelsPerInch() const;
  // WM_DPICHANGED: the face built again at the new scale, the window at the
  // suggested place with the new size, the cursor keeping its grip.
  void FormDpiChanged(std::int32_t pixels_per_inch, const RECT& suggested);

  // ---- state --------------------------------------------------------------
  TBlendFunction BlendFunction{kBlendOpSourceOver, 0, 0, kAlphaFormatSourceAlpha};
  HDC ScreenDC = nullptr;
  POINT WindowPosition{0, 0};
  POINT SourcePoint{0, 0};
  SIZE WindowSize{0, 0};
  std::int32_t LastMinute = 0;

  [[nodiscard]] bool Closing() const { return fade_.Closing(); }
  [[nodiscard]] std::int32_t LastSecondOfYear() const { return redraw_gate_.LastSecondOfYear(); }

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam);
  // The destroy event, once.
  void DoDestroy();
  void CreateHandle();
  // The window's current Left and Top.
  [[nodiscard]] POINT CurrentPosition() const;
  void SetClientSize(int width, int height);
  // Makes the settings actions and the menu's window, and binds the menu's
  // items to the handlers above.
  void CreateMenuComponents();
  // A right-click (or the keyboard's menu key) on the clock: PopupMenu1 at
  // the mouse position.
  void ShowContextMenu();

  TApplication& application_;
  HWND handle_ = nullptr;
  TLocalClockSource clock_;
  TFadeController fade_{BlendFunction, fadeTimer};
  TFaceRedrawGate redraw_gate_{clock_};
  bool destroyed_ = false;
  // The current user's registry, where the startup registration lives.
  std::unique_ptr<platform::IKeyStore> key_store_;
  std::unique_ptr<TSettingsActions> settings_actions_;
  std::unique_ptr<TPopupMenuWindow> popup_window_;

  // settings storage (private)
  // Makes FormStorage1 with the clock's settings and attaches it.
  void CreateStorageComponents();
  std::unique_ptr<TWin32PlacementWindow> placement_window_;
  std::vector<std::unique_ptr<TMenuItemComponent>> stored_items_;
  std::unique_ptr<desktop::TStorageOwner> storage_owner_;
  // How Show shows the window: the state a restore asked for.
  int show_command_ = SW_SHOWNORMAL;

  // notification-area icon (private)
  // Makes TrayIcon1 with its settings; the icon is shown from here on.
  void CreateTrayIcon();
  std::unique_ptr<TTrayPopupMenu> tray_menu_;
  std::unique_ptr<TTrayIconWindow> tray_window_;

  // hourly chime (private)
  // Makes the media player's window and binds its notify event.
  void CreateChimeComponents();
  std::unique_ptr<TMediaPlayerWindow> media_player_window_;
  TChimeCheck chime_check_{clock_, LastMinute};

  // about action (private)
  TSystemShell shell_;
};

// The one clock window of the process.
extern TfrmMain* frmMain;

}  // namespace vesk::app::win32
