#pragma once
// The clock's whole configuration: the three check marks of the Settings
// menu. A first run has all three checked; the settings storage restores them
// before the window is first shown and saves them at close.

namespace vesk::app {

struct TClockSettings {
  bool OnTop = true;          // keep the window above all others
  bool LoadAtStartup = true;  // start with the user's logon
  bool Chimes = true;         // sound the chime at every full hour
};

}  // namespace vesk::app
