#include "raster/blend_tables.h"

namespace vesk::raster {

namespace {

// Compile-time evaluation budgets are per variable (clang allows about a
// million steps for one initialiser), so each table is computed as four
// blocks of 64 rows, each its own constant, and then put together row by row.
constexpr std::uint32_t kBlockRows = 64;
using TBlock = std::array<std::array<std::uint8_t, 256>, kBlockRows>;

template <std::uint8_t (*Entry)(std::uint32_t, std::uint32_t)>
constexpr TBlock BuildBlock(std::uint32_t first_row) noexcept {
  TBlock block{};
  for (std::uint32_t r = 0; r < kBlockRows; ++r) {
    auto& row = block[r];
    for (std::uint32_t i = 0; i < 256; ++i) row[i] = Entry(first_row + r, i);
  }
  return block;
}

template <std::uint8_t (*Entry)(std::uint32_t, std::uint32_t)>
struct TBlocks {
  static constexpr TBlock k0 = BuildBlock<Entry>(0);
  static constexpr TBlock k1 = BuildBlock<Entry>(64);
  static constexpr TBlock k2 = BuildBlock<Entry>(128);
  static constexpr TBlock k3 = BuildBlock<Entry>(192);

  static consteval TByteTable Join() noexcept {
    TByteTable t{};
    for (std::uint32_t r = 0; r < kBlockRows; ++r) {
      t[r] = k0[r];
      t[r + 64] = k1[r];
      t[r + 128] = k2[r];
      t[r + 192] = k3[r];
    }
    return t;
  }
};

constexpr TMixWeights BuildMixWeights() noexcept {
  TMixWeights t{};
  for (std::uint32_t w = 0; w < 256; ++w) t[w] = MixWeightEntry(w);
  return t;
}

}  // namespace

// constexpr definitions of the extern declarations: evaluated by the
// compiler, placed in read-only data, no start-up code.
alignas(64) constexpr TByteTable ProductTable = TBlocks<&ProductEntry>::Join();
alignas(64) constexpr TByteTable QuotientTable = TBlocks<&QuotientEntry>::Join();
alignas(8) constexpr TMixWeights MixWeights = BuildMixWeights();

static_assert(ProductTable[255][200] == 200 && ProductTable[128][127] == 64);
static_assert(QuotientTable[6][1] == 42 && QuotientTable[2][1] == 128);
static_assert(QuotientTable[255][255] == 255 && QuotientTable[192][64] == 85);
static_assert(MixWeights[128] == RoundingBias);

}  // namespace vesk::raster
