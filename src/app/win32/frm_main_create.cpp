// The clock window's creation, first showing and destruction handlers, and
// the "On Top" setting.
#include "app/win32/application.h"
#include "app/settings_actions.h"
#include "app/win32/frm_main.h"
#include "app/win32/settings_actions_win32.h"
#include "imaging/skin_loader.h"
#include "raster/kernel_resampler.h"
#include "raster/kernels.h"
#include "raster/nearest_resampler.h"

namespace vesk::app::win32 {

std::unique_ptr<raster::TImage32> TfrmMain::MakeImage321() {
  auto image = std::make_unique<raster::TImage32>();
  image->SetVisible(false);
  image->Bitmap().SetCombineMode(raster::cmMerge);
  raster::TNearestResampler::Create(image->Bitmap());
  image->SetBitmapAlign(raster::baTopLeft);
  image->SetScale(1.0f);
  image->SetScaleMode(raster::smNormal);
  return image;
}

raster::TRotLayer* TfrmMain::CreateHand(const char* image, raster::TFloatPoint pivot) {
  auto* hand = Image321->Layers().Add<raster::TRotLayer>();
  imaging::LoadSkinImage(hand->Bitmap(), image);
  raster::TKernelResampler::Create(hand->Bitmap())->SetKernel(std::make_unique<raster::TLanczosKernel>());
  hand->SetBitmapCenter(pivot);
  hand->SetPosition(raster::TFloatPoint{75.0f, 75.0f});
  return hand;
}

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

  // 4. The text layer comes first, so the hands lie over the text.
  TextLayer = Image321->Layers().Add<raster::TRotLayer>();

  // 5. The face: its size becomes the size of everything else.
  raster::TBitmap32& face = Image321->Bitmap();
  face.SetSize(600, 400);
  face.Clear(0);
  imaging::LoadSkinImage(face, "face\\clockface.png");
  face.SetCombineMode(raster::cmBlend);
  const std::int32_t face_width = face.Width();
  const std::int32_t face_height = face.Height();

  // 6. Never drawn, but it must load.
  PmaBitmap = std::make_unique<raster::TBitmap32>();
  PmaBitmap->SetSize(120, 120);
  imaging::LoadSkinImage(*PmaBitmap, "face\\pma.png");

  // 7.
  raster::TBitmap32& text = TextLayer->Bitmap();
  text.SetSize(face_width, face_height);
  text.Clear(0);
  text.SetDrawMode(raster::dmBlend);
  text.SetCombineMode(raster::cmMerge);

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

  // 12. The hands, pointing to twelve o'clock at angle 0, all turning about
  // the face point (75, 75).
  HourHand = CreateHand("face\\hours.png", raster::TFloatPoint{4.0f, 42.5f});
  MinuteHand = CreateHand("face\\minutes.png", raster::TFloatPoint{2.5f, 51.0f});
  SecondHand = CreateHand("face\\seconds.png", raster::TFloatPoint{3.5f, 61.0f});

  // 13. Of the default stages (background, control frame, bitmap, bitmap
  // frame, layers) only the bitmap and the visible layers stay.
  Image321->PaintStages().Delete(3);
  Image321->PaintStages().Delete(1);
  Image321->PaintStages().Delete(0);

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

void TfrmMain::OnTop1Click() { ApplyZOrder(handle_, OnTopPlacement(PopupMenu1.Checked("OnTop1"))); }

void TfrmMain::FormDestroy() {
  PmaBitmap.reset();
  CompositionBitmap.reset();
  delete TextLayer;  // leaves the layer collection
  TextLayer = nullptr;
  if (ScreenDC != nullptr) {
    ReleaseDC(nullptr, ScreenDC);
    ScreenDC = nullptr;
  }
}

}  // namespace vesk::app::win32
