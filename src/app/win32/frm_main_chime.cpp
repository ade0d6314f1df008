// The hourly chime: the trigger at the end of every tick and the player's
// notify event, which closes the device when the sound has ended.
#include "app/win32/application.h"
#include "app/win32/frm_main.h"

namespace vesk::app::win32 {

void TfrmMain::CreateChimeComponents() {
  media_player_window_ = std::make_unique<TMediaPlayerWindow>(application_.Instance(), MediaPlayer1);
  MediaPlayer1.OnNotify = [this] { MediaPlayer1Notify(); };
}

void TfrmMain::CheckHourlyChime() {
  chime_check_.Run(PopupMenu1.Checked("Chimes1"), [this] { StartChime(MediaPlayer1); });
}

void TfrmMain::MediaPlayer1Notify() { CloseFinishedChime(MediaPlayer1); }

}  // namespace vesk::app::win32
