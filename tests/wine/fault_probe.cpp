// fault_probe.dll: loaded by winmsg.exe into the clock's process, it makes
// one function the program imports from user32 fail (fault_probe.h), so the
// end-to-end tests can watch the whole program under a failing system call.
#include "fault_probe.h"

#include <windows.h>

#include <cstring>

namespace {

TFaultBlock* g_block = nullptr;
LONG g_left = 0;  // failures still to give; -1 lasting
void* g_real = nullptr;

// True when this call is to fail (and counts it).
bool FailNow() {
  if (g_left == 0) return false;
  if (g_left > 0) --g_left;
  if (g_block != nullptr) InterlockedIncrement(reinterpret_cast<volatile LONG*>(&g_block->Failed));
  SetLastError(g_block != nullptr ? g_block->Error : ERROR_ACCESS_DENIED);
  return true;
}

BOOL WINAPI FailingUpdateLayeredWindow(HWND window, HDC dst, POINT* dst_point, SIZE* size, HDC src, POINT* src_point,
                                       COLORREF key, BLENDFUNCTION* blend, DWORD flags) {
  if (FailNow()) return FALSE;
  return reinterpret_cast<decltype(&UpdateLayeredWindow)>(g_real)(window, dst, dst_point, size, src, src_point, key,
                                                                  blend, flags);
}

UINT_PTR WINAPI FailingSetTimer(HWND window, UINT_PTR id, UINT elapse, TIMERPROC proc) {
  if (FailNow()) return 0;
  return reinterpret_cast<decltype(&SetTimer)>(g_real)(window, id, elapse, proc);
}

// Points the main module's import of user32!`name` at `stand_in`; keeps the
// real address in g_real.
bool PatchImport(const char* name, void* stand_in) {
  auto* base = reinterpret_cast<unsigned char*>(GetModuleHandleW(nullptr));
  const auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
  const auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  if (dir.VirtualAddress == 0) return false;
  for (auto* desc = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress); desc->Name != 0; ++desc) {
    if (_stricmp(reinterpret_cast<const char*>(base + desc->Name), "user32.dll") != 0) continue;
    auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + desc->OriginalFirstThunk);
    auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + desc->FirstThunk);
    for (; names->u1.AddressOfData != 0; ++names, ++slots) {
      if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
      const auto* by_name = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
      if (std::strcmp(reinterpret_cast<const char*>(by_name->Name), name) != 0) continue;
      DWORD old = 0;
      if (!VirtualProtect(&slots->u1.Function, sizeof(slots->u1.Function), PAGE_READWRITE, &old)) return false;
      g_real = reinterpret_cast<void*>(slots->u1.Function);
      slots->u1.Function = reinterpret_cast<ULONG_PTR>(stand_in);
      VirtualProtect(&slots->u1.Function, sizeof(slots->u1.Function), old, &old);
      return true;
    }
  }
  return false;
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason != DLL_PROCESS_ATTACH) return TRUE;
  DisableThreadLibraryCalls(instance);
  HANDLE mapping = OpenFileMappingW(FILE_MAP_ALL_ACCESS, FALSE, kFaultMapping);
  if (mapping == nullptr) return FALSE;
  g_block = static_cast<TFaultBlock*>(MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(TFaultBlock)));
  if (g_block == nullptr) return FALSE;
  g_left = g_block->Count;
  void* stand_in = nullptr;
  if (std::strcmp(g_block->Function, "UpdateLayeredWindow") == 0) {
    stand_in = reinterpret_cast<void*>(&FailingUpdateLayeredWindow);
  } else if (std::strcmp(g_block->Function, "SetTimer") == 0) {
    stand_in = reinterpret_cast<void*>(&FailingSetTimer);
  }
  g_block->Patched = stand_in != nullptr && PatchImport(g_block->Function, stand_in) ? 1 : 0;
  HANDLE done = OpenEventW(EVENT_MODIFY_STATE, FALSE, kFaultDoneEvent);
  if (done != nullptr) {
    SetEvent(done);
    CloseHandle(done);
  }
  // The library stays loaded: the program calls its stand-in from now on.
  return TRUE;
}
