#include "raster/blend_tables.h"

namespace vesk::raster {

namespace {

template <std::uint8_t (*Entry)(std::uint32_t, std::uint32_t)>
constexpr TByteTable BuildByteTable() noexcept {
  TByteTable t{};
  for (std::uint32_t j = 0; j < 256; ++j) {
    for (std::uint32_t i = 0; i < 256; ++i) t[j][i] = Entry(j, i);
  }
  return t;
}

constexpr TMixWeights BuildMixWeights() noexcept {
  TMixWeights t{};
  for (std::uint32_t w = 0; w < 256; ++w) t[w] = MixWeightEntry(w);
  return t;
}

}  // namespace

// constexpr definitions of the extern declarations: evaluated by the
// compiler, placed in read-only data, no start-up code.
alignas(64) constexpr TByteTable ProductTable = BuildByteTable<&ProductEntry>();
alignas(64) constexpr TByteTable QuotientTable = BuildByteTable<&QuotientEntry>();
alignas(8) constexpr TMixWeights MixWeights = BuildMixWeights();

static_assert(ProductTable[255][200] == 200 && ProductTable[128][127] == 64);
static_assert(QuotientTable[6][1] == 42 && QuotientTable[2][1] == 128);
static_assert(MixWeights[128] == RoundingBias);

}  // namespace vesk::raster
