// fault_probe.dll: loaded by winmsg.exe into the clock's process, it makes
// one function the program imports from user32 fail (fault_probe.h), so the
// end-to-end tests can watch the whole program under a failing system call.
// In record mode it fails nothing and records what the program presents,
// opens and receives instead (fault_probe.h).
//
// Built with FAULT_AT_START as a stand-in msimg32.dll for a test copy of the
// app folder (with WINEDLLOVERRIDES=msimg32=n): the program loads it with its
// imports, before its own code runs, so the calls of the window's creation
// and of the font registration can fail too. It then takes the function, the
// count and the error from the test's environment variable VESK_FAULT
// ("FUNCTION:N:ERR") and passes AlphaBlend on to gdi32.
#include "fault_probe.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

TFaultBlock* g_block = nullptr;
LONG g_left = 0;  // failures still to give; -1 lasting
void* g_real = nullptr;
UINT_PTR g_timer_id = 0;  // SetTimer: only this id fails (0: any)
// The real functions behind the record mode's stand-ins.
void* g_real_mci = nullptr;

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

// Only the call that makes a window layered fails: the program also keeps its
// window objects with SetWindowLongPtrW, which is not the call under test.
LONG_PTR WINAPI FailingSetWindowLongPtrW(HWND window, int index, LONG_PTR value) {
  if (index == GWL_EXSTYLE && (value & WS_EX_LAYERED) != 0 && FailNow()) return 0;
  return reinterpret_cast<decltype(&SetWindowLongPtrW)>(g_real)(window, index, value);
}

HDC WINAPI FailingGetDC(HWND window) {
  if (FailNow()) return nullptr;
  return reinterpret_cast<decltype(&GetDC)>(g_real)(window);
}

int WINAPI FailingAddFontResourceExW(LPCWSTR file, DWORD flags, PVOID reserved) {
  if (FailNow()) return 0;
  return reinterpret_cast<decltype(&AddFontResourceExW)>(g_real)(file, flags, reserved);
}

UINT_PTR WINAPI FailingSetTimer(HWND window, UINT_PTR id, UINT elapse, TIMERPROC proc) {
  if ((g_timer_id == 0 || id == g_timer_id) && FailNow()) return 0;
  return reinterpret_cast<decltype(&SetTimer)>(g_real)(window, id, elapse, proc);
}

void Record(TRecordedKind kind, std::uint32_t alpha) {
  const LONG at = InterlockedIncrement(&g_block->Recorded) - 1;
  if (at >= kMaxRecordedCalls) return;
  TRecordedCall& call = g_block->Calls[at];
  call.Tick = GetTickCount();
  GetLocalTime(&call.LocalTime);
  call.Alpha = alpha;
  call.Kind = kind;
}

BOOL WINAPI RecordingUpdateLayeredWindow(HWND window, HDC dst, POINT* dst_point, SIZE* size, HDC src,
                                         POINT* src_point, COLORREF key, BLENDFUNCTION* blend, DWORD flags) {
  Record(TRecordedKind::Present, blend != nullptr ? blend->SourceConstantAlpha : 0);
  return reinterpret_cast<decltype(&UpdateLayeredWindow)>(g_real)(window, dst, dst_point, size, src, src_point, key,
                                                                  blend, flags);
}

// The clock window's own procedure, behind the recording one.
WNDPROC g_real_window_proc = nullptr;

// Every message that reaches the clock window, counted (timer messages by
// id, and the tick count of Timer1's last one) and passed on.
LRESULT CALLBACK RecordingWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  InterlockedIncrement(&g_block->Dispatched);
  if (message == WM_TIMER) {
    const int slot = wparam == 1 ? 0 : wparam == 2 ? 1 : 2;
    InterlockedIncrement(&g_block->TimerMessages[slot]);
    if (wparam == 1) InterlockedExchange(&g_block->LastTimer1Tick, static_cast<LONG>(GetTickCount()));
  }
  return CallWindowProcW(g_real_window_proc, window, message, wparam, lparam);
}

// mciSendCommandW, declared here so the probe need not link the media
// library: MCI_OPEN is command 0x0803.
using TMciSendCommand = DWORD(WINAPI*)(UINT, UINT, DWORD_PTR, DWORD_PTR);

DWORD WINAPI RecordingMciSendCommandW(UINT device, UINT command, DWORD_PTR flags, DWORD_PTR parms) {
  if (command == 0x0803) Record(TRecordedKind::MciOpen, 0);
  return reinterpret_cast<TMciSendCommand>(g_real_mci)(device, command, flags, parms);
}

// Puts RecordingWindowProc in front of the clock window's procedure.
bool SubclassClockWindow() {
  HWND window = FindWindowW(L"TfrmMain", nullptr);
  if (window == nullptr) return false;
  g_real_window_proc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&RecordingWindowProc)));
  return g_real_window_proc != nullptr;
}

