// The fixed-point and rounding helpers the transformation relies on, and the
// matrix primitives on hand-made matrices.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>

#include "raster/fixed.h"
#include "raster/float_matrix.h"

namespace vesk::raster {
namespace {

constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();

TEST(FixedPoint, FixedRoundSendsExactHalvesDown) {
  EXPECT_EQ(FixedRound(98304), 1);    // 1.5
  EXPECT_EQ(FixedRound(-98304), -2);  // -1.5
  EXPECT_EQ(FixedRound(FixedHalf), 0);
  EXPECT_EQ(FixedRound(FixedHalf + 1), 1);
  EXPECT_EQ(FixedRound(-FixedHalf), -1);
  EXPECT_EQ(FixedRound(-FixedHalf + 1), 0);
  EXPECT_EQ(FixedRound(kMax), 32768);  // no overflow at the top
  EXPECT_EQ(FixedRound(kMin), -32768);
}

TEST(FixedPoint, FloatToFixedRoundsHalvesToEven) {
  const long double step = 1.0L / 65536.0L;
  EXPECT_EQ(FloatToFixed(0.5L * step), 0);
  EXPECT_EQ(FloatToFixed(1.5L * step), 2);
  EXPECT_EQ(FloatToFixed(2.5L * step), 2);
  EXPECT_EQ(FloatToFixed(-0.5L * step), 0);
  EXPECT_EQ(FloatToFixed(-1.5L * step), -2);
  EXPECT_EQ(FloatToFixed(-2.5L * step), -2);
  EXPECT_EQ(FloatToFixed(1.0f), FixedOne);
  EXPECT_EQ(FloatToFixed(-0.75f), -49152);
  // A single is scaled exactly, so its last bit still decides.
  EXPECT_EQ(FloatToFixed(0.1f), 6554);  // 0.1f * 65536 = 6553.6000...
  EXPECT_EQ(FloatToFixed(32767.0f), 32767 * FixedOne);
}

TEST(FixedPoint, ConversionsOutsideTheRangeSaturate) {
  EXPECT_EQ(FloatToFixed(32768.0f), kMax);
  EXPECT_EQ(FloatToFixed(1e30f), kMax);
  EXPECT_EQ(FloatToFixed(-32768.0f), kMin);
  EXPECT_EQ(FloatToFixed(-1e30f), kMin);
  EXPECT_EQ(FloatToFixed(std::numeric_limits<float>::quiet_NaN()), 0);
  EXPECT_EQ(RoundHalfEven(std::numeric_limits<long double>::infinity()), kMax);
  EXPECT_EQ(RoundHalfEven(2147483646.5L), 2147483646);
  EXPECT_EQ(RoundHalfEven(-2147483648.4L), kMin);
}

TEST(FixedPoint, RoundHalfEvenTable) {
  const struct {
    long double in;
    std::int32_t out;
  } rows[] = {{-2.5L, -2}, {-1.5L, -2}, {-0.5L, 0}, {0.5L, 0}, {1.5L, 2},
              {2.5L, 2},   {10.5L, 10}, {11.5L, 12}, {0.49999L, 0}, {-0.50001L, -1}};
  for (const auto& r : rows) EXPECT_EQ(RoundHalfEven(r.in), r.out) << static_cast<double>(r.in);
}

TEST(FloatMatrix, MultAppliesTheSecondArgumentFirst) {
  TFloatMatrix move = IdentityMatrix;
  move[2][0] = 3;
  TFloatMatrix twice = IdentityMatrix;
  twice[0][0] = 2;
  // Mult(twice, move): move first, then double: x' = 2x + 6.
  const TFloatMatrix r = Mult(twice, move);
  EXPECT_EQ(r[0][0], 2.0f);
  EXPECT_EQ(r[2][0], 6.0f);
  // The other way round: x' = 2x + 3.
  EXPECT_EQ(Mult(move, twice)[2][0], 3.0f);
}

TEST(FloatMatrix, MultRoundsEachSumOnceToSingle) {
  // 1 + 2^-24 + 2^-24: two separate single additions would lose both small
  // terms (each a half-step tie rounding to even); the extended sum keeps
  // them and rounds once to 1 + 2^-23.
  const float tiny = std::ldexp(1.0f, -24);
  TFloatMatrix a{};
  a[0][0] = 1;
  a[1][0] = tiny;
  a[2][0] = tiny;
  TFloatMatrix b{};
  b[0][0] = 1;
  b[0][1] = 1;
  b[0][2] = 1;
  EXPECT_EQ(Mult(a, b)[0][0], 1.0f + std::ldexp(1.0f, -23));
}

TEST(FloatMatrix, DeterminantAndInverseOfAFullMatrix) {
  // Entries chosen so every intermediate is exact.
  const TFloatMatrix m = {{{2, 0, 1}, {1, 3, 2}, {1, 1, 1}}};
  // 2*(3-2) - 0*(1-2) + 1*(1-3) = 0: singular, inverse is the identity.
  EXPECT_EQ(Determinant(m), 0.0f);
  EXPECT_EQ(Invert(m), IdentityMatrix);

  const TFloatMatrix n = {{{2, 0, 0}, {1, 4, 0}, {3, 5, 1}}};
  EXPECT_EQ(Determinant(n), 8.0f);
  const TFloatMatrix inv = Invert(n);
  const TFloatMatrix expected = {{{0.5f, 0, 0}, {-0.125f, 0.25f, 0}, {-0.875f, -1.25f, 1}}};
  EXPECT_EQ(inv, expected);
  EXPECT_EQ(Mult(inv, n), IdentityMatrix);
}

TEST(FloatMatrix, FixedCopyConvertsEveryEntry) {
  const TFloatMatrix m = {{{1.5f, -0.25f, 0}, {0.1f, -0.1f, 0}, {-32767.0f, 1e-6f, 1}}};
  const TFixedMatrix f = ToFixedMatrix(m);
  const TFixedMatrix expected = {
      {{98304, -16384, 0}, {6554, -6554, 0}, {-32767 * FixedOne, 0, FixedOne}}};
  EXPECT_EQ(f, expected);
}

}  // namespace
}  // namespace vesk::raster
