// winmsg.exe: a console helper that the end-to-end scripts run under Wine to
// look at and poke the clock window from outside.
//
//   winmsg exists CLASS                 exit 0 when a window of CLASS exists
//   winmsg rect CLASS                   "rect L T R B" (GetWindowRect)
//   winmsg info CLASS                   "title=... exstyle=0x... visible=0|1 topmost=0|1 layered=0|1 toolwindow=0|1"
//   winmsg post CLASS MSG [WP [LP]]     PostMessage (numbers decimal or 0x hex)
//   winmsg pulse CLASS MSG MS           posts MSG every MS milliseconds until the window is gone
//   winmsg close CLASS                  PostMessage WM_CLOSE
//   winmsg close-timed CLASS N          posts WM_CLOSE N times back to back, then
//                                       "alive_after_50ms=0|1 gone_ms=T" (T = -1 if not gone in 10 s)
//   winmsg endsession CLASS [LP]        SendMessageTimeout WM_QUERYENDSESSION, then WM_ENDSESSION
//                                       with the answer; exit 0 accepted, 4 refused
//   winmsg wait-gone CLASS SEC          exit 0 once no window of CLASS exists
//   winmsg dialog CAPTION               "text=..." of the message box with that caption
//   winmsg dismiss CAPTION              presses OK on that message box
//   winmsg controls PREFIX              the visible dialog whose caption begins so: "window L T R B title=...",
//                                       then "control id=N class=C rect L T R B enabled=0|1 checked=0|1 text=..."
//                                       per visible control (GetWindowRect; screen pixels)
//   winmsg menu any                     the items of every open popup menu (class "#32768"), read
//                                       inside the process showing it (menu_probe.dll, beside this
//                                       program): a line "menu K rect L T R B items N" per menu
//                                       window (the newest submenu first), then one line per item:
//                                       "item P id=0x... checked=0|1 [rect L T R B] text=...",
//                                       "item P separator [rect ...]", "item P submenu [rect ...] text=..."
//                                       followed by the submenu's items as "P.i"; items of the menu
//                                       the window shows carry their screen rectangle; exit 2 when
//                                       no menu is open
//   winmsg watch-fade CLASS X Y [SEC]   watches the screen pixel (X, Y) until the window is gone:
//                                       "T=r,g,b" for each change (ms from the start), then
//                                       "changes=N first_change_ms=T gone_ms=T"; exit 3 if not gone
//   winmsg key-read-only PATH           the current user's key PATH may be read but not written
//   winmsg key-writable PATH            ... and written again (both replace its access list)
//   winmsg tray any                     the icons of Wine's own tray window: "tray L T R B icons N",
//                                       "icon K rect L T R B" per icon, "tip=..." per tip; exit 2
//                                       when no tray window is shown (tray_probe.h)
//   winmsg tray-clicks ICON MAIN N      N left clicks sent to the icon window of class ICON as the
//                                       shell sends them, each checked to toggle the visibility of
//                                       the window of class MAIN: "clicks=N toggled=N slowest_ms=T
//                                       total_ms=T"
//   winmsg tray-forget ICON             removes the icon of the window of class ICON (id 0) from the
//                                       notification area, as a restarting shell loses it
//   winmsg broadcast NAME               sends the registered message NAME to all top-level windows
//   winmsg windows CLASS                "windows=N": the windows of the process owning the window
//   winmsg foreground any               "class=... title=..." of the foreground window; exit 2: none
//   winmsg resources CLASS              "pid=N gdi=N gdi_source=count|table user=N private=N working_set=N handles=N"
//                                       of the process owning the window (process_resources.h)
//   winmsg fault CLASS FUNCTION N [ERR] makes the next N calls (-1: all) of FUNCTION (UpdateLayeredWindow
//                                       or SetTimer, SetTimer#ID for one timer) in the process owning the window fail with error
//                                       ERR (default 5) through fault_probe.dll (beside this program);
//                                       later "winmsg fault-count" prints "failed=N"
//   winmsg record CLASS SECONDS [FILE INSTANT]
//                                       records for SECONDS what the process owning the window presents
//                                       and opens, and the messages its window gets (fault_probe.dll's record
//                                       mode): "present TICK HH:MM:SS.mmm ALPHA", "open TICK HH:MM:SS.mmm",
//                                       then "messages=N timer1=N fade=N other_timers=N ms=T"; with
//                                       FILE, INSTANT is written to it mid-second and WM_TIMECHANGE posted
//                                       ("timechange TICK")
//   winmsg boxes CAPTION                "boxes=N": the visible message boxes with that caption
//   winmsg handles CLASS                "handles=N": the entries of the system's handle table that
//                                       belong to the process owning the window (handle_count.h)
//   winmsg dpi CLASS PPI L T R B        sends WM_DPICHANGED for PPI with the suggested rectangle, as the
//                                       system does when the window moves to a monitor of that scale
// Exit codes: 0 ok, 1 usage, 2 window not found, 3 timeout or failure, 4 refused.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "fault_probe.h"
#include "handle_count.h"
#include "menu_probe.h"
#include "process_resources.h"
#include "remote_load.h"
#include "tray_probe.h"

