// The lookup tables against direct formulas, entry by entry.
#include <gtest/gtest.h>

#include "pixel_reference.h"
#include "raster/blend_tables.h"

namespace vesk::raster {
namespace {

using namespace vesk::raster::testing;

TEST(BlendTables, ProductTableIsRoundedProduct) {
  int bad = 0, asymmetric = 0;
  for (std::uint32_t j = 0; j < 256; ++j) {
    for (std::uint32_t i = 0; i < 256; ++i) {
      bad += ProductTable[j][i] != RefProduct(j, i);
      asymmetric += ProductTable[j][i] != ProductTable[i][j];
    }
  }
  EXPECT_EQ(bad, 0);
  EXPECT_EQ(asymmetric, 0);
  EXPECT_EQ(ProductTable[128][127], 64);
  EXPECT_EQ(ProductTable[255][77], 77);
  // Row-major layout: P[j][i] at byte offset j * 256 + i.
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(&ProductTable);
  EXPECT_EQ(bytes[3 * 256 + 200], ProductTable[3][200]);
  EXPECT_EQ(sizeof ProductTable, 65536u);
}

TEST(BlendTables, QuotientTableRoundsHalvesToEven) {
  int bad = 0;
  for (std::uint32_t j = 0; j < 256; ++j) {
    for (std::uint32_t i = 0; i < 256; ++i) bad += QuotientTable[j][i] != RefQuotient(j, i);
  }
  EXPECT_EQ(bad, 0);
  EXPECT_EQ(QuotientTable[6][1], 42);    // 42.5
  EXPECT_EQ(QuotientTable[2][1], 128);   // 127.5
  EXPECT_EQ(QuotientTable[10][3], 76);   // 76.5
  EXPECT_EQ(QuotientTable[192][192], 255);
  EXPECT_EQ(QuotientTable[0][200], 0);
  // Above the diagonal only the low 8 bits are kept: 255 * 255 / 1 = 65025.
  EXPECT_EQ(QuotientTable[1][255], 65025 & 0xFF);
}

TEST(BlendTables, MixWeightsBroadcastTheWeight) {
  for (std::uint32_t w = 0; w < 256; ++w) {
    const std::uint64_t e = MixWeights[w];
    for (int lane = 0; lane < 4; ++lane) EXPECT_EQ((e >> (16 * lane)) & 0xFFFFu, w) << "w=" << w;
  }
  EXPECT_EQ(RoundingBias, MixWeights[128]);
  EXPECT_EQ(reinterpret_cast<std::uintptr_t>(MixWeights.data()) % 8, 0u);
}

}  // namespace
}  // namespace vesk::raster
