// Loading a library of the tests into another process (the running clock),
// for the probes that must work inside it: a menu handle is valid only in its
// own process under Wine, and an import can only be repointed from within.
#pragma once
#include <windows.h>

#include <string>

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
