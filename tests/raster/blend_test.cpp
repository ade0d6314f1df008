// The blend family: worked examples, dense sweeps of both result sets against
// the plain formulas of pixel_reference.h, the SSE2 rows against the portable
// rows, and the pixel-routine table made for each kind of processor.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "pixel_reference.h"
#include "raster/blend.h"
#include "raster/blend_avx2.h"
#include "raster/blend_scalar.h"
#include "raster/blend_vector.h"
#include "raster/lowlevel.h"
#include "raster/pixel_routines.h"

namespace vesk::raster {
namespace {

using namespace vesk::raster::testing;

// Blends made by a static initialiser of this unit, which may well run before
// anything else of the library: they make the table and get the bound
// result set.
const TColor32 kEarlyBlendPixel = BlendPixel(0xFFFFFFFFu, 0x00000000u);
const TColor32 kEarlyRowPixel = [] {
  const TColor32 src[1] = {0x80FF0000u};
  TColor32 dst[1] = {0x00000000u};
  BlendRow(src, dst, 1);
  return dst[0];
}();

// Counts mismatches and describes the first few for the failure message (the
// description is built only on a mismatch, which keeps the sweeps fast).
class Mismatches {
 public:
  void Check(TColor32 actual, TColor32 expected, TColor32 f, TColor32 b, std::uint32_t m = 0) {
    if (actual == expected) return;
    if (count_++ < 5) {
      text_ += "F=" + Hex(f) + " B=" + Hex(b) + " M=" + std::to_string(m) + ": got " + Hex(actual) +
               ", expected " + Hex(expected) + "\n";
    }
  }
  void Check(TColor32 actual, TColor32 expected, const std::string& where) {
    if (actual == expected) return;
    if (count_++ < 5) text_ += where + ": got " + Hex(actual) + ", expected " + Hex(expected) + "\n";
  }
  int count() const { return count_; }
  const std::string& text() const { return text_; }

 private:
  int count_ = 0;
  std::string text_;
};

// --- the two result sets and their plain references ------------------------

struct VectorSet {
  static constexpr const char* kName = "vector";
  static constexpr auto BlendPixel = &blend_vector::BlendPixel;
  static constexpr auto BlendPixelInPlace = &blend_vector::BlendPixelInPlace;
  static constexpr auto BlendPixelEx = &blend_vector::BlendPixelEx;
  static constexpr auto BlendPixelExInPlace = &blend_vector::BlendPixelExInPlace;
  static constexpr auto BlendRow = &blend_vector::BlendRow;
  static constexpr auto BlendRowEx = &blend_vector::BlendRowEx;
  static constexpr auto CombinePixel = &blend_vector::CombinePixel;
  static constexpr auto CombinePixelInPlace = &blend_vector::CombinePixelInPlace;

  static TColor32 RefPixel(TColor32 f, TColor32 b) { return RefMix(f, b, f >> 24); }
  static TColor32 RefInPlace(TColor32 f, TColor32 b) {
    const std::uint32_t a = f >> 24;
    return a == 0 ? b : a == 255 ? f : RefMix(f, b, a);
  }
  static TColor32 RefPixelEx(TColor32 f, TColor32 b, std::uint32_t m) {
    const std::uint32_t w = (m + 1) * (f >> 24) / 256;
    return w == 0 ? b : RefMix(f, b, w);
  }
  static TColor32 RefRowEx(TColor32 f, TColor32 b, std::uint32_t m) {
    if ((f >> 24) == 0) return b;
    const std::uint32_t w = ((f >> 24) + 1) * m / 256;
    return w == 0 ? b : RefMix(f, b, w);
  }
  static TColor32 RefCombine(TColor32 x, TColor32 y, std::uint32_t w) { return RefMix(x, y, w); }
  static TColor32 RefCombineInPlace(TColor32 x, TColor32 y, std::uint32_t w) {
    return w == 0 ? y : w == 255 ? x : RefMix(x, y, w);
  }
};

struct ScalarSet {
  static constexpr const char* kName = "scalar";
  static constexpr auto BlendPixel = &blend_scalar::BlendPixel;
  static constexpr auto BlendPixelInPlace = &blend_scalar::BlendPixelInPlace;
  static constexpr auto BlendPixelEx = &blend_scalar::BlendPixelEx;
  static constexpr auto BlendPixelExInPlace = &blend_scalar::BlendPixelExInPlace;
  static constexpr auto BlendRow = &blend_scalar::BlendRow;
  static constexpr auto BlendRowEx = &blend_scalar::BlendRowEx;
  static constexpr auto CombinePixel = &blend_scalar::CombinePixel;
  static constexpr auto CombinePixelInPlace = &blend_scalar::CombinePixelInPlace;

