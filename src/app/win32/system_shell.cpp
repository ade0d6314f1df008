#include "app/win32/system_shell.h"

#include <windows.h>
#include <objbase.h>
#include <shellapi.h>

#include <string>

#include "platform/win32/wide_text.h"

namespace vesk::app::win32 {
using platform::win32::Widen;

namespace {

// nullptr for an empty text: "none" to the shell.
const wchar_t* OrNone(const std::wstring& text) { return text.empty() ? nullptr : text.c_str(); }

}  // namespace

void TSystemShell::Execute(const TShellRequest& request) {
  const std::wstring verb = Widen(request.Verb);
  const std::wstring file = Widen(request.File);
  const std::wstring parameters = Widen(request.Parameters);
  const std::wstring directory = Widen(request.Directory);
  // S_FALSE (already set up on this thread) also needs its CoUninitialize;
  // a thread set up differently keeps its own apartment.
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  ShellExecuteW(nullptr, OrNone(verb), file.c_str(), OrNone(parameters), OrNone(directory), request.Show);
  if (SUCCEEDED(com)) CoUninitialize();
}

}  // namespace vesk::app::win32
