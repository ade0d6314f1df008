// The media player over a recording fake of MCI: the commands, flags and
// options of each operation, the notify event, and the device errors.
#include <gtest/gtest.h>

#include <memory>

#include "app/chime_check.h"
#include "app/media_player.h"
#include "fake_mci.h"

namespace vesk::app {
namespace {

constexpr TMciCallback kWindow = 0x5150;
constexpr const char* kChimeFile = "C:\\Clock\\sound\\chime.mp3";

struct Player {
  TFakeMciState mci_state;
  TFakeMci* mci = nullptr;
  std::unique_ptr<TMediaPlayer> player;

  Player() {
    auto fake = std::make_unique<TFakeMci>(mci_state);
    mci = fake.get();
    player = std::make_unique<TMediaPlayer>(std::move(fake));
    player->FileName = kChimeFile;
    player->Callback = kWindow;
    player->OnNotify = [this] { CloseFinishedChime(*player); };
  }
  // Hands every queued notification to the player, as its window would.
  void DeliverNotifications() {
    while (!mci_state.Pending.empty()) {
      const TMciNotification n = mci_state.Pending.front();
      mci_state.Pending.pop_front();
      EXPECT_EQ(n.Callback, kWindow);
      player->MMNotify(n.Result);
    }
  }
  std::vector<TMciCall> TakeCalls() { return std::exchange(mci_state.Calls, {}); }
};

void ExpectCall(const TMciCall& call, std::uint32_t command, TMciDeviceId device, std::uint32_t flags,
                std::uint32_t item = 0) {
  EXPECT_EQ(call.Command, command);
  EXPECT_EQ(call.Device, device);
  EXPECT_EQ(call.Flags, flags) << "command 0x" << std::hex << command;
  EXPECT_EQ(call.Item, item);
  EXPECT_EQ(call.Callback, kWindow);
}

TEST(MediaPlayer, NormalChimeOpensPlaysAndClosesAfterTheSound) {
  Player p;
  StartChime(*p.player);
  std::vector<TMciCall> calls = p.TakeCalls();
  ASSERT_EQ(calls.size(), 4u);
  // 1. Open, waiting, by element: the system picks the type.
  ExpectCall(calls[0], kMciOpen, 0, kMciWait | kMciOpenElement);
  EXPECT_EQ(calls[0].Element, kChimeFile);
  // Play first asks whether the medium was played to its end (it was not).
  ExpectCall(calls[1], kMciStatus, 1, kMciWait | kMciStatusItem, kMciStatusPosition);
  ExpectCall(calls[2], kMciStatus, 1, kMciWait | kMciStatusItem, kMciStatusLength);
  // 2. Play, notified, not waiting.
  ExpectCall(calls[3], kMciPlay, 1, kMciNotify);
  // 3. Notify armed for the next command.
  EXPECT_TRUE(p.player->IsOpen());
  EXPECT_EQ(p.player->DeviceID(), 1u);
  EXPECT_TRUE(p.player->NotifyArmed());

  // 4. The sound ends: the notify event finds the device stopped and closes
  // it, waiting and notified (the armed option used up).
  p.mci->EndSound(1);
  ASSERT_EQ(p.mci_state.Pending.size(), 1u);
  const TMciNotification end = p.mci_state.Pending.front();
  p.mci_state.Pending.pop_front();
  p.player->MMNotify(end.Result);
  EXPECT_EQ(p.player->NotifyValue(), TMPNotifyValues::nvSuccessful);
  calls = p.TakeCalls();
  ASSERT_EQ(calls.size(), 2u);
  ExpectCall(calls[0], kMciStatus, 1, kMciWait | kMciStatusItem, kMciStatusMode);
  ExpectCall(calls[1], kMciClose, 1, kMciWait | kMciNotify);
  EXPECT_FALSE(p.player->IsOpen());
  EXPECT_EQ(p.player->DeviceID(), 0u);
  EXPECT_FALSE(p.player->NotifyArmed());

  // 5. The close's own notification finds no device and does nothing.
  ASSERT_EQ(p.mci_state.Pending.size(), 1u);
  p.DeliverNotifications();
  EXPECT_TRUE(p.TakeCalls().empty());
  EXPECT_TRUE(p.mci_state.OpenDevices.empty());
}

TEST(MediaPlayer, DeviceLeftOpenByAFailedPlayIsClosedByTheNextOpen) {
  Player p;
  p.mci_state.PlayError = 277;  // MCIERR_DEVICE_NOT_READY
  EXPECT_NO_THROW(StartChime(*p.player));  // a Play error is only stored
  EXPECT_EQ(p.player->Error(), 277u);
  EXPECT_TRUE(p.player->IsOpen());
  EXPECT_TRUE(p.mci_state.Pending.empty());  // no notification will close it
  p.TakeCalls();

  p.mci_state.PlayError = 0;
  StartChime(*p.player);
  const std::vector<TMciCall> calls = p.TakeCalls();
  ASSERT_GE(calls.size(), 2u);
  // The old device is closed waiting and without a notification ...
  ExpectCall(calls[0], kMciClose, 1, kMciWait);
  ExpectCall(calls[1], kMciOpen, 0, kMciWait | kMciOpenElement);
  EXPECT_EQ(calls.back().Command, kMciPlay);
  EXPECT_EQ(p.player->DeviceID(), 2u);
  // ... so nothing cuts the new chime short: it plays until its end.
  p.DeliverNotifications();
  EXPECT_TRUE(p.mci_state.OpenDevices.at(2));
  p.mci->EndSound(2);
  p.DeliverNotifications();
  EXPECT_TRUE(p.mci_state.OpenDevices.empty());
  EXPECT_FALSE(p.player->IsOpen());
}

TEST(MediaPlayer, DeviceErrorsCarryTheirText) {
  struct Case {
    const char* what;
    TMciError open_error;
    bool open_first;
    const char* message;
  };
  const Case cases[] = {
      {"play without open", 0, false, kNoMciDeviceOpenText},
      {"open, MCI's text", 275, true, "The specified file cannot be found."},
      {"open, code without text", 0xBEEF, true, kUnknownMciErrorText},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Player p;
    p.mci_state.OpenError = c.open_error;
    try {
      if (c.open_first) p.player->Open();
      p.player->Play();
      ADD_FAILURE() << "no error raised";
    } catch (const EMCIDeviceError& error) {
      EXPECT_STREQ(error.what(), c.message);
    }
    EXPECT_FALSE(p.player->IsOpen());
    EXPECT_EQ(p.player->DeviceID(), 0u);
  }
}

TEST(MediaPlayer, ArmedOptionsAreUsedOnceOtherwiseEachCommandsDefaults) {
  enum class Op { kOpen, kPlay, kClose };
  struct Case {
    Op op;
    std::optional<bool> wait, notify;  // armed before the command
    std::uint32_t flags;               // wait and notify flags sent
  };
  const Case cases[] = {
      {Op::kOpen, {}, {}, kMciWait},           {Op::kOpen, false, {}, 0},
      {Op::kOpen, {}, true, kMciWait | kMciNotify},
      {Op::kPlay, {}, {}, kMciNotify},         {Op::kPlay, true, false, kMciWait},
      {Op::kClose, {}, {}, kMciWait},          {Op::kClose, {}, true, kMciWait | kMciNotify},
      {Op::kClose, false, false, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "op " << static_cast<int>(c.op) << " flags " << c.flags);
    Player p;
    if (c.op != Op::kOpen) p.player->Open();
    if (c.wait) p.player->SetWait(*c.wait);
    if (c.notify) p.player->SetNotify(*c.notify);
    p.TakeCalls();
    const std::uint32_t extra = c.op == Op::kOpen ? kMciOpenElement : 0;
    const std::uint32_t command = c.op == Op::kOpen ? kMciOpen : c.op == Op::kPlay ? kMciPlay : kMciClose;
    auto run = [&] {
      if (c.op == Op::kOpen) p.player->Open();
      if (c.op == Op::kPlay) p.player->Play();
      if (c.op == Op::kClose) p.player->Close();
    };
    run();
    EXPECT_EQ(p.TakeCalls().back().Flags, c.flags | extra);
    EXPECT_FALSE(p.player->WaitArmed());
    EXPECT_FALSE(p.player->NotifyArmed());
    // Used once: the same command again has its defaults.
    if (c.op == Op::kClose) p.player->Open();
    p.TakeCalls();
    run();
    const std::vector<TMciCall> again = p.TakeCalls();
    const std::uint32_t defaults = c.op == Op::kPlay ? kMciNotify : kMciWait;
    ASSERT_FALSE(again.empty());
    // A second Open first closes the device the first one opened.
    EXPECT_EQ(again.back().Command, command);
    EXPECT_EQ(again.back().Flags, defaults | extra);
  }
}

TEST(MediaPlayer, PlaySeeksToTheStartOnlyAfterTheEnd) {
  Player p;
  p.player->Open();
  p.player->Play();
  p.mci->EndSound(1);  // position = length
  p.TakeCalls();
  p.player->Play();
  std::vector<TMciCall> calls = p.TakeCalls();
  ASSERT_EQ(calls.size(), 4u);
  ExpectCall(calls[2], kMciSeek, 1, kMciWait | kMciSeekToStart);
  EXPECT_EQ(calls[3].Command, kMciPlay);
  p.player->Play();  // from the start now: no seek
  calls = p.TakeCalls();
  ASSERT_EQ(calls.size(), 3u);
  EXPECT_EQ(calls[2].Command, kMciPlay);
}

TEST(MediaPlayer, ModesAndNotifyResults) {
  Player p;
  EXPECT_EQ(p.player->Mode(), TMPModes::mpNotReady);  // nothing open
  p.player->Open();
  EXPECT_EQ(p.player->Mode(), TMPModes::mpStopped);
  p.player->Play();
  EXPECT_EQ(p.player->Mode(), TMPModes::mpPlaying);

  struct Case {
    std::uint32_t flags;
    TMPNotifyValues value;
  };
  const Case cases[] = {{kMciNotifySuperseded, TMPNotifyValues::nvSuperseded},
                        {kMciNotifyAborted, TMPNotifyValues::nvAborted},
                        {kMciNotifyFailure, TMPNotifyValues::nvFailure},
                        {kMciNotifySuccessful, TMPNotifyValues::nvSuccessful}};
  for (const Case& c : cases) {
    std::optional<TMPNotifyValues> seen;
    p.player->OnNotify = [&] { seen = p.player->NotifyValue(); };  // recorded before the event
    p.player->MMNotify(c.flags);
    EXPECT_EQ(seen, c.value) << c.flags;
  }
}

TEST(MediaPlayer, DestructionClosesAnOpenDevice) {
  TFakeMciState state;
  {
    TMediaPlayer player(std::make_unique<TFakeMci>(state));
    player.Open();
    player.Play();
  }
  EXPECT_TRUE(state.OpenDevices.empty());
  EXPECT_EQ(state.Calls.back().Command, kMciClose);
  EXPECT_EQ(state.Calls.back().Flags, kMciWait);
}

}  // namespace
}  // namespace vesk::app
