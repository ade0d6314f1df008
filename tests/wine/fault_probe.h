// The exchange between winmsg.exe and fault_probe.dll: winmsg names a
// function the clock imports from user32 (UpdateLayeredWindow, SetTimer), how
// many of its calls are to fail (-1: all from now on) and the error code
// they leave, in a named shared block, then loads fault_probe.dll into the
// clock's process. The library points the program's import of that function
// at a stand-in that fails so many times and then calls the real one, and
// signals kFaultDoneEvent with Patched set.
#pragma once
#include <windows.h>

#include <cstdint>

inline constexpr const wchar_t* kFaultMapping = L"Local\\VeskFaultProbeBlock";
inline constexpr const wchar_t* kFaultDoneEvent = L"Local\\VeskFaultProbeDone";

struct TFaultBlock {
  char Function[64];
  std::int32_t Count;     // calls to fail; -1 lasting
  std::uint32_t Error;    // left by SetLastError
  std::int32_t Patched;   // set by the library: 1 patched, 0 import not found
  std::int32_t Failed;    // calls failed so far (updated by the library)
};
