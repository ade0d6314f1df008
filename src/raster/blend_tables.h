#pragma once
// Lookup tables of the blend and merge arithmetic. All are computed at
// compile time (constant-initialised), so they exist before any code of any
// translation unit runs and are immutable afterwards.
#include <array>
#include <cstdint>

namespace vesk::raster {

// 256 x 256 bytes, row-major: Table[j][i] sits at byte offset j * 256 + i.
using TByteTable = std::array<std::array<std::uint8_t, 256>, 256>;

// round(i * j / 255): an 8-bit product with 255 as one. The exact quotient
// never ends in .5 (255 is odd, so 2 * i * j = 255 * odd has no solution), so
// no tie rule is needed; computed as (2 * i * j + 255) div 510. Symmetric.
[[nodiscard]] constexpr std::uint8_t ProductEntry(std::uint32_t j, std::uint32_t i) noexcept {
  return static_cast<std::uint8_t>((2 * i * j + 255) / 510);
}

// round(255 * i / j), halves to the even neighbour, kept to its low 8 bits;
// 0 for j = 0. Entries with i <= j are 0..255 and are the only ones the merge
// reads (a channel weighted by the result alpha divided back by that alpha).
[[nodiscard]] constexpr std::uint8_t QuotientEntry(std::uint32_t j, std::uint32_t i) noexcept {
  if (j == 0) return 0;
  const std::uint32_t n = 255 * i;
  std::uint32_t q = n / j;
  const std::uint32_t twice_rest = 2 * (n % j);
  if (twice_rest > j || (twice_rest == j && (q & 1u) != 0)) ++q;
  return static_cast<std::uint8_t>(q);
}

static_assert(ProductEntry(128, 128) == 64 && ProductEntry(255, 77) == 77);
static_assert(ProductEntry(128, 127) == 64 && ProductEntry(1, 127) == 0 && ProductEntry(1, 128) == 1);
static_assert(QuotientEntry(6, 1) == 42 && QuotientEntry(2, 1) == 128);  // 42.5 -> 42, 127.5 -> 128
static_assert(QuotientEntry(192, 192) == 255 && QuotientEntry(0, 9) == 0);

// ProductTable[j][i] = ProductEntry(j, i); QuotientTable[j][i] = QuotientEntry(j, i).
extern const TByteTable ProductTable;
extern const TByteTable QuotientTable;

// Entry w holds four 16-bit lanes equal to w: a weight broadcast to the four
// channels of a pixel unpacked to 16-bit lanes.
using TMixWeights = std::array<std::uint64_t, 256>;
extern const TMixWeights MixWeights;

[[nodiscard]] constexpr std::uint64_t MixWeightEntry(std::uint32_t w) noexcept {
  return static_cast<std::uint64_t>(w) * 0x0001000100010001ull;
}

// The +128 of the vector mix, in all four 16-bit lanes: MixWeights[128].
inline constexpr std::uint64_t RoundingBias = MixWeightEntry(128);
static_assert(RoundingBias == 0x0080008000800080ull);

}  // namespace vesk::raster
