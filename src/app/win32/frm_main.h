#pragma once
// The clock window as the Windows backend makes it: a borderless layered
// popup tool window whose whole appearance is one premultiplied 32-bit
// bitmap handed to the window manager. It turns each message into one call
// of the clock program (inside the error-box bracket) and carries out the
// program's requests (IClockWindow) as system calls; it decides nothing.
// Around it: the two window-message timers (Timer1 once a second, the
// fade timer every 10 ms while a fade runs), the hidden windows of the menu,
// the icon and the media player, the current user's registry and the shell.
#include <windows.h>

#include <memory>

#include "app/clock_program.h"
#include "app/clock_window.h"
#include "app/second_timer.h"
#include "app/win32/local_clock_source.h"
#include "app/win32/mci_win32.h"
#include "app/win32/message_window.h"
#include "app/win32/placement_window_win32.h"
#include "app/win32/popup_menu.h"
#include "app/win32/system_shell.h"
#include "app/win32/tray_icon_win32.h"
#include "app/win32/window_timer.h"
#include "platform/key_store.h"

namespace vesk::app::win32 {

class TApplication;

inline constexpr const wchar_t* kMainWindowClass = L"TfrmMain";
inline constexpr const wchar_t* kMainWindowCaption = L"Vesk Clock";
inline constexpr int kDesignLeft = 192;
inline constexpr int kDesignTop = 114;
inline constexpr int kDesignWidth = 518;
inline constexpr int kDesignHeight = 473;
inline constexpr UINT_PTR kTimer1Id = 1;
inline constexpr UINT_PTR kFadeTimerId = 2;
inline constexpr UINT kFadeIntervalMs = 10;

class TfrmMain final : public TMessageWindow, public IClockWindow {
 public:
  // Makes the window, its timers and hidden windows and the program, whose
  // components come next and then its creation handler (an error there is
  // shown and the window stays, empty).
  explicit TfrmMain(TApplication& application);
  ~TfrmMain() override;

  [[nodiscard]] TClockProgram& Program() { return *program_; }

  // At the end of the program: runs the destroy event and leaves the window
  // itself to the system, which removes it with the process. (Hiding a
  // window first, as destroying it does, can stall for seconds where the
  // window manager is slow to answer; the window is already faded out.)
  void ReleaseAtExit();

  // ---- IClockWindow --------------------------------------------------------------
  [[nodiscard]] TSystemError MakeLayered() override;
  void HideTaskbarButton() override;
  void AcquireScreen() override;
  void ReleaseScreen() override;
  void MakeDesktopOwner() override;
  void ShowFirst() override;
  [[nodiscard]] bool Exists() override { return Handle() != nullptr; }
  [[nodiscard]] bool Visible() override;
  [[nodiscard]] TRect Bounds() override;
  [[nodiscard]] std::int32_t PixelsPerInch() override;
  [[nodiscard]] std::optional<TPoint> CursorPos() override;
  [[nodiscard]] TSystemError Present(const raster::TBitmap32& composition, const TBlendFunction& blend,
                                    TPoint position, TSize size, TPoint source) override;
  void SetSize(TSize size) override;
  void SetBounds(const TRect& bounds) override;
  void SetZOrder(TZOrderPlacement placement) override;
  void ShowNormal() override;
  void Hide() override;
  void BringToForeground() override;
  void BeginMove() override;
  void PopupMenuAtCursor(const TPopupMenu& menu) override;
  void TrackMenu(const TPopupMenu& menu, TPoint at) override;
  void EndProgram() override;
  void ShowError(const std::exception& error) override;
  void ShowSystemError(TSystemError code) override;

 private:
  bool HandleMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result) override;
  // The destroy event, once: the timers stop, then the program's.
  void DoDestroy();
  // A change of the system's time or time zone, or a resume from sleep.
  void TimeChanged();

  TApplication& application_;
  // The message a second start of the program sends (0 if not registered).
  UINT bring_forward_message_ = 0;
  // The destination of every presentation, held from creation to destruction.
  HDC screen_dc_ = nullptr;
  // How the first showing shows the window: the state a restore asked for.
  int show_command_ = SW_SHOWNORMAL;
  bool destroyed_ = false;

  TLocalClockSource clock_;
  TWindowTimer timer1_{kTimer1Id, kFirstTickMs};
  TWindowTimer fade_timer_{kFadeTimerId, kFadeIntervalMs};
  std::unique_ptr<platform::IKeyStore> key_store_;
  TSystemShell shell_;
  std::unique_ptr<TWin32PlacementWindow> placement_window_;
  std::unique_ptr<TPopupMenuWindow> popup_window_;
  std::unique_ptr<TTrayIconWindow> tray_window_;
  std::unique_ptr<TMediaPlayerWindow> media_window_;
  // Last, so that it goes first: its icon and its device need the windows.
  std::unique_ptr<TClockProgram> program_;
};

// The one clock window of the process.
extern TfrmMain* frmMain;

}  // namespace vesk::app::win32
