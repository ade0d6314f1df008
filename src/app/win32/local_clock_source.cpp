#include "app/win32/local_clock_source.h"

#include <windows.h>

namespace vesk::app::win32 {

TLocalTime TLocalClockSource::Now() {
  SYSTEMTIME st;
  GetLocalTime(&st);
  return TLocalTime{st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond, st.wMilliseconds};
}

}  // namespace vesk::app::win32
