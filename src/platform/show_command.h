#pragma once
// Show commands, numbered as the window manager numbers them: how a window
// is shown, and how the shell shows a program or a page it opens.
#include <cstdint>

namespace vesk::platform {

inline constexpr std::int32_t kShowHide = 0;
inline constexpr std::int32_t kShowNormal = 1;
inline constexpr std::int32_t kShowMinimized = 2;
inline constexpr std::int32_t kShowMaximized = 3;
inline constexpr std::int32_t kShowNoActivate = 4;
inline constexpr std::int32_t kShowShow = 5;
inline constexpr std::int32_t kShowMinimize = 6;
inline constexpr std::int32_t kShowMinNoActive = 7;
inline constexpr std::int32_t kShowNa = 8;
inline constexpr std::int32_t kShowRestore = 9;

}  // namespace vesk::platform
