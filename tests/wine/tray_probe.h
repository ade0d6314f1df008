#pragma once
// The notification area seen from outside, for the end-to-end tests: the
// icons of the tray window that Wine shows when the desktop has no tray of
// its own (one child window per icon), their tips (the tools of that
// process's tooltip windows, read through memory lent in that process), and
// a burst of icon clicks sent straight to the clock's hidden icon window.
#include <windows.h>
// After windows.h, which it builds on.
#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

inline constexpr const char* kWineTrayClass = "__winex11_standalone_tray";
inline constexpr const char* kWineTrayIconClass = "__winex11_tray_icon";

struct TTrayProbeIcons {
  HWND Tray = nullptr;
  std::vector<HWND> Icons;  // visible icon windows, left to right
};

inline BOOL CALLBACK CollectTrayIcon(HWND child, LPARAM data) {
  char class_name[64] = {};
  GetClassNameA(child, class_name, sizeof class_name);
  if (lstrcmpA(class_name, kWineTrayIconClass) == 0 && IsWindowVisible(child)) {
    reinterpret_cast<std::vector<HWND>*>(data)->push_back(child);
  }
  return TRUE;
}

inline TTrayProbeIcons FindTrayIcons() {
  TTrayProbeIcons found;
  found.Tray = FindWindowA(kWineTrayClass, nullptr);
  if (found.Tray != nullptr && IsWindowVisible(found.Tray)) {
    EnumChildWindows(found.Tray, CollectTrayIcon, reinterpret_cast<LPARAM>(&found.Icons));
  }
  return found;
}

struct TTipSearch {
  DWORD Pid = 0;
  std::vector<HWND> Tooltips;
};

inline BOOL CALLBACK CollectTooltip(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<TTipSearch*>(data);
  char class_name[64] = {};
  GetClassNameA(window, class_name, sizeof class_name);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  if (pid == search->Pid && lstrcmpiA(class_name, TOOLTIPS_CLASSA) == 0) search->Tooltips.push_back(window);
  return TRUE;
}

// The texts of every tool of the tooltip windows of process `pid`. The
// request and the text buffer live in that process: tooltip messages carry
// pointers that are read there.
inline std::vector<std::string> ToolTexts(DWORD pid) {
  TTipSearch search;
  search.Pid = pid;
  EnumWindows(CollectTooltip, reinterpret_cast<LPARAM>(&search));
  std::vector<std::string> texts;
  HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
  if (process == nullptr) return texts;
  constexpr SIZE_T kTextChars = 1024;
  constexpr SIZE_T kBytes = sizeof(TTTOOLINFOW) + kTextChars * sizeof(wchar_t);
  auto* remote = static_cast<unsigned char*>(VirtualAllocEx(process, nullptr, kBytes, MEM_COMMIT | MEM_RESERVE,
                                                            PAGE_READWRITE));
  if (remote != nullptr) {
    auto* remote_text = reinterpret_cast<wchar_t*>(remote + sizeof(TTTOOLINFOW));
    for (HWND tooltip : search.Tooltips) {
      const auto count = static_cast<int>(SendMessageW(tooltip, TTM_GETTOOLCOUNT, 0, 0));
      for (int i = 0; i < count; ++i) {
        TTTOOLINFOW info{};
        info.cbSize = sizeof info;
        info.lpszText = remote_text;
        std::vector<wchar_t> zero(kTextChars, 0);
        WriteProcessMemory(process, remote_text, zero.data(), kTextChars * sizeof(wchar_t), nullptr);
        WriteProcessMemory(process, remote, &info, sizeof info, nullptr);
        if (!SendMessageW(tooltip, TTM_ENUMTOOLSW, i, reinterpret_cast<LPARAM>(remote))) continue;
        // The tool as stored; then its text into the buffer.
        ReadProcessMemory(process, remote, &info, sizeof info, nullptr);
        info.lpszText = remote_text;
        WriteProcessMemory(process, remote, &info, sizeof info, nullptr);
        SendMessageW(tooltip, TTM_GETTEXTW, kTextChars, reinterpret_cast<LPARAM>(remote));
        std::vector<wchar_t> text(kTextChars, 0);
        ReadProcessMemory(process, remote_text, text.data(), (kTextChars - 1) * sizeof(wchar_t), nullptr);
        char narrow[kTextChars * 3] = {};
        WideCharToMultiByte(CP_UTF8, 0, text.data(), -1, narrow, sizeof narrow, nullptr, nullptr);
        texts.emplace_back(narrow);
      }
    }
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  }
  CloseHandle(process);
  return texts;
}