// Points the main module's import of `dll`!`name` at `stand_in`; keeps the
// real address in `real`.
bool PatchImport(const char* dll, const char* name, void* stand_in, void*& real = g_real) {
  auto* base = reinterpret_cast<unsigned char*>(GetModuleHandleW(nullptr));
  const auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
  const auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  if (dir.VirtualAddress == 0) return false;
  for (auto* desc = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress); desc->Name != 0; ++desc) {
    if (_stricmp(reinterpret_cast<const char*>(base + desc->Name), dll) != 0) continue;
    auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + desc->OriginalFirstThunk);
    auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + desc->FirstThunk);
    for (; names->u1.AddressOfData != 0; ++names, ++slots) {
      if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
      const auto* by_name = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
      if (std::strcmp(reinterpret_cast<const char*>(by_name->Name), name) != 0) continue;
      DWORD old = 0;
      if (!VirtualProtect(&slots->u1.Function, sizeof(slots->u1.Function), PAGE_READWRITE, &old)) return false;
      real = reinterpret_cast<void*>(slots->u1.Function);
      slots->u1.Function = reinterpret_cast<ULONG_PTR>(stand_in);
      VirtualProtect(&slots->u1.Function, sizeof(slots->u1.Function), old, &old);
      return true;
    }
  }
  return false;
}

// The stand-in and its library for a function name; false for one not
// provided.
bool StandIn(const char* function, const char*& dll, void*& stand_in) {
  struct Entry {
    const char* Function;
    const char* Dll;
    void* StandIn;
  };
  const Entry entries[] = {
      {"UpdateLayeredWindow", "user32.dll", reinterpret_cast<void*>(&FailingUpdateLayeredWindow)},
      {"SetTimer", "user32.dll", reinterpret_cast<void*>(&FailingSetTimer)},
      {"SetWindowLongPtrW", "user32.dll", reinterpret_cast<void*>(&FailingSetWindowLongPtrW)},
      {"GetDC", "user32.dll", reinterpret_cast<void*>(&FailingGetDC)},
      {"AddFontResourceExW", "gdi32.dll", reinterpret_cast<void*>(&FailingAddFontResourceExW)},
  };
  for (const Entry& e : entries) {
    if (std::strcmp(function, e.Function) == 0) {
      dll = e.Dll;
      stand_in = e.StandIn;
      return true;
    }
  }
  return false;
}

bool Patch(TFaultBlock& block) {
  if (std::strcmp(block.Function, "record") == 0) {
    return PatchImport("user32.dll", "UpdateLayeredWindow", reinterpret_cast<void*>(&RecordingUpdateLayeredWindow)) &&
           PatchImport("winmm.dll", "mciSendCommandW", reinterpret_cast<void*>(&RecordingMciSendCommandW), g_real_mci) &&
           SubclassClockWindow();
  }
  // "SetTimer#N": the timer id after the mark.
  if (char* mark = std::strchr(block.Function, '#')) {
    g_timer_id = static_cast<UINT_PTR>(std::strtoul(mark + 1, nullptr, 10));
    *mark = '\0';
  }
  const char* dll = nullptr;
  void* stand_in = nullptr;
  g_left = block.Count;
  return StandIn(block.Function, dll, stand_in) && PatchImport(dll, block.Function, stand_in);
}

#ifdef FAULT_AT_START
TFaultBlock g_start_block{};
#endif

}  // namespace

#ifdef FAULT_AT_START
// The program's one import of msimg32 (declared by the system's headers as
// imported; defined and exported here).
#pragma GCC diagnostic ignored "-Wattributes"
extern "C" __declspec(dllexport) BOOL WINAPI AlphaBlend(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy,
                                                        int sw, int sh, BLENDFUNCTION blend) {
  return GdiAlphaBlend(dst, x, y, w, h, src, sx, sy, sw, sh, blend);
}

// At the end of the process, "patched=N failed=N" goes to the file named by
// VESK_FAULT_LOG, so the test sees that the calls did fail.
extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_DETACH && g_block != nullptr) {
    if (const char* log = std::getenv("VESK_FAULT_LOG")) {
      if (std::FILE* f = std::fopen(log, "w")) {
        std::fprintf(f, "patched=%d failed=%d\n", g_block->Patched, g_block->Failed);
        std::fclose(f);
      }
    }
  }
  if (reason != DLL_PROCESS_ATTACH) return TRUE;
  DisableThreadLibraryCalls(instance);
  const char* request = std::getenv("VESK_FAULT");
  if (request == nullptr) return TRUE;
  g_block = &g_start_block;
  int count = 0;
  unsigned error = ERROR_ACCESS_DENIED;
  if (std::sscanf(request, "%63[^:]:%d:%u", g_block->Function, &count, &error) < 2) return TRUE;
  g_block->Count = count;
  g_block->Error = error;
  g_block->Patched = Patch(*g_block) ? 1 : 0;
  return TRUE;
}
#else
extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason != DLL_PROCESS_ATTACH) return TRUE;
  DisableThreadLibraryCalls(instance);
  HANDLE mapping = OpenFileMappingW(FILE_MAP_ALL_ACCESS, FALSE, kFaultMapping);
  if (mapping == nullptr) return FALSE;
  g_block = static_cast<TFaultBlock*>(MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(TFaultBlock)));
  if (g_block == nullptr) return FALSE;
  g_block->Patched = Patch(*g_block) ? 1 : 0;
  HANDLE done = OpenEventW(EVENT_MODIFY_STATE, FALSE, kFaultDoneEvent);
  if (done != nullptr) {
    SetEvent(done);
    CloseHandle(done);
  }
  // The library stays loaded: the program calls its stand-in from now on.
  return TRUE;
}
#endif
