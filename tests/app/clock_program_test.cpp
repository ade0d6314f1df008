// The clock program on fakes: the order of its requests to the window from
// start to close (docs/architecture.md has the same table), and the
// decisions it makes on the user's input.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "clock_program_rig.h"

namespace vesk::app::testing {
namespace {

const TLocalTime kStart{2026, 12, 7, 10, 8, 37, 0};

std::string Present(int alpha) { return "Present " + std::to_string(alpha) + " at 192,114 150x150"; }

TEST(ClockProgram, CallOrderFromStartToClose) {
  TClockProgramRig rig(kStart);
  rig.Start();
  rig.Run(300);             // the fade-in, and the first face
  rig.program->Close();     // refused: the fade-out starts
  rig.Run(180);             // the fade-out, then the allowed close
  rig.program->Destroy();
  rig.program.reset();

  TCallLog want = {
      // The icon, made with the window's components: a stale one removed,
      // then added.
      "NIM_DELETE", "NIM_ADD",
      // FormCreate.
      "MakeLayered", "HideTaskbarButton", "PixelsPerInch", "AcquireScreen", "Bounds", "SetSize 150x150",
      "fadeTimer on", "Timer1 every 10", "Timer1 on",
      // The first showing: the restore, FormShow, then the window appears.
      "MakeDesktopOwner", "SetZOrder topmost", "BringToForeground", "ShowFirst"};
  // Each fade tick presents; the first tick of Timer1 draws the first face.
  for (int tick = 1; tick <= 27; ++tick) {
    const int alpha = tick <= 25 ? tick * 10 : 255;
    if (tick == 27) want.push_back("fadeTimer off");
    for (const char* call : {"Visible", "Bounds"}) want.push_back(call);
    want.push_back(Present(alpha));
    if (tick == 1) {
      for (const char* call : {"Bounds", "Visible"}) want.push_back(call);
      want.push_back(Present(10));
      // Armed for just after the next second, from the tick's last reading
      // (10:08:37.010).
      want.push_back("Timer1 every 992");
    }
  }
  want.push_back("fadeTimer on");
  for (int tick = 1; tick <= 18; ++tick) {
    if (tick == 18) want.push_back("fadeTimer off");
    for (const char* call : {"Visible", "Bounds"}) want.push_back(call);
    want.push_back(Present(tick <= 17 ? 255 - 15 * tick : 0));
  }
  for (const char* call : {"EndProgram", "ReleaseScreen", "NIM_DELETE"}) want.push_back(call);
  EXPECT_EQ(rig.log, want);
}

// What the window is asked to do for each kind of input.
TEST(ClockProgram, InputDecisions) {
  struct Case {
    const char* what;
    void (*act)(TClockProgramRig&);
    TCallLog want;
  };
  const Case cases[] = {
      {"icon clicked while shown: hidden",
       [](TClockProgramRig& r) { r.program->TrayIcon1Click(desktop::mbLeft, 0, 0, 0); },
       {"Visible", "Hide"}},
      {"icon clicked while hidden: shown with a fresh face, in front",
       [](TClockProgramRig& r) {
         r.placement.IsVisible = false;
         r.program->TrayIcon1Click(desktop::mbLeft, 0, 0, 0);
       },
       {"Visible", "ShowNormal", "Bounds", "Visible", Present(255), "BringToForeground"}},
      {"started again while shown: in front",
       [](TClockProgramRig& r) { r.program->BringForward(); }, {"Visible", "BringToForeground"}},
      {"started again while hidden: shown with a fresh face, in front",
       [](TClockProgramRig& r) {
         r.placement.IsVisible = false;
         r.program->BringForward();
       },
       {"Visible", "ShowNormal", "Bounds", "Visible", Present(255), "BringToForeground"}},
      {"mouse moved without a button: nothing",
       [](TClockProgramRig& r) { r.program->MouseMove(TMouseButtons{}, {10, 10}); }, {}},
      {"mouse moved with the left button: the move loop",
       [](TClockProgramRig& r) { r.program->MouseMove(TMouseButtons{true, false, false}, {10, 10}); },
       {"BeginMove"}},
      {"right click: the menu at the mouse", [](TClockProgramRig& r) { r.program->ContextMenu(); },
       {"PopupMenuAtCursor"}},
      {"On Top chosen: unchecked, no longer topmost", [](TClockProgramRig& r) { r.program->Command(kCmdOnTop1); },
       {"SetZOrder not topmost"}},
      {"another monitor of the same scale: the suggested place, the same size",
       [](TClockProgramRig& r) { r.program->DpiChanged(96, TRect{400, 300, 700, 600}); },
       {"Bounds", "SetBounds 400,300,550,450"}},
      {"a monitor of 200 %, the pointer on the face: the point under it stays",
       [](TClockProgramRig& r) {
         r.window.Cursor = TPoint{192 + 30, 114 + 45};
         r.program->DpiChanged(192, TRect{0, 0, 300, 300});
       },
       {"Bounds", "CursorPos", "SetBounds 162,69,462,369", "Bounds"}},
      {"a monitor of 150 %, the pointer elsewhere: the suggested place",
       [](TClockProgramRig& r) {
         r.window.Cursor = TPoint{900, 700};
         r.program->DpiChanged(144, TRect{500, 100, 800, 400});
       },
       {"Bounds", "CursorPos", "SetBounds 500,100,725,325", "Bounds"}},
  };
  for (const Case& c : cases) {
    TClockProgramRig rig(kStart);
    rig.Start();
    rig.Run(300);
    rig.log.clear();
    c.act(rig);
    EXPECT_EQ(rig.log, c.want) << c.what;
  }
}

}  // namespace
}  // namespace vesk::app::testing