// "tray L T R B icons N", then "icon K rect L T R B" per icon and
// "tip=..." per tool of the tray's tooltips. Exit 2 when no tray window is
// shown.
inline int PrintTrayIcons() {
  const TTrayProbeIcons found = FindTrayIcons();
  if (found.Tray == nullptr || !IsWindowVisible(found.Tray)) return 2;
  RECT r{};
  GetWindowRect(found.Tray, &r);
  std::printf("tray %ld %ld %ld %ld icons %zu\n", r.left, r.top, r.right, r.bottom, found.Icons.size());
  for (std::size_t i = 0; i < found.Icons.size(); ++i) {
    GetWindowRect(found.Icons[i], &r);
    std::printf("icon %zu rect %ld %ld %ld %ld\n", i, r.left, r.top, r.right, r.bottom);
  }
  DWORD pid = 0;
  GetWindowThreadProcessId(found.Tray, &pid);
  for (const std::string& tip : ToolTexts(pid)) std::printf("tip=%s\n", tip.c_str());
  return 0;
}

// Sends `cycles` left clicks (button down, button up) as the shell would,
// straight to the icon's hidden window of class `icon_class`, and checks
// after each that the window of class `main_class` changed its visibility.
// Prints "clicks=N toggled=N slowest_ms=T total_ms=T". Exit 3 when a click
// did not toggle or a message was not answered within 5 s.
inline int SendTrayClicks(const char* icon_class, const char* main_class, int cycles) {
  HWND icon = FindWindowA(icon_class, nullptr);
  HWND main = FindWindowA(main_class, nullptr);
  if (icon == nullptr || main == nullptr) return 2;
  const ULONGLONG start = GetTickCount64();
  ULONGLONG slowest = 0;
  int toggled = 0;
  bool answered = true;
  for (int i = 0; i < cycles && answered; ++i) {
    const bool before = IsWindowVisible(main) != FALSE;
    const ULONGLONG t0 = GetTickCount64();
    DWORD_PTR ignored = 0;
    answered = SendMessageTimeoutA(icon, 0xB054, 0, WM_LBUTTONDOWN, SMTO_ABORTIFHUNG, 5000, &ignored) != 0 &&
               SendMessageTimeoutA(icon, 0xB054, 0, WM_LBUTTONUP, SMTO_ABORTIFHUNG, 5000, &ignored) != 0;
    slowest = std::max(slowest, GetTickCount64() - t0);
    if ((IsWindowVisible(main) != FALSE) != before) ++toggled;
  }
  std::printf("clicks=%d toggled=%d slowest_ms=%llu total_ms=%llu\n", cycles, toggled, slowest,
              GetTickCount64() - start);
  return answered && toggled == cycles ? 0 : 3;
}

// Removes the icon of the hidden window of class `icon_class` (identifier
// 0) from the notification area, as a restarting shell loses it. Exit 3
// when the shell refused.
inline int ForgetTrayIcon(const char* icon_class) {
  HWND icon = FindWindowA(icon_class, nullptr);
  if (icon == nullptr) return 2;
  NOTIFYICONDATAA data{};
  data.cbSize = NOTIFYICONDATAA_V1_SIZE;
  data.hWnd = icon;
  data.uID = 0;
  return Shell_NotifyIconA(NIM_DELETE, &data) ? 0 : 3;
}

// Sends the registered message `name` to every top-level window, as the
// shell announces a new notification area ("TaskbarCreated").
inline int BroadcastRegistered(const char* name) {
  const UINT message = RegisterWindowMessageA(name);
  if (message == 0) return 3;
  DWORD_PTR ignored = 0;
  return SendMessageTimeoutA(HWND_BROADCAST, message, 0, 0, SMTO_ABORTIFHUNG, 5000, &ignored) ? 0 : 3;
}

struct TWindowCount {
  DWORD Pid = 0;
  long Count = 0;
};

inline BOOL CALLBACK CountChildWindow(HWND, LPARAM data) {
  ++reinterpret_cast<TWindowCount*>(data)->Count;
  return TRUE;
}

inline BOOL CALLBACK CountProcessWindow(HWND window, LPARAM data) {
  auto* count = reinterpret_cast<TWindowCount*>(data);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  if (pid == count->Pid) {
    ++count->Count;
    EnumChildWindows(window, CountChildWindow, data);
  }
  return TRUE;
}

// "windows=N": the top-level windows of the process owning `window` and
// all their descendants (a stand-in for its USER objects where the system
// keeps no count of those).
inline int PrintProcessWindows(HWND window) {
  TWindowCount count;
  GetWindowThreadProcessId(window, &count.Pid);
  EnumWindows(CountProcessWindow, reinterpret_cast<LPARAM>(&count));
  std::printf("windows=%ld\n", count.Count);
  return 0;
}
