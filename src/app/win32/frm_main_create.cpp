// The clock window's creation, first showing and destruction handlers, and
// the "On Top" setting.
#include "app/win32/application.h"
#include "app/win32/frm_main.h"
#include "imaging/skin_loader.h"

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

  // 4. TODO(step 4): create TextLayer as a TRotLayer in Image321's layer
  // collection once the image control and the rotating layer exist.

  // 5. The face: its size becomes the size of everything else.
  face_bitmap_ = std::make_unique<raster::TBitmap32>();
  face_bitmap_->SetSize(600, 400);
  face_bitmap_->Clear(0);
  imaging::LoadSkinImage(*face_bitmap_, "face\\clockface.png");
  face_bitmap_->SetCombineMode(raster::cmBlend);
  const std::int32_t face_width = face_bitmap_->Width();
  const std::int32_t face_height = face_bitmap_->Height();

  // 6. Never drawn, but it must load.
  PmaBitmap = std::make_unique<raster::TBitmap32>();
  PmaBitmap->SetSize(120, 120);
  imaging::LoadSkinImage(*PmaBitmap, "face\\pma.png");

  // 7. TODO(step 7): size TextLayer's bitmap to the face, clear it to 0, draw
  // mode dmBlend, combine mode cmMerge (needs the rotating layer).

  // 8. Invisible at first: the fade-in raises the constant alpha.
  BlendFunction = TBlendFunction{kBlendOpSourceOver, 0, 0, kAlphaFormatSourceAlpha};

  // 9. The destination of every layered-window update.
  ScreenDC = GetDC(nullptr);

  // 10. The composition, the source of every update.
  CompositionBitmap = std::make_unique<raster::TBitmap32>();
  CompositionBitmap->SetWidth(face_width);
  CompositionBitmap->SetHeight(face_height);
  CompositionBitmap->SetCombineMode(raster::cmMerge);

  // 11.
  WindowPosition = CurrentPosition();
  SourcePoint = POINT{0, 0};
  WindowSize = SIZE{face_width, face_height};

  // 12. TODO(step 12): the hour, minute and second hands as TRotLayers of
  // Image321 (face\hours.png, face\minutes.png, face\seconds.png), each with
  // a TKernelResampler of a TLanczosKernel, pivots (4.0, 42.5), (2.5, 51.0),
  // (3.5, 61.0), all placed at (75, 75).

  // 13. TODO(step 13): delete Image321's paint stages 3, 1 and 0, leaving
  // the face bitmap and the visible layers.

  // 14. The window takes the face's size.
  SetClientSize(face_width, face_height);

  // 15. TODO(step 15): the media player's file name, the executable's folder
  // followed by sound\chime.mp3 (needs the media player component).

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

void TfrmMain::OnTop1Click() {
  // A failure only leaves the window where it is in the z-order.
  SetWindowPos(handle_, Settings.OnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

void TfrmMain::FormDestroy() {
  PmaBitmap.reset();
  CompositionBitmap.reset();
  face_bitmap_.reset();
  // TODO(step 4): free TextLayer here once it exists.
  if (ScreenDC != nullptr) {
    ReleaseDC(nullptr, ScreenDC);
    ScreenDC = nullptr;
  }
}

}  // namespace vesk::app::win32