  static TColor32 RefPixel(TColor32 f, TColor32 b) {
    const std::uint32_t a = f >> 24;
    return a == 255 ? f : a == 0 ? b : RefWeigh(f, b, a);
  }
  static TColor32 RefInPlace(TColor32 f, TColor32 b) { return RefPixel(f, b); }
  static TColor32 RefPixelEx(TColor32 f, TColor32 b, std::uint32_t m) {
    const std::uint32_t w = (m + 1) * (f >> 24) / 256;
    return w == 0 ? b : RefWeigh(f, b, w, /*colour_only=*/true);
  }
  // The scalar row goes pixel by pixel through the in-place pixel form.
  static TColor32 RefRowEx(TColor32 f, TColor32 b, std::uint32_t m) { return RefPixelEx(f, b, m); }
  static TColor32 RefCombine(TColor32 x, TColor32 y, std::uint32_t w) {
    return w == 0 ? y : w == 255 ? x : RefWeigh(x, y, w);
  }
  static TColor32 RefCombineInPlace(TColor32 x, TColor32 y, std::uint32_t w) { return RefCombine(x, y, w); }
};

// --- worked examples ----------------------------------------------------------

struct Row {
  const char* what;
  TColor32 actual;
  TColor32 expected;
};

void ExpectRows(const std::vector<Row>& rows) {
  for (const Row& row : rows) EXPECT_EQ(Hex(row.actual), Hex(row.expected)) << row.what;
}

TColor32 InPlace(void (*op)(TColor32, TColor32&), TColor32 f, TColor32 b) {
  op(f, b);
  return b;
}
TColor32 InPlaceEx(void (*op)(TColor32, TColor32&, std::uint32_t), TColor32 f, TColor32 b,
                   std::uint32_t m) {
  op(f, b, m);
  return b;
}
TColor32 OneRow(void (*op)(const TColor32*, TColor32*, std::int32_t), TColor32 f, TColor32 b) {
  op(&f, &b, 1);
  return b;
}
TColor32 OneRowEx(void (*op)(const TColor32*, TColor32*, std::int32_t, std::uint32_t), TColor32 f,
                  TColor32 b, std::uint32_t m) {
  op(&f, &b, 1, m);
  return b;
}

TEST(BlendExamples, VectorReferenceResults) {
  using blend_vector::BlendPixel;
  using blend_vector::BlendPixelInPlace;
  using blend_vector::BlendPixelEx;
  using blend_vector::BlendPixelExInPlace;
  using blend_vector::BlendRow;
  using blend_vector::BlendRowEx;
  using blend_vector::CombinePixel;
  using blend_vector::CombinePixelInPlace;
  ExpectRows({
      {"BlendRow: transparent source keeps the destination", OneRow(BlendRow, 0x00FFFFFFu, 0x12345678u), 0x12345678u},
      {"BlendRow: opaque source is copied", OneRow(BlendRow, 0xFF102030u, 0x80FFFFFFu), 0xFF102030u},
      {"BlendRow: 0x80FF0000 over 0", OneRow(BlendRow, 0x80FF0000u, 0x00000000u), 0x40800000u},
      {"BlendPixel: white over 0 is not exact", BlendPixel(0xFFFFFFFFu, 0x00000000u), 0xFEFEFEFEu},
      {"BlendPixel: no shortcut for alpha 0", BlendPixel(0x00FFFFFFu, 0x80402010u), 0x80402010u},
      {"BlendPixelInPlace: white over 0 is copied", InPlace(BlendPixelInPlace, 0xFFFFFFFFu, 0u), 0xFFFFFFFFu},
      {"BlendRow: white over 0 is copied", OneRow(BlendRow, 0xFFFFFFFFu, 0u), 0xFFFFFFFFu},
      // Translucent over transparent: colour F.c*F.a/256, alpha F.a^2/256.
      {"BlendPixel: 0xC0806040 over 0", BlendPixel(0xC0806040u, 0u), 0x90604830u},
      // w = (1 + 1) * 254 shr 8 = 1 in the pixel forms ...
      {"BlendPixelEx: alpha 254, M 1 mixes with weight 1", BlendPixelEx(0xFEFF8000u, 0xFF0000FFu, 1), 0xFF0101FEu},
      {"BlendPixelExInPlace: alpha 254, M 1", InPlaceEx(BlendPixelExInPlace, 0xFEFF8000u, 0xFF0000FFu, 1), 0xFF0101FEu},
      // ... and (254 + 1) * 1 shr 8 = 0 in the row form.
      {"BlendRowEx: alpha 254, M 1 keeps the destination", OneRowEx(BlendRowEx, 0xFEFF8000u, 0xFF0000FFu, 1), 0xFF0000FFu},
      {"BlendRowEx: opaque source with M 255 is mixed, not copied", OneRowEx(BlendRowEx, 0xFFFFFFFFu, 0u, 255), 0xFEFEFEFEu},
      {"BlendPixelEx: M 0 keeps B", BlendPixelEx(0xFFFFFFFFu, 0x11223344u, 0), 0x11223344u},
      {"CombinePixel: weight 255 is not exact", CombinePixel(0xFFFFFFFFu, 0u, 255), 0xFEFEFEFEu},
      {"CombinePixelInPlace: weight 255 copies", InPlaceEx(CombinePixelInPlace, 0xFFFFFFFFu, 0u, 255), 0xFFFFFFFFu},
      {"CombinePixelInPlace: weight 0 keeps", InPlaceEx(CombinePixelInPlace, 0xFFFFFFFFu, 0x01020304u, 0), 0x01020304u},
      {"CombinePixel: half way", CombinePixel(0xFF000000u, 0x00FFFFFFu, 128), 0x80808080u},
  });
}

TEST(BlendExamples, ScalarResults) {
  using blend_scalar::BlendPixel;
  using blend_scalar::BlendPixelInPlace;
  using blend_scalar::BlendPixelEx;
  using blend_scalar::BlendPixelExInPlace;
  using blend_scalar::BlendRow;
  using blend_scalar::BlendRowEx;
  using blend_scalar::CombinePixel;
  using blend_scalar::CombinePixelInPlace;
  ExpectRows({
      {"BlendPixel: opaque returns F", BlendPixel(0xFFFFFFFFu, 0u), 0xFFFFFFFFu},
      {"BlendPixel: transparent returns B", BlendPixel(0x00FFFFFFu, 0x80402010u), 0x80402010u},
      // alpha (128*128+128)>>8 + (0*127+128)>>8 = 64, red 128.
      {"BlendPixel: 0x80FF0000 over 0", BlendPixel(0x80FF0000u, 0u), 0x40800000u},
      // Two roundings: red (255*128+128)>>8 + (255*127+128)>>8 = 128 + 127;
      // alpha 64 + 127.
      {"BlendPixel: white 50% over white", BlendPixel(0x80FFFFFFu, 0xFFFFFFFFu), 0xBFFFFFFFu},
      {"BlendRow: opaque copied", OneRow(BlendRow, 0xFF102030u, 0x80FFFFFFu), 0xFF102030u},
      // Master-alpha forms: weight (1 + 1) * 254 shr 8 = 1, result alpha 0,
      // blue 0 + (255*254+128)>>8 = 253.
      {"BlendPixelEx: colour only", BlendPixelEx(0xFEFF8000u, 0xFF0000FFu, 1), 0x000101FDu},
      {"BlendRowEx: uses the pixel weight rule", OneRowEx(BlendRowEx, 0xFEFF8000u, 0xFF0000FFu, 1), 0x000101FDu},
      {"BlendRowEx: M 0 keeps", OneRowEx(BlendRowEx, 0xFEFF8000u, 0xFF0000FFu, 0), 0xFF0000FFu},
      {"CombinePixel: weight 255 returns X", CombinePixel(0x12345678u, 0u, 255), 0x12345678u},
  });
}

TEST(BlendExamples, CountZeroOrNegativeChangesNothing) {
  const TColor32 src[4] = {0xFFFFFFFFu, 0x80FFFFFFu, 0xFF000000u, 0x01020304u};
  for (const auto& set : {std::pair{&blend_vector::BlendRow, &blend_vector::BlendRowEx},
                          std::pair{&blend_scalar::BlendRow, &blend_scalar::BlendRowEx}}) {
    TColor32 dst[4] = {1, 2, 3, 4};
    set.first(src, dst, 0);
    set.first(src, dst, -3);
    set.second(src, dst, 0, 255);
    set.second(src, dst, -1, 255);
    EXPECT_EQ(dst[0], 1u);
    EXPECT_EQ(dst[3], 4u);
  }
}

// Master alpha and weight above 255 are taken as 255 rather than producing
// lane overflow.
TEST(BlendExamples, OutOfRangeMasterAlphaIsTakenAsOpaque) {
  const TColor32 f = 0xC0804020u, b = 0x40FF00FFu;
  for (std::uint32_t m : {256u, 1000u, 0xFFFFFFFFu}) {
    EXPECT_EQ(blend_vector::BlendPixelEx(f, b, m), blend_vector::BlendPixelEx(f, b, 255));
    EXPECT_EQ(blend_scalar::BlendPixelEx(f, b, m), blend_scalar::BlendPixelEx(f, b, 255));
    EXPECT_EQ(OneRowEx(blend_vector::BlendRowEx, f, b, m), OneRowEx(blend_vector::BlendRowEx, f, b, 255));
    EXPECT_EQ(blend_vector::CombinePixel(f, b, m), blend_vector::CombinePixel(f, b, 255));
    EXPECT_EQ(blend_scalar::CombinePixel(f, b, m), f);
  }
}

// --- dense sweeps -------------------------------------------------------------

template <typename Set>
void SweepPlainForms() {
  Mismatches pixel, in_place, row, combine, combine_in_place;
  auto sweep = [&](TColor32 fc, TColor32 bc, std::uint32_t fa, std::uint32_t ba) {
    const TColor32 f = WithAlpha(fc, fa), b = WithAlpha(bc, ba);
    pixel.Check(Set::BlendPixel(f, b), Set::RefPixel(f, b), f, b);
    in_place.Check(InPlace(Set::BlendPixelInPlace, f, b), Set::RefInPlace(f, b), f, b);
    row.Check(OneRow(Set::BlendRow, f, b), Set::RefInPlace(f, b), f, b);
    // CombinePixel with the foreground alpha as weight, so every weight meets
    // every background alpha.
    combine.Check(Set::CombinePixel(f, b, fa), Set::RefCombine(f, b, fa), f, b, fa);
    combine_in_place.Check(InPlaceEx(Set::CombinePixelInPlace, f, b, fa),
                           Set::RefCombineInPlace(f, b, fa), f, b, fa);
  };
  for (std::uint32_t fa = 0; fa < 256; ++fa) {
    for (std::uint32_t ba = 0; ba < 256; ++ba) {
      for (const auto& colours : kSweepColours) sweep(colours[0], colours[1], fa, ba);
      // Colours that move with the alphas, so every channel value occurs.
      sweep((fa * 0x010203u + ba * 0x030201u) & 0xFFFFFFu, (ba * 0x070503u ^ fa * 0x0B0D11u) & 0xFFFFFFu, fa, ba);
    }
  }
  EXPECT_EQ(pixel.count(), 0) << Set::kName << " BlendPixel\n" << pixel.text();
  EXPECT_EQ(in_place.count(), 0) << Set::kName << " BlendPixelInPlace\n" << in_place.text();
  EXPECT_EQ(row.count(), 0) << Set::kName << " BlendRow\n" << row.text();
  EXPECT_EQ(combine.count(), 0) << Set::kName << " CombinePixel\n" << combine.text();
  EXPECT_EQ(combine_in_place.count(), 0) << Set::kName << " CombinePixelInPlace\n" << combine_in_place.text();
}

template <typename Set>
void SweepMasterAlphaForms() {
  Mismatches pixel, in_place, row;
  constexpr TColor32 kBackgrounds[] = {0x00000000u, 0xFFFFFFFFu, 0x80123456u, 0x01FEDCBAu, 0xFE7F80FFu};
  for (std::uint32_t m = 0; m < 256; ++m) {
    for (std::uint32_t fa = 0; fa < 256; ++fa) {
      const TColor32 f = WithAlpha((m * 0x010305u + fa * 0x050301u) & 0xFFFFFFu, fa);
      for (TColor32 b : kBackgrounds) {
        pixel.Check(Set::BlendPixelEx(f, b, m), Set::RefPixelEx(f, b, m), f, b, m);
        in_place.Check(InPlaceEx(Set::BlendPixelExInPlace, f, b, m), Set::RefPixelEx(f, b, m), f, b, m);
        row.Check(OneRowEx(Set::BlendRowEx, f, b, m), Set::RefRowEx(f, b, m), f, b, m);
      }
    }
  }
  EXPECT_EQ(pixel.count(), 0) << Set::kName << " BlendPixelEx\n" << pixel.text();
  EXPECT_EQ(in_place.count(), 0) << Set::kName << " BlendPixelExInPlace\n" << in_place.text();
  EXPECT_EQ(row.count(), 0) << Set::kName << " BlendRowEx\n" << row.text();
}

// Rows of every length up to 37 at every alignment, from skin-like random
// pixels, against the per-pixel reference.
template <typename Set>
void SweepRows() {
  TestRng rng(0xB1E4D);
  Mismatches row, row_ex;
  std::vector<TColor32> src(48), dst(48), want(48);
  constexpr std::uint32_t kMasters[] = {0, 1, 2, 127, 128, 200, 254, 255};
  for (int n = 0; n <= 37; ++n) {
    for (int offset = 0; offset < 4; ++offset) {
      for (int pass = 0; pass < 1 + static_cast<int>(std::size(kMasters)); ++pass) {
        for (auto& p : src) p = rng.SkinPixel();
        for (auto& p : dst) p = rng.SkinPixel();
        want = dst;
        auto where = [&] { return "n=" + std::to_string(n) + " offset=" + std::to_string(offset); };
        if (pass == 0) {
          for (int i = 0; i < n; ++i) want[offset + i] = Set::RefInPlace(src[i], dst[offset + i]);
          Set::BlendRow(src.data(), dst.data() + offset, n);
          for (std::size_t i = 0; i < dst.size(); ++i) {
            if (dst[i] != want[i]) row.Check(dst[i], want[i], where() + " i=" + std::to_string(i));
          }
        } else {
          const std::uint32_t m = kMasters[pass - 1];
          for (int i = 0; i < n; ++i) want[offset + i] = Set::RefRowEx(src[i], dst[offset + i], m);
          Set::BlendRowEx(src.data(), dst.data() + offset, n, m);
          for (std::size_t i = 0; i < dst.size(); ++i) {
            if (dst[i] != want[i]) {
              row_ex.Check(dst[i], want[i], where() + " M=" + std::to_string(m) + " i=" + std::to_string(i));
            }
          }
        }
      }
    }
  }
  EXPECT_EQ(row.count(), 0) << Set::kName << " BlendRow\n" << row.text();
  EXPECT_EQ(row_ex.count(), 0) << Set::kName << " BlendRowEx\n" << row_ex.text();
}

TEST(BlendSweep, VectorPlainFormsMatchTheFormula) { SweepPlainForms<VectorSet>(); }
TEST(BlendSweep, ScalarPlainFormsMatchTheFormula) { SweepPlainForms<ScalarSet>(); }
TEST(BlendSweep, VectorMasterAlphaFormsMatchTheFormula) { SweepMasterAlphaForms<VectorSet>(); }
TEST(BlendSweep, ScalarMasterAlphaFormsMatchTheFormula) { SweepMasterAlphaForms<ScalarSet>(); }
TEST(BlendSweep, VectorRowsMatchThePixelFormula) { SweepRows<VectorSet>(); }
TEST(BlendSweep, ScalarRowsMatchThePixelFormula) { SweepRows<ScalarSet>(); }

// Every fast form of the rows gives the portable rows' bytes, whatever the
// mixture of transparent, opaque and translucent pixels in a group and
// whether the destination is still cleared: SSE2, AVX2 where the processor
// has it, and the bound routine that picks one of them.
TEST(BlendSweep, FastRowsEqualPortableRows) {
  struct Form {
    const char* name;
    void (*row)(const TColor32*, TColor32*, std::int32_t) noexcept;
  };
  std::vector<Form> forms = {{"sse2", &blend_vector::BlendRowSse2}, {"bound", &BlendRow}};
#if VESK_ROWS_AVX2
  if (CpuHasFeature(cfAVX2)) forms.push_back({"avx2", &avx2::BlendRow});
#endif
  for (const Form& form : forms) {
    TestRng rng(0x5EED);
    std::vector<TColor32> src(67), fast(67), plain(67);
    int differing = 0;
    for (int pass = 0; pass < 3000; ++pass) {
      // Runs of one alpha class make all-clear and all-solid groups common.
      const int run = 1 + pass % 9;
      for (std::size_t i = 0; i < src.size(); i += run) {
        const TColor32 kind = rng.SkinPixel();
        for (std::size_t k = i; k < std::min(src.size(), i + run); ++k) {
          src[k] = (rng.Next32() & 0x00FFFFFFu) | (kind & 0xFF000000u);
        }
      }
      // Every third pass over a destination that is cleared in stretches.
      for (std::size_t i = 0; i < fast.size(); ++i) {
        fast[i] = (pass % 3 == 0 && (i / 11) % 2 == 0) ? 0u : rng.SkinPixel();
      }
      plain = fast;
      const int n = static_cast<int>(rng.Next32() % 64);
      if (pass % 2 == 0) {
        form.row(src.data() + 1, fast.data() + 3, n);
        blend_vector::BlendRowPortable(src.data() + 1, plain.data() + 3, n);
      } else {
        const std::uint32_t m = rng.Next32() % 256;
        blend_vector::BlendRowEx(src.data() + 1, fast.data() + 3, n, m);
        blend_vector::BlendRowExPortable(src.data() + 1, plain.data() + 3, n, m);
      }
      differing += fast != plain;
    }
    EXPECT_EQ(differing, 0) << form.name;
  }
}

// --- binding ------------------------------------------------------------------

TEST(BlendBinding, StartupBindsTheVectorSetOnProcessorsWithMmx) {
#if defined(__x86_64__)
  EXPECT_TRUE(BlendVectorActive());
  EXPECT_EQ(BoundBlendImplementation(), TBlendImplementation::biVector);
  EXPECT_EQ(PixelRoutines().Pixel[Column(cmBlend)], &blend_vector::BlendPixel);
#endif
  const bool vector = BlendVectorActive();
  EXPECT_EQ(Hex(kEarlyBlendPixel), Hex(vector ? 0xFEFEFEFEu : 0xFFFFFFFFu));
  EXPECT_EQ(Hex(kEarlyRowPixel), Hex(0x40800000u));
}

// The table for each kind of processor: the result set from MMX, the row
// forms from SSE2 and AVX2; the merge pixel forms never change.
TEST(BlendBinding, TableFollowsTheProcessor) {
  constexpr int kB = Column(cmBlend), kM = Column(cmMerge);
  TCpuidResults cpu;
  cpu.HasCpuid = true;
  cpu.MaxLeaf = 7;
  cpu.Leaf1Eax = 6u << 8;
  struct Case {
    const char* what;
    std::uint32_t edx;
    bool avx2;
    TBlendImplementation set;
    TBlendLine row, merge_row;
    TFillLongword fill;
  };
  const TBlendLine sse2_row = &blend_vector::BlendRowSse2;
#if defined(__SSE2__)
  const TBlendLine sse2_merge = &MergeRowSse2;
#else
  const TBlendLine sse2_merge = &MergeRowPortable;
#endif
  const Case cases[] = {
      {"no MMX", 1u << 26, false, TBlendImplementation::biScalar, &blend_scalar::BlendRow, &MergeRowPortable,
       &lowlevel::FillLongwordPortable},
      {"MMX only", 1u << 23, false, TBlendImplementation::biVector, &blend_vector::BlendRowPortable,
       &MergeRowPortable, &lowlevel::FillLongwordWide},
      {"MMX and SSE2", (1u << 23) | (1u << 26), false, TBlendImplementation::biVector, sse2_row, sse2_merge,
       &lowlevel::FillLongwordWide},
#if VESK_ROWS_AVX2
      {"MMX, SSE2 and AVX2", (1u << 23) | (1u << 26), true, TBlendImplementation::biVector, &avx2::BlendRow,
       &avx2::MergeRowVector, &lowlevel::FillLongwordWide},
#endif
  };
  for (const Case& c : cases) {
    cpu.Leaf1Edx = c.edx;
    cpu.Leaf1Ecx = c.avx2 ? (1u << 27) | (1u << 28) : 0;
    cpu.Leaf7Ebx = c.avx2 ? 1u << 5 : 0;
    cpu.Xcr0 = c.avx2 ? 7 : 0;
#if !defined(__SSE2__)
    if (c.edx & (1u << 26)) continue;  // the SSE2 forms exist only where the build targets SSE2
#endif
    const TPixelRoutines r = MakePixelRoutines(cpu);
    const bool vector = c.set == TBlendImplementation::biVector;
    EXPECT_EQ(r.Blend, c.set) << c.what;
    EXPECT_EQ(r.Pixel[kB], vector ? &blend_vector::BlendPixel : &blend_scalar::BlendPixel) << c.what;
    EXPECT_EQ(r.PixelExInPlace[kB], vector ? &blend_vector::BlendPixelExInPlace : &blend_scalar::BlendPixelExInPlace)
        << c.what;
    EXPECT_EQ(r.CombineInPlace, vector ? &blend_vector::CombinePixelInPlace : &blend_scalar::CombinePixelInPlace)
        << c.what;
    EXPECT_EQ(r.Row[kB], c.row) << c.what;
    EXPECT_EQ(r.Row[kM], c.merge_row) << c.what;
    EXPECT_EQ(r.Fill, c.fill) << c.what;
    EXPECT_EQ(r.Pixel[kM], &MergePixel) << c.what;
    EXPECT_EQ(r.PixelExInPlace[kM], &MergePixelExInPlace) << c.what;
    EXPECT_EQ(r.RowEx[kM], &MergeRowEx) << c.what;
    // The observable difference between the sets, through the table.
    EXPECT_EQ(Hex(r.Pixel[kB](0xFFFFFFFFu, 0u)), Hex(vector ? 0xFEFEFEFEu : 0xFFFFFFFFu)) << c.what;
  }
  // Rebinding for the tests of both sets, and back.
  BindBlendImplementation(TBlendImplementation::biScalar);
  EXPECT_EQ(Hex(BlendPixel(0xFFFFFFFFu, 0u)), Hex(0xFFFFFFFFu));
  RestoreStartupBlendBinding();
  EXPECT_EQ(PixelRoutines().Row[kB], MakePixelRoutines(ReadCpuid()).Row[kB]);
}

}  // namespace
}  // namespace vesk::raster
