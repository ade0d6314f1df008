#pragma once
// System colours: a GDI colour with the top bit set names an entry of the
// system's colour table (index in the low byte).
#include <cstdint>

namespace vesk::platform {

inline constexpr std::int32_t kColorWindowText = 8;
inline constexpr std::int32_t kClWindowText = static_cast<std::int32_t>(0x80000000u | 8u);

// The system's colour for a table index as 0x00BBGGRR. Windows asks the
// system; elsewhere a fixed table of the standard scheme is used. Unknown
// indices give 0.
[[nodiscard]] std::uint32_t GetSysColor(std::int32_t index) noexcept;

// A GDI colour with system colours resolved: a negative value becomes
// GetSysColor(value & 0xFF); any other value keeps its low 24 bits.
[[nodiscard]] inline std::uint32_t ResolveGdiColor(std::int32_t color) noexcept {
  if (color < 0) return GetSysColor(color & 0xFF) & 0x00FFFFFFu;
  return static_cast<std::uint32_t>(color) & 0x00FFFFFFu;
}

}  // namespace vesk::platform
