#include <windows.h>

#include "platform/sys_color.h"

namespace vesk::platform {

std::uint32_t GetSysColor(std::int32_t index) noexcept { return ::GetSysColor(index); }

}  // namespace vesk::platform