namespace {

unsigned long Number(const char* s) { return std::strtoul(s, nullptr, 0); }

HWND FindByClass(const char* class_name) { return FindWindowA(class_name, nullptr); }
// The visible message box with this caption (a dismissed one may linger
// hidden for a moment).
HWND FindBox(const char* caption) {
  HWND box = nullptr;
  while ((box = FindWindowExA(nullptr, box, "#32770", caption)) != nullptr) {
    if (IsWindowVisible(box)) return box;
  }
  return nullptr;
}

// The text of a message box: its static control (id 0xFFFF) or, failing
// that, the first static child.
std::string BoxText(HWND box) {
  char text[2048] = {};
  if (GetDlgItemTextA(box, 0xFFFF, text, sizeof text) > 0) return text;
  for (HWND child = GetWindow(box, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
    char class_name[64] = {};
    GetClassNameA(child, class_name, sizeof class_name);
    if (_stricmp(class_name, "Static") == 0 && GetWindowTextA(child, text, sizeof text) > 0) return text;
  }
  return {};
}

// The visible dialog whose caption begins with `prefix` (a wizard such as
// the installer's names each page in its caption) and its visible controls,
// nested pages included: "window L T R B title=...", then one line per
// control. Texts are read with WM_GETTEXT, which reaches another process's
// edit controls too.
int PrintControls(const char* prefix) {
  HWND dialog = nullptr;
  char title[256] = {};
  while ((dialog = FindWindowExA(nullptr, dialog, "#32770", nullptr)) != nullptr) {
    GetWindowTextA(dialog, title, sizeof title);
    if (IsWindowVisible(dialog) && std::strncmp(title, prefix, std::strlen(prefix)) == 0) break;
  }
  if (dialog == nullptr) return 2;
  RECT r{};
  GetWindowRect(dialog, &r);
  std::printf("window %ld %ld %ld %ld title=%s\n", r.left, r.top, r.right, r.bottom, title);
  EnumChildWindows(
      dialog,
      [](HWND control, LPARAM) -> BOOL {
        if (!IsWindowVisible(control)) return TRUE;
        char class_name[64] = {};
        char text[1024] = {};
        GetClassNameA(control, class_name, sizeof class_name);
        DWORD_PTR ignored = 0;
        SendMessageTimeoutA(control, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                            2000, &ignored);
        for (char* c = text; *c != 0; ++c) {
          if (*c == '\r' || *c == '\n') *c = ' ';
        }
        const bool checked = _stricmp(class_name, "Button") == 0 &&
                             SendMessageA(control, BM_GETCHECK, 0, 0) == BST_CHECKED;
        RECT c{};
        GetWindowRect(control, &c);
        std::printf("control id=%d class=%s rect %ld %ld %ld %ld enabled=%d checked=%d text=%s\n",
                    GetDlgCtrlID(control), class_name, c.left, c.top, c.right, c.bottom,
                    IsWindowEnabled(control) ? 1 : 0, checked ? 1 : 0, text);
        return TRUE;
      },
      0);
  return 0;
}

// The visible popup menu windows, in z-order (the newest submenu first).
std::vector<HWND> OpenMenuWindows() {
  std::vector<HWND> found;
  HWND window = nullptr;
  while ((window = FindWindowExA(nullptr, window, "#32768", nullptr)) != nullptr) {
    if (IsWindowVisible(window)) found.push_back(window);
  }
  return found;
}

// A named block of shared memory, zeroed, and its named "done" event: how a
// probe library loaded into another process gets its orders and answers.
template <typename T>
class TSharedBlock {
 public:
  TSharedBlock(const wchar_t* mapping_name, const wchar_t* done_name)
      : mapping_(CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(T), mapping_name)),
        done_(CreateEventW(nullptr, TRUE, FALSE, done_name)) {
    if (mapping_ != nullptr) block_ = static_cast<T*>(MapViewOfFile(mapping_, FILE_MAP_ALL_ACCESS, 0, 0, 0));
    if (block_ != nullptr) std::memset(block_, 0, sizeof *block_);
  }
  ~TSharedBlock() {
    if (block_ != nullptr) UnmapViewOfFile(block_);
    if (mapping_ != nullptr) CloseHandle(mapping_);
    if (done_ != nullptr) CloseHandle(done_);
  }
  TSharedBlock(const TSharedBlock&) = delete;
  TSharedBlock& operator=(const TSharedBlock&) = delete;

  [[nodiscard]] bool Ready() const { return block_ != nullptr && done_ != nullptr; }
  T* operator->() const { return block_; }
  // Loads the probe library `file` (beside this program) into the process of
  // `window` and waits until it has answered.
  [[nodiscard]] bool RunProbe(HWND window, const wchar_t* file) const {
    wchar_t self[MAX_PATH] = {};
    const DWORD n = GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring path(self, n);
    path = path.substr(0, path.find_last_of(L"\\/") + 1) + file;
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    return LoadLibraryInto(pid, path) && WaitForSingleObject(done_, 5000) == WAIT_OBJECT_0;
  }

 private:
  HANDLE mapping_;
  HANDLE done_;
  T* block_ = nullptr;
};

void PrintRecordedCall(const TRecordedCall& call) {
  const SYSTEMTIME& t = call.LocalTime;
  if (call.Kind == TRecordedKind::Present) {
    std::printf("present %lu %02u:%02u:%02u.%03u %lu\n", static_cast<unsigned long>(call.Tick), t.wHour, t.wMinute,
                t.wSecond, t.wMilliseconds, static_cast<unsigned long>(call.Alpha));
  } else {
    std::printf("open %lu %02u:%02u:%02u.%03u\n", static_cast<unsigned long>(call.Tick), t.wHour, t.wMinute, t.wSecond,
                t.wMilliseconds);
  }
}

// Writes `text` to the file at `path` (a clock's timestamp file).
bool WriteTextFile(const char* path, const char* text) {
  HANDLE file = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const auto length = static_cast<DWORD>(std::strlen(text));
  const BOOL ok = WriteFile(file, text, length, &written, nullptr);
  CloseHandle(file);
  return ok && written == length;
}

// Records the presentations, device openings and window messages of
// the process of `window` for `seconds` (fault_probe.dll's record mode) and
// prints them. With `timestamp_file`: 300 ms after the first tick of Timer1
// that comes 2 s or more into the recording, `instant` is written to that
// file (the clock's faked time) and WM_TIMECHANGE posted to the window.
int RecordCalls(HWND window, double seconds, const char* timestamp_file, const char* instant) {
  TSharedBlock<TFaultBlock> block(kFaultMapping, kFaultDoneEvent);
  if (!block.Ready()) return 3;
  std::strncpy(block->Function, "record", sizeof block->Function - 1);
  if (!block.RunProbe(window, L"fault_probe.dll")) return 3;
  std::printf("patched=%d\n", block->Patched);
  const DWORD start = GetTickCount();
  const auto length = static_cast<DWORD>(seconds * 1000);
  // Without a time to set, one wait: polling would cost the machine more
  // than the clock under measurement.
  if (timestamp_file == nullptr) Sleep(length);
  bool changed = timestamp_file == nullptr;
  LONG last_tick = block->LastTimer1Tick;
  while (!changed && GetTickCount() - start < length) {
    Sleep(1);
    const LONG tick = block->LastTimer1Tick;
    if (!changed && tick != last_tick && GetTickCount() - start >= 2000) {
      // Mid-way between two ticks of Timer1.
      Sleep(300);
      if (!WriteTextFile(timestamp_file, instant)) return 3;
      PostMessageW(window, WM_TIMECHANGE, 0, 0);
      std::printf("timechange %lu\n", GetTickCount());
      changed = true;
    }
    last_tick = tick;
  }
  if (GetTickCount() - start < length) Sleep(length - (GetTickCount() - start));
  const LONG recorded = block->Recorded < kMaxRecordedCalls ? block->Recorded : kMaxRecordedCalls;
  for (LONG i = 0; i < recorded; ++i) PrintRecordedCall(block->Calls[i]);
  std::printf("messages=%ld timer1=%ld fade=%ld other_timers=%ld ms=%lu\n", block->Dispatched,
              block->TimerMessages[0], block->TimerMessages[1], block->TimerMessages[2],
              static_cast<unsigned long>(GetTickCount() - start));
  return block->Patched ? 0 : 3;
}

// The items of the open menus, read inside the process that shows them: a
// menu handle is valid only there under Wine. menu_probe.dll (beside this
// program) is loaded into that process and answers through a shared block.
int PrintOpenMenus() {
  const std::vector<HWND> windows = OpenMenuWindows();
  if (windows.empty()) return 2;

  TSharedBlock<TProbeBlock> block(kProbeMapping, kProbeDoneEvent);
  if (!block.Ready()) return 3;
  for (HWND window : windows) {
    if (block->MenuCount == kProbeMaxMenus) break;
    const auto menu = reinterpret_cast<UINT_PTR>(reinterpret_cast<HMENU>(SendMessageA(window, MN_GETHMENU, 0, 0)));
    block->Menus[block->MenuCount] = menu;
    block->MenuWindows[block->MenuCount] = reinterpret_cast<UINT_PTR>(window);
    ++block->MenuCount;
  }
  if (!block.RunProbe(windows.front(), L"menu_probe.dll")) return 3;
  std::fputs(block->Text, stdout);
  return 0;
}

// Watches the screen pixel (x, y) while the window lives: prints each change
// as "t_ms=r,g,b", then "changes=N first_change_ms=T gone_ms=T" (times from
// the start of the watch; -1 for what did not happen within `seconds`).
int WatchFade(HWND window, int x, int y, int seconds) {
  HDC screen = GetDC(nullptr);
  const ULONGLONG start = GetTickCount64();
  COLORREF last = GetPixel(screen, x, y);
  std::printf("0=%u,%u,%u\n", GetRValue(last), GetGValue(last), GetBValue(last));
  int changes = 0;
  long long first_change = -1;
  long long gone = -1;
  while (GetTickCount64() - start < static_cast<ULONGLONG>(seconds) * 1000) {
    const long long t = static_cast<long long>(GetTickCount64() - start);
    if (!IsWindow(window)) {
      gone = t;
      break;
    }
    const COLORREF now = GetPixel(screen, x, y);
    if (now != last) {
      ++changes;
      if (first_change < 0) first_change = t;
      std::printf("%lld=%u,%u,%u\n", t, GetRValue(now), GetGValue(now), GetBValue(now));
      last = now;
    }
    Sleep(1);
  }
  ReleaseDC(nullptr, screen);
  std::printf("changes=%d first_change_ms=%lld gone_ms=%lld\n", changes, first_change, gone);
  return gone >= 0 ? 0 : 3;
}

// Replaces the access list of the current user's key `path` with one entry
// granting everyone `access`: KEY_READ makes writes fail, KEY_ALL_ACCESS
// gives them back.
int SetKeyAccess(const char* path, REGSAM access) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, WRITE_DAC, &key) != ERROR_SUCCESS) return 2;
  SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
  PSID everyone = nullptr;
  int result = 3;
  if (AllocateAndInitializeSid(&world, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, &everyone)) {
    alignas(8) unsigned char buffer[256] = {};
    auto* acl = reinterpret_cast<PACL>(buffer);
    SECURITY_DESCRIPTOR descriptor{};
    if (InitializeAcl(acl, sizeof buffer, ACL_REVISION) && AddAccessAllowedAce(acl, ACL_REVISION, access, everyone) &&
        InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION) &&
        SetSecurityDescriptorDacl(&descriptor, TRUE, acl, FALSE) &&
        RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, &descriptor) == ERROR_SUCCESS) {
      result = 0;
    }
    FreeSid(everyone);
  }
  RegCloseKey(key);
  return result;
}

