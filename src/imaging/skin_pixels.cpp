#include "imaging/skin_pixels.h"

#include <cmath>

namespace vesk::imaging {

GammaTable MakeGammaTable(std::uint32_t gama) {
  GammaTable table{};
  const long double exponent = 1.0L / (static_cast<long double>(gama) / 100000.0L * 2.2L);
  for (std::uint32_t s = 0; s < 256; ++s) {
    const long double value = 255.0L * std::pow(static_cast<long double>(s) / 255.0L, exponent);
    // nearbyint uses the current rounding mode, which is to nearest, ties to even.
    const long double rounded = std::nearbyint(value);
    table[s] = static_cast<std::uint8_t>(rounded < 0.0L ? 0.0L : (rounded > 255.0L ? 255.0L : rounded));
  }
  return table;
}

}  // namespace vesk::imaging
