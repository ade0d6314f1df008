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

// What the record mode saw: a presentation (UpdateLayeredWindow, with its
// constant alpha) or the chime's device being opened (MCI_OPEN), at the
// process's local time and tick count.
enum class TRecordedKind : std::int32_t { Present = 1, MciOpen = 2 };

struct TRecordedCall {
  TRecordedKind Kind;
  std::uint32_t Tick;     // GetTickCount
  SYSTEMTIME LocalTime;   // GetLocalTime, the clock's own reading
  std::uint32_t Alpha;    // Present only
};

inline constexpr int kMaxRecordedCalls = 4096;

// Function names a call to fail; "SetTimer#N" only the calls for timer id
// N. "record" fails nothing and records instead: every presentation and
// every opening of a media device, and the messages that reach the clock
// window, timer messages counted by id.
struct TFaultBlock {
  char Function[64];
  std::int32_t Count;     // calls to fail; -1 lasting
  std::uint32_t Error;    // left by SetLastError
  std::int32_t Patched;   // set by the library: 1 patched, 0 import not found
  std::int32_t Failed;    // calls failed so far (updated by the library)
  // Record mode.
  LONG Dispatched;        // messages to the clock window
  LONG TimerMessages[3];  // WM_TIMER for id 1, id 2, any other id
  LONG LastTimer1Tick;    // GetTickCount at Timer1's last WM_TIMER
  LONG Recorded;          // entries of Calls made (more are dropped)
  TRecordedCall Calls[kMaxRecordedCalls];
};
