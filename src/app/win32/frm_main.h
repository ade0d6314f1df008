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

#include "app/blend_function.h"
#include "app/face_redraw_gate.h"
#include "app/fade_controller.h"
#include "app/menu_model.h"
#include "app/window_drag.h"
#include "app/win32/local_clock_source.h"
#include "app/win32/window_timer.h"
#include "raster/bitmap32.h"
#include "raster/image32.h"
#include "raster/rot_layer.h"

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
  // Draws the string in the font with smooth premultiplied alpha at (x, y)
  // into the destination bitmap, scaled by the fade level of this moment.
  void DrawAlphaText(int x, int y, std::string_view text, const platform::FontDesc& font,
                     raster::TBitmap32& destination);
  // Presents CompositionBitmap with the current BlendFunction at
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
  void OnTop1Click();
  void Exit1Click() { Close(); }

  // ---- components -------------------------------------------------------
  // The off-screen compositor: the face as its bitmap, then the text layer
  // and the three hands.
  std::unique_ptr<raster::TImage32> Image321 = MakeImage321();
  TWindowTimer Timer1{kTimer1Id, kTimerIntervalMs};
  TWindowTimer fadeTimer{kFadeTimerId, kTimerIntervalMs};
  // The popup menu; its three check marks are the program's settings.
  TPopupMenu PopupMenu1 = MakePopupMenu1();

  // ---- state --------------------------------------------------------------
  std::unique_ptr<raster::TBitmap32> CompositionBitmap;
  TBlendFunction BlendFunction{kBlendOpSourceOver, 0, 0, kAlphaFormatSourceAlpha};
  HDC ScreenDC = nullptr;
  POINT WindowPosition{0, 0};
  POINT SourcePoint{0, 0};
  SIZE WindowSize{0, 0};
  std::unique_ptr<raster::TBitmap32> PmaBitmap;
  std::int32_t LastMinute = 0;
  // Layers of Image321 (the layer collection owns them).
  raster::TRotLayer* TextLayer = nullptr;
  raster::TRotLayer* HourHand = nullptr;
  raster::TRotLayer* MinuteHand = nullptr;
  raster::TRotLayer* SecondHand = nullptr;

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
  static std::unique_ptr<raster::TImage32> MakeImage321();
  // A hand: a rotating layer of Image321 with its image, a Lanczos kernel
  // resampler, its pivot and the face point it turns about.
  raster::TRotLayer* CreateHand(const char* image, raster::TFloatPoint pivot);

  TApplication& application_;
  HWND handle_ = nullptr;
  TLocalClockSource clock_;
  TFadeController fade_{BlendFunction, fadeTimer};
  TFaceRedrawGate redraw_gate_{clock_};
  bool destroyed_ = false;
};

// The one clock window of the process.
extern TfrmMain* frmMain;

}  // namespace vesk::app::win32
