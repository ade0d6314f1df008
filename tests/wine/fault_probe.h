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
#include <string>

inline constexpr const wchar_t* kFaultMapping = L"Local\\VeskFaultProbeBlock";
inline constexpr const wchar_t* kFaultDoneEvent = L"Local\\VeskFaultProbeDone";

struct TFaultBlock {
  char Function[64];
  std::int32_t Count;     // calls to fail; -1 lasting
  std::uint32_t Error;    // left by SetLastError
  std::int32_t Patched;   // set by the library: 1 patched, 0 import not found
  std::int32_t Failed;    // calls failed so far (updated by the library)
};

// Loads the library `path` into process `pid` with a remote LoadLibraryW;
// true when the thread ran.
inline bool LoadLibraryInto(DWORD pid, const std::wstring& path) {
  HANDLE process = OpenProcess(PROCESS_CREATE_THREAD | PROCESS_QUERY_INFORMATION | PROCESS_VM_OPERATION |
                                   PROCESS_VM_WRITE | PROCESS_VM_READ,
                               FALSE, pid);
  if (process == nullptr) return false;
  bool ok = false;
  const SIZE_T bytes = (path.size() + 1) * sizeof(wchar_t);
  void* remote = VirtualAllocEx(process, nullptr, bytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  const auto load = reinterpret_cast<LPTHREAD_START_ROUTINE>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "LoadLibraryW")));
  if (remote != nullptr && WriteProcessMemory(process, remote, path.c_str(), bytes, nullptr)) {
    HANDLE thread = CreateRemoteThread(process, nullptr, 0, load, remote, 0, nullptr);
    if (thread != nullptr) {
      ok = WaitForSingleObject(thread, 5000) == WAIT_OBJECT_0;
      CloseHandle(thread);
    }
  }
  CloseHandle(process);
  return ok;
}