// WM_DPICHANGED carries a pointer to the suggested rectangle. Whether the
// message system copies it into the receiving process or passes the
// pointer on as it is, the rectangle is there: it is written at one address
// that is allocated both here and in the window's process.
bool SendSuggestedRect(HWND window, UINT ppi, const RECT& suggested) {
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, pid);
  if (process == nullptr) return false;
  bool sent = false;
  void* remote = VirtualAllocEx(process, nullptr, sizeof suggested, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  void* local = remote != nullptr ? VirtualAlloc(remote, sizeof suggested, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE)
                                  : nullptr;
  if (local == remote && local != nullptr && WriteProcessMemory(process, remote, &suggested, sizeof suggested, nullptr)) {
    std::memcpy(local, &suggested, sizeof suggested);
    DWORD_PTR ignored = 0;
    sent = SendMessageTimeoutW(window, WM_DPICHANGED, MAKEWPARAM(ppi, ppi), reinterpret_cast<LPARAM>(local),
                               SMTO_ABORTIFHUNG, 10000, &ignored) != 0;
  }
  if (local != nullptr) VirtualFree(local, 0, MEM_RELEASE);
  if (remote != nullptr) VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  CloseHandle(process);
  return sent;
}

int CloseTimed(HWND window, int count) {
  const ULONGLONG start = GetTickCount64();
  for (int i = 0; i < count; ++i) PostMessageA(window, WM_CLOSE, 0, 0);
  Sleep(50);
  const int alive = IsWindow(window) ? 1 : 0;
  long long gone_ms = -1;
  while (GetTickCount64() - start < 10000) {
    if (!IsWindow(window)) {
      gone_ms = static_cast<long long>(GetTickCount64() - start);
      break;
    }
    Sleep(2);
  }
  std::printf("alive_after_50ms=%d gone_ms=%lld\n", alive, gone_ms);
  return gone_ms >= 0 ? 0 : 3;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: winmsg COMMAND CLASS|CAPTION ...\n");
    return 1;
  }
  const std::string command = argv[1];
  const char* target = argv[2];

  if (command == "wait-gone") {
    const int seconds = argc > 3 ? std::atoi(argv[3]) : 10;
    for (int i = 0; i < seconds * 20; ++i) {
      if (FindByClass(target) == nullptr) return 0;
      Sleep(50);
    }
    return 3;
  }
  if (command == "menu") return PrintOpenMenus();
  if (command == "tray") return PrintTrayIcons();
  if (command == "tray-forget") return ForgetTrayIcon(target);
  if (command == "broadcast") return BroadcastRegistered(target);
  if (command == "foreground") {
    const HWND foreground = GetForegroundWindow();
    if (foreground == nullptr) return 2;
    char class_name[256] = {};
    char title[256] = {};
    GetClassNameA(foreground, class_name, sizeof class_name);
    GetWindowTextA(foreground, title, sizeof title);
    std::printf("class=%s title=%s\n", class_name, title);
    return 0;
  }
  if (command == "tray-clicks") {
    if (argc < 5) return 1;
    return SendTrayClicks(target, argv[3], std::atoi(argv[4]));
  }
  if (command == "key-read-only") return SetKeyAccess(target, KEY_READ);
  if (command == "key-writable") return SetKeyAccess(target, KEY_ALL_ACCESS);
  if (command == "boxes") {
    int n = 0;
    HWND box = nullptr;
    while ((box = FindWindowExA(nullptr, box, "#32770", target)) != nullptr) n += IsWindowVisible(box) ? 1 : 0;
    std::printf("boxes=%d\n", n);
    return 0;
  }
  if (command == "controls") return PrintControls(target);
  if (command == "dialog" || command == "dismiss") {
    const HWND box = FindBox(target);
    if (box == nullptr) return 2;
    if (command == "dialog") {
      std::printf("text=%s\n", BoxText(box).c_str());
      return 0;
    }
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    return 0;
  }

  const HWND window = FindByClass(target);
  if (window == nullptr) return 2;
  if (command == "exists") return 0;
  if (command == "rect") {
    RECT r{};
    GetWindowRect(window, &r);
    std::printf("rect %ld %ld %ld %ld\n", r.left, r.top, r.right, r.bottom);
    return 0;
  }
  if (command == "info") {
    char title[256] = {};
    GetWindowTextA(window, title, sizeof title);
    const LONG_PTR ex = GetWindowLongPtrA(window, GWL_EXSTYLE);
    std::printf("title=%s exstyle=0x%llx visible=%d topmost=%d layered=%d toolwindow=%d\n", title,
                static_cast<unsigned long long>(ex), IsWindowVisible(window) ? 1 : 0, (ex & WS_EX_TOPMOST) ? 1 : 0,
                (ex & WS_EX_LAYERED) ? 1 : 0, (ex & WS_EX_TOOLWINDOW) ? 1 : 0);
    return 0;
  }
  if (command == "close") return PostMessageA(window, WM_CLOSE, 0, 0) ? 0 : 3;
  if (command == "resources") return PrintProcessResources(window);
  if (command == "windows") return PrintProcessWindows(window);
  if (command == "fault") {
    if (argc < 5) return 1;
    TSharedBlock<TFaultBlock> block(kFaultMapping, kFaultDoneEvent);
    if (!block.Ready()) return 3;
    std::strncpy(block->Function, argv[3], sizeof block->Function - 1);
    block->Count = std::atoi(argv[4]);
    block->Error = argc > 5 ? static_cast<std::uint32_t>(Number(argv[5])) : ERROR_ACCESS_DENIED;
    if (!block.RunProbe(window, L"fault_probe.dll")) return 3;
    std::printf("patched=%d\n", block->Patched);
    // Kept open (and so the block) while the test runs: the helper waits
    // here, reporting the failures made, until the window is gone.
    for (;;) {
      std::printf("failed=%d\n", block->Failed);
      std::fflush(stdout);
      if (!IsWindow(window)) return block->Patched ? 0 : 3;
      Sleep(500);
    }
  }
  if (command == "record") {
    if (argc < 4) return 1;
    return RecordCalls(window, std::atof(argv[3]), argc > 5 ? argv[4] : nullptr, argc > 5 ? argv[5] : nullptr);
  }
  if (command == "dpi") {
    if (argc < 8) return 1;
    const RECT suggested{static_cast<LONG>(Number(argv[4])), static_cast<LONG>(Number(argv[5])),
                         static_cast<LONG>(Number(argv[6])), static_cast<LONG>(Number(argv[7]))};
    return SendSuggestedRect(window, static_cast<UINT>(Number(argv[3])), suggested) ? 0 : 3;
  }
  if (command == "handles") {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    const long handles = CountProcessHandles(pid);
    if (handles < 0) return 3;
    std::printf("handles=%ld\n", handles);
    return 0;
  }
  if (command == "watch-fade") {
    if (argc < 5) return 1;
    return WatchFade(window, std::atoi(argv[3]), std::atoi(argv[4]), argc > 5 ? std::atoi(argv[5]) : 10);
  }
  if (command == "close-timed") return CloseTimed(window, argc > 3 ? std::atoi(argv[3]) : 1);
  if (command == "post") {
    if (argc < 4) return 1;
    const UINT message = static_cast<UINT>(Number(argv[3]));
    const WPARAM wparam = argc > 4 ? Number(argv[4]) : 0;
    const LPARAM lparam = argc > 5 ? static_cast<LPARAM>(Number(argv[5])) : 0;
    return PostMessageA(window, message, wparam, lparam) ? 0 : 3;
  }
  if (command == "pulse") {
    if (argc < 5) return 1;
    const UINT message = static_cast<UINT>(Number(argv[3]));
    const DWORD interval_ms = static_cast<DWORD>(Number(argv[4]));
    while (IsWindow(window) && PostMessageA(window, message, 0, 0)) Sleep(interval_ms);
    return 0;
  }
  if (command == "endsession") {
    const LPARAM lparam = argc > 3 ? static_cast<LPARAM>(Number(argv[3])) : 0;
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutA(window, WM_QUERYENDSESSION, 0, lparam, SMTO_ABORTIFHUNG, 5000, &answer)) return 3;
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(window, WM_ENDSESSION, answer ? TRUE : FALSE, lparam, SMTO_ABORTIFHUNG, 5000, &ignored);
    std::printf("query_end_session=%d\n", answer ? 1 : 0);
    return answer ? 0 : 4;
  }
  std::fprintf(stderr, "unknown command %s\n", command.c_str());
  return 1;
}
