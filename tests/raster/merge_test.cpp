// The merge family: worked examples, dense sweeps against the plain formula
// of pixel_reference.h under both blend result sets (an opaque background
// goes through the bound BlendPixel), and the master-alpha forms.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "pixel_reference.h"
#include "raster/blend.h"
#include "raster/blend_avx2.h"
#include "raster/blend_scalar.h"
#include "raster/blend_vector.h"
#include "raster/merge.h"

namespace vesk::raster {
namespace {

using namespace vesk::raster::testing;

// Binds one blend result set for the lifetime of a test.
class BoundSet {
 public:
  explicit BoundSet(TBlendImplementation impl) { BindBlendImplementation(impl); }
  ~BoundSet() { RestoreStartupBlendBinding(); }
  BoundSet(const BoundSet&) = delete;
  BoundSet& operator=(const BoundSet&) = delete;
};

TColor32 RefOpaqueVector(TColor32 f, TColor32 b) { return RefMix(f, b, f >> 24); }
TColor32 RefOpaqueScalar(TColor32 f, TColor32 b) {
  const std::uint32_t a = f >> 24;
  return a == 255 ? f : a == 0 ? b : RefWeigh(f, b, a);
}

struct Row {
  const char* what;
  TColor32 actual;
  TColor32 expected;
};

void ExpectRows(const std::vector<Row>& rows) {
  for (const Row& row : rows) EXPECT_EQ(Hex(row.actual), Hex(row.expected)) << row.what;
}

TColor32 InPlace(TColor32 f, TColor32 b) {
  MergePixelInPlace(f, b);
  return b;
}
TColor32 InPlaceEx(TColor32 f, TColor32 b, std::uint32_t m) {
  MergePixelExInPlace(f, b, m);
  return b;
}

TEST(MergeExamples, WorkedExamples) {
  BoundSet vector(TBlendImplementation::biVector);
  ExpectRows({
      {"F.a = 0 returns B", MergePixel(0x00FFFFFFu, 0x80123456u), 0x80123456u},
      // Vector: alpha (128*128 + 255*128 + 128)>>8 = 192, forced to 255.
      {"B.a = 255 returns an opaque colour", MergePixel(0x80FF0000u, 0xFF0000FFu), 0xFF800080u},
      {"F.a = 255 over B.a < 255 returns F", MergePixel(0xFF102030u, 0xFE405060u), 0xFF102030u},
      {"B.a = 0 returns F", MergePixel(0x7F102030u, 0x00FFFFFFu), 0x7F102030u},
      {"opaque over opaque follows BlendPixel", MergePixel(0xFFFFFFFFu, 0xFF000000u), 0xFFFEFEFEu},
      // Ra = 128 + 128 - 64 = 192; Bp = 128, d = 127, x = 128 + 64 = 192;
      // every channel Q[192][192] = 255.
      {"half white over half white", MergePixel(0x80FFFFFFu, 0x80FFFFFFu), 0xC0FFFFFFu},
      {"MergePixelInPlace", InPlace(0x80FFFFFFu, 0x80FFFFFFu), 0xC0FFFFFFu},
      // Ra = 192; red: Bp = P[128][0] = 0, d = 255, x = P[128][255] = 128,
      // Q[192][128] = 170; blue: Bp = P[128][255] = 128, d = -128,
      // x = 128 - P[128][128] = 64, Q[192][64] = 85.
      {"half red over half blue", MergePixel(0x80FF0000u, 0x800000FFu), 0xC0AA0055u},
      {"MergePixelEx with M = 255 is MergePixel", MergePixelEx(0x80FF0000u, 0x800000FFu, 255), 0xC0AA0055u},
      {"MergePixelEx with M = 0 returns B", MergePixelEx(0xFFFF0000u, 0x800000FFu, 0), 0x800000FFu},
      {"MergePixelExInPlace with M = 0 keeps B", InPlaceEx(0xFFFF0000u, 0x800000FFu, 0), 0x800000FFu},
      // M = 128: F.a becomes P[128][255] = 128, so it is the example above.
      {"MergePixelEx scales the foreground alpha", MergePixelEx(0xFFFF0000u, 0x800000FFu, 128), 0xC0AA0055u},
  });
}

TEST(MergeExamples, OpaqueBackgroundFollowsTheBoundBlendSet) {
  {
    BoundSet scalar(TBlendImplementation::biScalar);
    // The scalar BlendPixel returns an opaque F unchanged.
    EXPECT_EQ(Hex(MergePixel(0xFFFFFFFFu, 0xFF000000u)), Hex(0xFFFFFFFFu));
    // Scalar: red (255*128+128)>>8 + 0 = 128, blue 0 + (255*127+128)>>8 = 127.
    EXPECT_EQ(Hex(MergePixel(0x80FF0000u, 0xFF0000FFu)), Hex(0xFF80007Fu));
  }
  BoundSet vector(TBlendImplementation::biVector);
  EXPECT_EQ(Hex(MergePixel(0xFFFFFFFFu, 0xFF000000u)), Hex(0xFFFEFEFEu));
}

TEST(MergeExamples, RowsWithCountZeroOrNegativeChangeNothing) {
  const TColor32 src[2] = {0xFFFFFFFFu, 0x80FFFFFFu};
  TColor32 dst[2] = {0x80000000u, 0x40000000u};
  MergeRow(src, dst, 0);
  MergeRow(src, dst, -1);
  MergeRowEx(src, dst, 0, 255);
  MergeRowEx(src, dst, -7, 255);
  EXPECT_EQ(dst[0], 0x80000000u);
  EXPECT_EQ(dst[1], 0x40000000u);
}

// A master alpha above 255 is taken as 255: it must not index outside the
// product table.
TEST(MergeExamples, OutOfRangeMasterAlphaIsTakenAsOpaque) {
  for (std::uint32_t m : {256u, 4096u, 0xFFFFFFFFu}) {
    EXPECT_EQ(MergePixelEx(0x80FF0000u, 0x800000FFu, m), 0xC0AA0055u);
    TColor32 b = 0x800000FFu;
    MergePixelExInPlace(0x80FF0000u, b, m);
    EXPECT_EQ(b, 0xC0AA0055u);
    const TColor32 src[1] = {0x80FF0000u};
    TColor32 dst[1] = {0x800000FFu};
    MergeRowEx(src, dst, 1, m);
    EXPECT_EQ(dst[0], 0xC0AA0055u);
  }
}

// Every pair of alphas with several colour pairs, under both blend sets.
void SweepMergePixel(TBlendImplementation impl) {
  BoundSet bound(impl);
  auto ref_opaque = impl == TBlendImplementation::biVector ? &RefOpaqueVector : &RefOpaqueScalar;
  int bad = 0, bad_in_place = 0, bad_row = 0;
  std::string first;
  auto check = [&](TColor32 f, TColor32 b) {
    const TColor32 want = RefMerge(f, b, ref_opaque);
    const TColor32 got = MergePixel(f, b);
    if (got != want && bad++ == 0) first = "F=" + Hex(f) + " B=" + Hex(b) + ": got " + Hex(got) + ", expected " + Hex(want);
    bad_in_place += InPlace(f, b) != want;
    TColor32 d = b;
    MergeRow(&f, &d, 1);
    bad_row += d != want;
  };
  for (std::uint32_t fa = 0; fa < 256; ++fa) {
    for (std::uint32_t ba = 0; ba < 256; ++ba) {
      for (const auto& colours : kSweepColours) check(WithAlpha(colours[0], fa), WithAlpha(colours[1], ba));
      check(WithAlpha(fa * 0x010203u + ba * 0x030201u, fa), WithAlpha(ba * 0x070503u ^ fa * 0x0B0D11u, ba));
    }
  }
  EXPECT_EQ(bad, 0) << first;
  EXPECT_EQ(bad_in_place, 0);
  EXPECT_EQ(bad_row, 0);
}

TEST(MergeSweep, AllAlphaPairsWithVectorBlend) { SweepMergePixel(TBlendImplementation::biVector); }
TEST(MergeSweep, AllAlphaPairsWithScalarBlend) { SweepMergePixel(TBlendImplementation::biScalar); }

// Every master alpha with every foreground alpha over backgrounds of several
// alphas: the foreground alpha is scaled by round(M * F.a / 255) first.
TEST(MergeSweep, EveryMasterAlpha) {
  BoundSet vector(TBlendImplementation::biVector);
  constexpr TColor32 kBackgrounds[] = {0x00000000u, 0xFF102030u, 0x80123456u, 0x01FEDCBAu, 0xFE7F80FFu, 0x40FFFFFFu};
  int bad = 0, bad_in_place = 0, bad_row = 0;
  std::string first;
  for (std::uint32_t m = 0; m < 256; ++m) {
    for (std::uint32_t fa = 0; fa < 256; ++fa) {
      const TColor32 f = WithAlpha(m * 0x010305u + fa * 0x050301u, fa);
      const TColor32 scaled = WithAlpha(f, RefProduct(m, fa));
      for (TColor32 b : kBackgrounds) {
        const TColor32 want = RefMerge(scaled, b, &RefOpaqueVector);
        const TColor32 got = MergePixelEx(f, b, m);
        if (got != want && bad++ == 0) {
          first = "F=" + Hex(f) + " B=" + Hex(b) + " M=" + std::to_string(m) + ": got " + Hex(got) + ", expected " + Hex(want);
        }
        bad_in_place += InPlaceEx(f, b, m) != want;
        TColor32 d = b;
        MergeRowEx(&f, &d, 1, m);
        bad_row += d != want;
      }
    }
  }
  EXPECT_EQ(bad, 0) << first;
  EXPECT_EQ(bad_in_place, 0);
  EXPECT_EQ(bad_row, 0);
}

// Whole rows of skin-like pixels, every element merged independently.
TEST(MergeSweep, RowsMergeEveryPixel) {
  TestRng rng(0x3E46E);
  std::vector<TColor32> src(41), dst(41), want(41);
  int bad = 0;
  for (int pass = 0; pass < 400; ++pass) {
    for (auto& p : src) p = rng.SkinPixel();
    for (auto& p : dst) p = rng.SkinPixel();
    const int n = pass % 41;
    const std::uint32_t m = pass % 3 == 0 ? 255 : rng.Next32() % 256;
    want = dst;
    for (int i = 0; i < n; ++i) want[i] = MergePixelEx(src[i], dst[i], m);
    if (m == 255 && pass % 2 == 0) {
      MergeRow(src.data(), dst.data(), n);
    } else {
      MergeRowEx(src.data(), dst.data(), n, m);
    }
    bad += dst != want;
  }
  EXPECT_EQ(bad, 0);
}

// Every form of the merge row gives MergePixel pixel by pixel, with either
// blend set bound: over opaque backgrounds (the vector groups), cleared and
// translucent ones (pixel by pixel inside a group), with transparent
// stretches in the source long enough to be passed over whole.
TEST(MergeSweep, FastRowsEqualPixelByPixel) {
  struct Form {
    const char* name;
    void (*row)(const TColor32*, TColor32*, std::int32_t) noexcept;
    bool vector_set_only;
  };
  std::vector<Form> forms = {{"portable", &MergeRowPortable, false}, {"bound", &MergeRow, false}};
#if defined(__SSE2__)
  forms.push_back({"sse2", &MergeRowSse2, false});
#endif
#if VESK_ROWS_AVX2
  if (CpuHasFeature(cfAVX2)) forms.push_back({"avx2", &avx2::MergeRowVector, true});
#endif
  for (TBlendImplementation impl : {TBlendImplementation::biVector, TBlendImplementation::biScalar}) {
    BindBlendImplementation(impl);
    for (const Form& form : forms) {
      if (form.vector_set_only && impl != TBlendImplementation::biVector) continue;
      TestRng rng(0x3E47);
      std::vector<TColor32> src(83), dst(83), want(83);
      int bad = 0;
      for (int pass = 0; pass < 1500; ++pass) {
        const int run = 1 + pass % 13;
        for (std::size_t i = 0; i < src.size(); i += run) {
          const bool clear = rng.Next32() % 3 == 0;
          for (std::size_t k = i; k < std::min(src.size(), i + run); ++k) src[k] = clear ? 0u : rng.SkinPixel();
        }
        if (pass % 5 == 0) std::fill(src.begin() + 5, src.begin() + 60, 0u);
        for (auto& p : dst) {
          const std::uint32_t kind = rng.Next32() % 8;
          p = kind < 6 ? (rng.Next32() | 0xFF000000u) : (kind == 6 ? 0u : rng.SkinPixel());
        }
        const int n = static_cast<int>(rng.Next32() % 80);
        want = dst;
        for (int i = 0; i < n; ++i) want[i + 2] = MergePixel(src[i + 1], dst[i + 2]);
        form.row(src.data() + 1, dst.data() + 2, n);
        bad += dst != want;
      }
      EXPECT_EQ(bad, 0) << form.name << (impl == TBlendImplementation::biVector ? " vector" : " scalar");
    }
  }
  RestoreStartupBlendBinding();
}

}  // namespace
}  // namespace vesk::raster
