// The clock program's life: its components, the creation handler, the first
// showing, the two-phase close and the destroy event.
#include "app/clock_program.h"

#include <utility>

#include "app/second_timer.h"
#include "platform/process.h"

namespace vesk::app {

TClockProgram::TClockProgram(TClockSystem system)
    : MediaPlayer1(std::move(system.Mci)),
      system_(std::move(system)),
      window_(system_.Window),
      clock_(system_.Clock),
      fade_(blend_function_, system_.FadeTimer),
      redraw_gate_(clock_),
      chime_check_(clock_, last_minute_),
      settings_actions_(PopupMenu1, system_.Keys, system_.ExecutablePath,
                        TSettingsWindow{[this](TZOrderPlacement placement) { window_.SetZOrder(placement); },
                                        [this] { Close(); }, [this] { OpenProductPage(); }}) {
  // The settings storage takes these slots over when it is attached: it
  // restores the three check marks and the placement (raising its restore
  // event, which refreshes the startup registration) before FormShow runs,
  // and saves at the allowed close.
  OnShow = [this] { FormShow(); };
  OnCloseQuery = [this](bool& can_close) { FormCloseQuery(can_close); };
  OnDestroy = [this] { FormDestroy(); };
  MediaPlayer1.Callback = system_.MciCallback;
  MediaPlayer1.OnNotify = [this] { MediaPlayer1Notify(); };
}

// The icon goes first, while the window it belongs to still exists.
TClockProgram::~TClockProgram() { TrayIcon1.reset(); }

void TClockProgram::Create() {
  CreateStorageComponents();
  CreateTrayIcon();
}

void TClockProgram::CreateStorageComponents() {
  stored_items_ = MakeMenuItemComponents(PopupMenu1);
  std::vector<desktop::TStoredComponent*> components;
  for (const auto& item : stored_items_) components.push_back(item.get());
  storage_owner_ = std::make_unique<desktop::TStorageOwner>(
      OnShow, OnCloseQuery, OnDestroy, system_.Placement, [this] { return window_.Exists(); },
      std::move(components));
  FormStorage1 = std::make_unique<desktop::TFormStorage>(
      *storage_owner_, system_.Keys, [this](const std::exception& error) { window_.ShowError(error); });
  FormStorage1->Active = true;
  FormStorage1->IniFileName = "Software";
  FormStorage1->IniSection = "VeskClock";
  FormStorage1->UseRegistry = true;
  FormStorage1->RegistryRoot = desktop::prCurrentUser;
  FormStorage1->Options = desktop::TPlacementOptions{.fpState = true, .fpPosition = true, .fpActiveControl = false};
  FormStorage1->Version = 0;
  FormStorage1->SetStoredProps({"LoadatStartup1.Checked", "OnTop1.Checked", "Chimes1.Checked"});
  FormStorage1->OnRestorePlacement = [this] { settings_actions_.FormStorage1RestorePlacement(); };
  FormStorage1->Loaded();
}

void TClockProgram::CreateTrayIcon() {
  TrayIcon1 = std::make_unique<desktop::TTrayIcon>(system_.TrayShell, system_.TrayHost);
  TrayIcon1->SetHint("Vesk Clock");
  TrayIcon1->SetPopupMenu(&tray_menu_);
  TrayIcon1->OnClick = [this](desktop::TMouseButton button, desktop::TShiftState shift, int x, int y) {
    TrayIcon1Click(button, shift, x, y);
  };
  TrayIcon1->SetIcon(system_.TrayIconImage);
  TrayIcon1->SetEnabled(true);
  TrayIcon1->SetActive(true);
}

std::string TClockProgram::SkinFolder() const { return platform::JoinAppPath(system_.AppFolder, "face\\"); }

void TClockProgram::FormCreate() {
  // 1. The window becomes layered: its pixels come from the presentation.
  if (const TSystemError error = window_.MakeLayered(); error != 0) window_.ShowSystemError(error);
  // 2. No taskbar button.
  window_.HideTaskbarButton();
  // 3. No face drawn yet. (The read-out and the date are formatted in US
  // English by their own formatting code, whatever the user's locale.)
  redraw_gate_.Reset();
  // The face at the window's monitor's scale (docs/scaling.md): the text
  // layer first (the hands lie over it), the face, whose size becomes
  // everything's size, pma.png, the composition, the hands about the face
  // point (75, 75), and only the bitmap and layer paint stages.
  Face.SetScale(FaceScaleFor(window_.PixelsPerInch()));
  Face.Build(SkinFolder());
  // Invisible at first: the fade-in raises the constant alpha.
  blend_function_ = TBlendFunction{kBlendOpSourceOver, 0, 0, kAlphaFormatSourceAlpha};
  // The destination of every presentation.
  window_.AcquireScreen();
  const TRect bounds = window_.Bounds();
  window_position_ = TPoint{bounds.Left, bounds.Top};
  source_point_ = TPoint{0, 0};
  window_size_ = TSize{Face.Width(), Face.Height()};
  // The window takes the face's size.
  window_.SetSize(window_size_);
  // The chime beside the executable.
  MediaPlayer1.FileName = platform::JoinAppPath(system_.AppFolder, "sound\\chime.mp3");
  // The fade-in starts; faces from now on.
  fade_.BeginFadeIn();
  last_minute_ = clock_.Now().Minute;
  // The first tick soon; from then on each tick arms the next.
  system_.Timer1.SetInterval(kFirstTickMs);
  system_.Timer1.SetEnabled(true);
}

void TClockProgram::Show() {
  if (OnShow) OnShow();
  window_.ShowFirst();
}

void TClockProgram::FormShow() {
  window_.MakeDesktopOwner();
  // "On Top" as restored.
  settings_actions_.OnTop1Click();
  window_.BringToForeground();
}

bool TClockProgram::CloseQuery() {
  bool can_close = true;
  if (OnCloseQuery) OnCloseQuery(can_close);
  return can_close;
}

void TClockProgram::FormCloseQuery(bool& can_close) { can_close = fade_.CloseQuery(); }

void TClockProgram::Close() {
  // The first request starts the fade-out and is refused; the one the fade
  // makes at its end (or a second one before that) is allowed, and closing
  // the main window ends the program.
  if (!CloseQuery()) return;
  TCloseAction action = caHide;
  FormClose(action);
  if (action == caNone) return;
  window_.EndProgram();
}

void TClockProgram::FormClose(TCloseAction& /*action*/) {}

void TClockProgram::Destroy() {
  if (destroyed_) return;
  destroyed_ = true;
  if (OnDestroy) OnDestroy();
}

void TClockProgram::FormDestroy() {
  Face.FreeOwned();  // PmaBitmap, CompositionBitmap and TextLayer
  window_.ReleaseScreen();
}

void TClockProgram::OpenProductPage() { app::OpenProductPage(system_.Keys, system_.Shell); }

}  // namespace vesk::app
