#pragma once
// The window's part of the chime, for tests: a fake clock, LastMinute as
// FormCreate sets it, the check, the real player over a fake MCI, and
// "Chimes".
#include <cstdint>
#include <memory>

#include "app/chime_check.h"
#include "app/clock_source.h"
#include "fake_mci.h"

namespace vesk::app {

struct TChimeRig {
  TFakeClockSource clock;
  std::int32_t LastMinute;
  TChimeCheck check{clock, LastMinute};
  TFakeMciState mci;
  TFakeMci* device = nullptr;  // the fake interface, owned by the player
  std::unique_ptr<TMediaPlayer> player;
  bool chimes = true;

  explicit TChimeRig(const TLocalTime& start) : clock(start), LastMinute(start.Minute) {
    auto owned = std::make_unique<TFakeMci>(mci);
    device = owned.get();
    player = std::make_unique<TMediaPlayer>(std::move(owned));
    player->OnNotify = [this] { CloseFinishedChime(*player); };
  }
  // The MCI_OPEN commands sent so far.
  [[nodiscard]] int Opens() const {
    int n = 0;
    for (const TMciCall& call : mci.Calls) n += call.Command == kMciOpen;
    return n;
  }
};

}  // namespace vesk::app
