// The clock window's creation, first showing and destruction handlers.
#include "app/win32/application.h"
#include "app/settings_actions.h"
#include "app/win32/frm_main.h"
#include "app/win32/settings_actions_win32.h"
#include "imaging/skin_loader.h"
#include "platform/process.h"

namespace vesk::app::win32 {

void TfrmMain::FormCreate() {
  // 1. The window becomes layered: its pixels come from UpdateLayeredWindow.
  SetLastError(0);
  const LONG_PTR ex_style = GetWindowLongPtrW(handle_, GWL_EXSTYLE);
  if (SetWindowLongPtrW(handle_, GWL_EXSTYLE, ex_style | WS_EX_LAYERED) == 0) {
    const DWORD error = GetLastError();
    if (error != 0) application_.ShowSystemError(error);
  }

  // 2. No taskbar button: the application window is hidden and a tool window.
  const HWND app_window = application_.Handle();
  ShowWindow(app_window, SW_HIDE);
  SetWindowLongPtrW(app_window, GWL_EXSTYLE, GetWindowLongPtrW(app_window, GWL_EXSTYLE) | WS_EX_TOOLWINDOW);

  // 3. No face drawn yet. (The read-out and the date are formatted in US
  // English by their own formatting code, whatever the user's locale.)
  redraw_gate_.Reset();

  // The face is built for the window's monitor's scale (docs/scaling.md).
  Face.SetScale(FaceScaleFor(MonitorPixelsPerInch()));

  // 4. The text layer comes first, so the hands lie over the text.
  Face.CreateTextLayer();

  // 5. The face (face\clockface.png beside the executable): its size
  // becomes the size of everything else.
  const std::string skin_folder = imaging::SkinFilePath("face\\");
  Face.LoadFace(skin_folder);
  const std::int32_t face_width = Face.Width();
  const std::int32_t face_height = Face.Height();

  // 6. Never drawn, but it must load.
  Face.LoadPma(skin_folder);

  // 7.
  Face.PrepareTextLayer();

  // 8. Invisible at first: the fade-in raises the constant alpha.
  BlendFunction = TBlendFunction{kBlendOpSourceOver, 0, 0, kAlphaFormatSourceAlpha};

  // 9. The destination of every layered-window update.
  ScreenDC = GetDC(nullptr);

  // 10. The composition, the source of every update.
  Face.CreateCompositionBitmap();

  // 11.
  WindowPosition = CurrentPosition();
  SourcePoint = POINT{0, 0};
  WindowSize = SIZE{face_width, face_height};

  // 12. The hands, pointing to twelve o'clock at angle 0, all turning about
  // the face point (75, 75).
  Face.CreateHands(skin_folder);

  // 13. Of the default stages (background, control frame, bitmap, bitmap
  // frame, layers) only the bitmap and the visible layers stay.
  Face.KeepBitmapAndLayerStages();

  // 14. The window takes the face's size.
  SetClientSize(face_width, face_height);

  // 15. The chime beside the executable.
  MediaPlayer1.FileName = platform::ExecutableFolder() + "sound\\chime.mp3";

  // 16. The fade-in starts.
  fade_.BeginFadeIn();

  // 17.
  LastMinute = clock_.Now().Minute;

  // 18. Faces from now on.
  Timer1.SetEnabled(true);
}

void TfrmMain::FormShow() {
  // The desktop becomes the owner, so the window stays when the application
  // window is minimized.
  SetWindowLongPtrW(handle_, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(GetDesktopWindow()));
  OnTop1Click();
  SetForegroundWindow(handle_);
}

void TfrmMain::FormDestroy() {
  Face.FreeOwned();  // PmaBitmap, CompositionBitmap and TextLayer
  if (ScreenDC != nullptr) {
    ReleaseDC(nullptr, ScreenDC);
    ScreenDC = nullptr;
  }
}

}  // namespace vesk::app::win32
