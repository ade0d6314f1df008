// The exchange between winmsg.exe and menu_probe.dll. Under Wine a menu
// handle can be read only inside the process that made it, so winmsg makes
// the clock's process load menu_probe.dll, which reads the open menus there
// and hands back their text through a named shared block.
//
// winmsg fills Menus/MenuWindows, creates kProbeDoneEvent and loads the
// library into the target; the library writes Text (NUL-terminated, lines of
// the form documented in winmsg.cpp), signals the event and unloads itself.
#pragma once
#include <cstdint>

inline constexpr const wchar_t* kProbeMapping = L"Local\\VeskMenuProbeBlock";
inline constexpr const wchar_t* kProbeDoneEvent = L"Local\\VeskMenuProbeDone";
inline constexpr unsigned kProbeMaxMenus = 8;

struct TProbeBlock {
  std::uint32_t MenuCount;
  std::uint64_t Menus[kProbeMaxMenus];        // HMENU of each open menu window
  std::uint64_t MenuWindows[kProbeMaxMenus];  // the "#32768" window showing it
  char Text[60000];
};
