#pragma once
// The kernel handles a process holds, seen from outside: the entries of the
// system's handle table that belong to it (NtQuerySystemInformation with the
// extended handle list). GetProcessHandleCount gives 0 where the system does
// not keep that count, so the soak counts the table itself.
#include <windows.h>

#include <cstdint>
#include <vector>

struct TSystemHandleEntryEx {
  void* Object;
  ULONG_PTR UniqueProcessId;
  ULONG_PTR HandleValue;
  ULONG GrantedAccess;
  USHORT CreatorBackTraceIndex;
  USHORT ObjectTypeIndex;
  ULONG HandleAttributes;
  ULONG Reserved;
};

struct TSystemHandleInformationEx {
  ULONG_PTR NumberOfHandles;
  ULONG_PTR Reserved;
  TSystemHandleEntryEx Handles[1];
};

// The number of handles of process `pid`, -1 when the list cannot be read.
inline long CountProcessHandles(DWORD pid) {
  using QueryFn = LONG(NTAPI*)(ULONG, PVOID, ULONG, PULONG);
  const auto query = reinterpret_cast<QueryFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
  if (query == nullptr) return -1;
  constexpr ULONG kSystemExtendedHandleInformation = 64;
  constexpr LONG kInfoLengthMismatch = static_cast<LONG>(0xC0000004L);
  std::vector<unsigned char> buffer(1 << 20);
  for (int attempt = 0; attempt < 6; ++attempt) {
    ULONG needed = 0;
    const LONG status =
        query(kSystemExtendedHandleInformation, buffer.data(), static_cast<ULONG>(buffer.size()), &needed);
    if (status == kInfoLengthMismatch) {
      buffer.resize(needed > buffer.size() ? needed + 65536 : buffer.size() * 2);
      continue;
    }
    if (status != 0) return -1;
    const auto* info = reinterpret_cast<const TSystemHandleInformationEx*>(buffer.data());
    long count = 0;
    for (ULONG_PTR i = 0; i < info->NumberOfHandles; ++i) {
      if (info->Handles[i].UniqueProcessId == pid) ++count;
    }
    return count;
  }
  return -1;
}
