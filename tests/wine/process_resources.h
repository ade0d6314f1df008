#pragma once
// What a process holds, seen from outside: its GDI and USER object counts,
// its memory and its handle count, for the end-to-end tests that watch the
// clock for leaks.
#include <windows.h>
// After windows.h, which they build on.
#include <psapi.h>
#include <winternl.h>

#include <cstdint>
#include <cstdio>
#include <vector>

// The live objects of the process's GDI handle table, read from its memory:
// the table's address is in the process environment block (offset 0xF8 on
// x64); each entry is 24 bytes (object pointer, owner, a 16-bit uniqueness
// count, a type byte at offset 14, flags, user pointer) and a non-zero type
// marks a live object. Where the system does not keep the owner in the entry
// (the owner word is 0) every live entry belongs to the process; otherwise
// only those of `pid` count. -1 when the table cannot be read.
inline long CountGdiTableObjects(HANDLE process, DWORD pid) {
  using QueryFn = LONG(NTAPI*)(HANDLE, PROCESSINFOCLASS, PVOID, ULONG, PULONG);
  const auto query = reinterpret_cast<QueryFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQueryInformationProcess")));
  if (query == nullptr) return -1;
  PROCESS_BASIC_INFORMATION basic{};
  if (query(process, ProcessBasicInformation, &basic, sizeof basic, nullptr) != 0) return -1;
  std::uint64_t table = 0;
  SIZE_T got = 0;
  if (!ReadProcessMemory(process, reinterpret_cast<const unsigned char*>(basic.PebBaseAddress) + 0xF8, &table,
                         sizeof table, &got) ||
      got != sizeof table || table == 0) {
    return -1;
  }
  constexpr std::size_t kEntry = 24;
  constexpr std::size_t kEntries = 0x10000;
  constexpr std::size_t kChunk = 4096;  // entries read at a time
  std::vector<unsigned char> buffer(kChunk * kEntry);
  long live = 0;
  for (std::size_t first = 0; first < kEntries; first += kChunk) {
    if (!ReadProcessMemory(process, reinterpret_cast<const void*>(table + first * kEntry), buffer.data(), buffer.size(),
                           &got) ||
        got != buffer.size()) {
      break;  // the table ends where its mapping ends
    }
    for (std::size_t i = 0; i < kChunk; ++i) {
      const unsigned char* e = buffer.data() + i * kEntry;
      const unsigned owner = static_cast<unsigned>(e[8]) | static_cast<unsigned>(e[9]) << 8;
      if (e[14] != 0 && (owner == 0 || owner == (pid & 0xFFFFu))) ++live;
    }
  }
  return live;
}

// Prints one line for the process that owns `window`:
//   "pid=N gdi=N gdi_source=count|table user=N private=N working_set=N handles=N"
// gdi is GetGuiResources(GR_GDIOBJECTS) (source "count"); where the system
// does not keep that count (it returns 0 with ERROR_CALL_NOT_IMPLEMENTED)
// the live objects of the process's GDI handle table (source "table").
// private and working_set are bytes. Returns 3 when the process cannot be
// opened, its memory not read or its GDI objects not counted.
inline int PrintProcessResources(HWND window) {
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  const HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
  if (process == nullptr) return 3;
  SetLastError(0);
  long gdi = static_cast<long>(GetGuiResources(process, GR_GDIOBJECTS));
  const char* source = "count";
  if (gdi == 0 && GetLastError() == ERROR_CALL_NOT_IMPLEMENTED) {
    gdi = CountGdiTableObjects(process, pid);
    source = "table";
  }
  const DWORD user = GetGuiResources(process, GR_USEROBJECTS);
  PROCESS_MEMORY_COUNTERS_EX memory{};
  memory.cb = sizeof memory;
  const BOOL have_memory =
      K32GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory);
  DWORD handles = 0;
  GetProcessHandleCount(process, &handles);
  CloseHandle(process);
  if (!have_memory || gdi < 0) return 3;
  std::printf("pid=%lu gdi=%ld gdi_source=%s user=%lu private=%llu working_set=%llu handles=%lu\n", pid, gdi, source,
              user, static_cast<unsigned long long>(memory.PrivateUsage),
              static_cast<unsigned long long>(memory.WorkingSetSize), handles);
  return 0;
}
