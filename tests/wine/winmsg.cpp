// winmsg.exe: a console helper that the end-to-end scripts run under Wine to
// look at and poke the clock window from outside.
//
//   winmsg exists CLASS                 exit 0 when a window of CLASS exists
//   winmsg rect CLASS                   "rect L T R B" (GetWindowRect)
//   winmsg info CLASS                   "title=... exstyle=0x... visible=0|1 topmost=0|1 layered=0|1 toolwindow=0|1"
//   winmsg post CLASS MSG [WP [LP]]     PostMessage (numbers decimal or 0x hex)
//   winmsg close CLASS                  PostMessage WM_CLOSE
//   winmsg close-timed CLASS N          posts WM_CLOSE N times back to back, then
//                                       "alive_after_50ms=0|1 gone_ms=T" (T = -1 if not gone in 10 s)
//   winmsg endsession CLASS [LP]        SendMessageTimeout WM_QUERYENDSESSION, then WM_ENDSESSION
//                                       with the answer; exit 0 accepted, 4 refused
//   winmsg wait-gone CLASS SEC          exit 0 once no window of CLASS exists
//   winmsg dialog CAPTION               "text=..." of the message box with that caption
//   winmsg dismiss CAPTION              presses OK on that message box
// Exit codes: 0 ok, 1 usage, 2 window not found, 3 timeout or failure, 4 refused.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

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
  if (command == "close-timed") return CloseTimed(window, argc > 3 ? std::atoi(argv[3]) : 1);
  if (command == "post") {
    if (argc < 4) return 1;
    const UINT message = static_cast<UINT>(Number(argv[3]));
    const WPARAM wparam = argc > 4 ? Number(argv[4]) : 0;
    const LPARAM lparam = argc > 5 ? static_cast<LPARAM>(Number(argv[5])) : 0;
    return PostMessageA(window, message, wparam, lparam) ? 0 : 3;
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
