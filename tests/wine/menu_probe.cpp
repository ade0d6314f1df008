// menu_probe.dll: loaded by winmsg.exe into the process that shows a popup
// menu, it reads that menu's items where their handle is valid and writes
// them into the shared block of menu_probe.h.
#include "menu_probe.h"

#include <windows.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace {

HMODULE g_module = nullptr;

class TTextOut {
 public:
  TTextOut(char* buffer, std::size_t size) : buffer_(buffer), size_(size) { buffer_[0] = '\0'; }

  void Line(const char* format, ...) {
    if (used_ + 1 >= size_) return;
    va_list args;
    va_start(args, format);
    const int n = std::vsnprintf(buffer_ + used_, size_ - used_, format, args);
    va_end(args);
    if (n < 0) return;
    used_ += static_cast<std::size_t>(n);
    if (used_ >= size_) used_ = size_ - 1;
  }

 private:
  char* buffer_;
  std::size_t size_;
  std::size_t used_ = 0;
};

// One line per item; a submenu's items follow it with positions "P.i". The
// items of the menu a window shows carry their screen rectangle.
void DumpItems(TTextOut& out, HMENU menu, HWND window, const char* prefix, int depth) {
  const int count = GetMenuItemCount(menu);
  for (int i = 0; i < count && depth < 4; ++i) {
    char position[64];
    std::snprintf(position, sizeof position, "%s%d", prefix, i);
    char text[256] = {};
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_STRING;
    info.dwTypeData = text;
    info.cch = sizeof text - 1;
    if (!GetMenuItemInfoA(menu, static_cast<UINT>(i), TRUE, &info)) {
      out.Line("item %s unreadable\n", position);
      continue;
    }
    char rect[96] = "";
    RECT r{};
    if (depth == 0 && window != nullptr && GetMenuItemRect(window, menu, static_cast<UINT>(i), &r)) {
      std::snprintf(rect, sizeof rect, " rect %ld %ld %ld %ld", r.left, r.top, r.right, r.bottom);
    }
    if (info.fType & MFT_SEPARATOR) {
      out.Line("item %s separator%s\n", position, rect);
    } else if (info.hSubMenu != nullptr) {
      out.Line("item %s submenu%s text=%s\n", position, rect, text);
      char nested[80];
      std::snprintf(nested, sizeof nested, "%s.", position);
      DumpItems(out, info.hSubMenu, nullptr, nested, depth + 1);
    } else {
      out.Line("item %s id=0x%x checked=%d%s text=%s\n", position, info.wID,
               (info.fState & MFS_CHECKED) ? 1 : 0, rect, text);
    }
  }
}

DWORD WINAPI ProbeThread(LPVOID) {
  HANDLE mapping = OpenFileMappingW(FILE_MAP_ALL_ACCESS, FALSE, kProbeMapping);
  HANDLE done = OpenEventW(EVENT_MODIFY_STATE, FALSE, kProbeDoneEvent);
  auto* block = mapping ? static_cast<TProbeBlock*>(MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, 0)) : nullptr;
  if (block != nullptr) {
    TTextOut out(block->Text, sizeof block->Text);
    const unsigned count = block->MenuCount < kProbeMaxMenus ? block->MenuCount : kProbeMaxMenus;
    for (unsigned k = 0; k < count; ++k) {
      const auto menu = reinterpret_cast<HMENU>(static_cast<UINT_PTR>(block->Menus[k]));
      const auto window = reinterpret_cast<HWND>(static_cast<UINT_PTR>(block->MenuWindows[k]));
      RECT r{};
      GetWindowRect(window, &r);
      out.Line("menu %u rect %ld %ld %ld %ld items %d\n", k, r.left, r.top, r.right, r.bottom,
               GetMenuItemCount(menu));
      DumpItems(out, menu, window, "", 0);
    }
    UnmapViewOfFile(block);
  }
  if (mapping != nullptr) CloseHandle(mapping);
  if (done != nullptr) {
    SetEvent(done);
    CloseHandle(done);
  }
  // Leaves the process as it was, ready to be loaded again by the next query.
  FreeLibraryAndExitThread(g_module, 0);
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    g_module = instance;
    DisableThreadLibraryCalls(instance);
    // Work is done outside the loader lock: the thread starts once the load
    // has finished.
    HANDLE thread = CreateThread(nullptr, 0, &ProbeThread, nullptr, 0, nullptr);
    if (thread == nullptr) return FALSE;
    CloseHandle(thread);
  }
  return TRUE;
}
