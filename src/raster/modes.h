#pragma once
// How a bitmap is combined when drawn into another, and how coordinates
// outside a bitmap are folded back into it.
#include <cstdint>

namespace vesk::raster {

enum class TDrawMode : std::uint8_t { dmOpaque = 0, dmBlend = 1, dmCustom = 2, dmTransparent = 3 };
enum class TCombineMode : std::uint8_t { cmBlend = 0, cmMerge = 1 };
enum class TWrapMode : std::uint8_t { wmClamp = 0, wmRepeat = 1, wmMirror = 2 };

using enum TDrawMode;
using enum TCombineMode;
using enum TWrapMode;

}  // namespace vesk::raster
