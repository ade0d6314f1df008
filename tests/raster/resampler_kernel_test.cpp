// The kernel resampler: settings, the per-sample convolution against the
// plainly written reference, the range and tap-cutting cases, and the run
// form against the per-sample form.
#include <gtest/gtest.h>

#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "kernel_reference.h"
#include "pixel_reference.h"
#include "raster/bitmap32.h"
#include "raster/kernel_resampler.h"
#include "raster/nearest_resampler.h"
#include "raster/resampler_registry.h"

namespace vesk::raster {
namespace {

using testing::Hex;
using testing::RefImage;
using testing::RefLanczosSample;
using testing::TestRng;

// A bitmap of random skin-like pixels and the same pixels as a RefImage.
struct TImagePair {
  TBitmap32 bitmap;
  RefImage ref;
  TImagePair(int w, int h, std::uint64_t seed) {
    bitmap.SetSize(w, h);
    ref.width = w;
    ref.height = h;
    TestRng rng(seed);
    for (int y = 0; y < h; ++y) {
      for (int x = 0; x < w; ++x) {
        const TColor32 p = rng.SkinPixel();
        bitmap.SetPixel(x, y, p);
        ref.pixels.push_back(p);
      }
    }
  }
};

TKernelResampler& MakeLanczos(TBitmap32& bmp) {
  TKernelResampler* r = TKernelResampler::Create(bmp);
  r->SetKernel(std::make_unique<TLanczosKernel>());
  return *r;
}

TEST(KernelResampler, CreationReplacesNearestAndStartsWithDefaults) {
  TBitmap32 bmp;
  ASSERT_NE(dynamic_cast<TNearestResampler*>(bmp.Resampler()), nullptr);
  EXPECT_EQ(static_cast<TBitmap32Resampler*>(bmp.Resampler())->PixelAccessMode(), pamSafe);
  int changes = 0;
  bmp.OnChange = [&](TObject*) { ++changes; };
  TKernelResampler* r = TKernelResampler::Create(bmp);
  EXPECT_EQ(bmp.Resampler(), r);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(r->Bitmap(), &bmp);
  EXPECT_EQ(r->KernelClassName(), "TBoxKernel");
  EXPECT_EQ(r->KernelMode(), kmDynamic);
  EXPECT_EQ(r->TableSize(), 32);
  EXPECT_EQ(r->PixelAccessMode(), pamSafe);
  EXPECT_EQ(bmp.ResamplerClassName(), "TKernelResampler");
  EXPECT_EQ(r->GetWidth(), 1.0f);
}

TEST(KernelResampler, SettersNotifyOnlyOnChange) {
  TBitmap32 bmp;
  TKernelResampler* r = TKernelResampler::Create(bmp);
  int changes = 0;
  bmp.OnChange = [&](TObject*) { ++changes; };
  r->SetTableSize(1);
  EXPECT_EQ(r->TableSize(), 2);
  EXPECT_EQ(changes, 1);
  r->SetTableSize(-7);
  EXPECT_EQ(changes, 1);
  r->SetKernelMode(kmDynamic);
  EXPECT_EQ(changes, 1);
  r->SetKernelMode(kmTableLinear);
  EXPECT_EQ(changes, 2);
  r->SetKernel(nullptr);
  EXPECT_EQ(changes, 2);
  r->SetKernel(std::make_unique<TLanczosKernel>());
  EXPECT_EQ(changes, 3);
  EXPECT_EQ(r->GetWidth(), 3.0f);
  r->SetKernelClassName("TLanczosKernel");  // the current class: nothing
  r->SetKernelClassName("");
  r->SetKernelClassName("TNoSuchKernel");
  r->SetKernelClassName("tboxkernel");
  EXPECT_EQ(changes, 3);
  EXPECT_EQ(r->KernelClassName(), "TLanczosKernel");
  r->SetKernelClassName("TBoxKernel");
  EXPECT_EQ(changes, 4);
  EXPECT_EQ(r->KernelClassName(), "TBoxKernel");
}

TEST(KernelResampler, RegisteredByNameAndCopiedWithTheBitmap) {
  ASSERT_NE(FindResamplerClass("TKernelResampler"), nullptr);
  TBitmap32 a;
  a.SetResamplerClassName("TKernelResampler");
  auto* ra = dynamic_cast<TKernelResampler*>(a.Resampler());
  ASSERT_NE(ra, nullptr);
  ra->SetKernel(std::make_unique<TLanczosKernel>());
  static_cast<TLanczosKernel&>(ra->Kernel()).SetWidth(2.0f);
  ra->SetTableSize(10);
  TBitmap32 b;
  b.Assign(&a);
  auto* rb = dynamic_cast<TKernelResampler*>(b.Resampler());
  ASSERT_NE(rb, nullptr);
  EXPECT_EQ(rb->KernelClassName(), "TLanczosKernel");
  EXPECT_EQ(rb->GetWidth(), 2.0f);
  EXPECT_EQ(rb->TableSize(), 10);
}

// Hour hand at angle 0: the sample at (4.0, 42.5) uses column 4 alone and
// rows 40 .. 46 with the weights 6, -35, 156, 158, -35, 6, 0.
TEST(KernelResampler, HourHandSampleUsesOneColumnAndSevenRows) {
  TImagePair img(8, 50, 7);
  TKernelResampler& r = MakeLanczos(img.bitmap);
  r.PrepareSampling();
  const TColor32 got = r.GetSampleFloat(4.0f, 42.5f);
  r.FinalizeSampling();
  TColor32 expected = 0;
  const int w[7] = {6, -35, 156, 158, -35, 6, 0};
  for (int k = 0; k < 4; ++k) {
    int sum = 0;
    for (int i = 0; i < 7; ++i) sum += w[i] * static_cast<int>(testing::Chan(img.ref.At(4, 40 + i), k));
    int c = sum >> 8;  // floor(sum / 256)
    c = c < 0 ? 0 : (c > 255 ? 255 : c);
    expected |= static_cast<TColor32>(c) << (8 * k);
  }
  EXPECT_EQ(Hex(got), Hex(expected));
}

TEST(KernelResampler, SingleColourRegionsAndWholePixelsResampleExactly) {
  TBitmap32 bmp;
  bmp.SetSize(20, 20);
  bmp.Clear(0x80402010u);
  TKernelResampler& r = MakeLanczos(bmp);
  r.PrepareSampling();
  for (float x : {8.0f, 8.25f, 9.5f, 10.7f, 11.999f}) {
    for (float y : {8.0f, 8.1f, 9.5f, 11.3f}) EXPECT_EQ(Hex(r.GetSampleFloat(x, y)), Hex(0x80402010u)) << x << "," << y;
  }
  r.FinalizeSampling();
  TImagePair img(16, 16, 3);
  TKernelResampler& r2 = MakeLanczos(img.bitmap);
  r2.PrepareSampling();
  for (int y = 3; y <= 12; ++y) {
    for (int x = 3; x <= 12; ++x) EXPECT_EQ(Hex(r2.GetSampleFloat(x, y)), Hex(img.ref.At(x, y)));
  }
  r2.FinalizeSampling();
}

TEST(KernelResampler, RingingIsClampedToTheByteRange) {
  TBitmap32 bmp;
  bmp.SetSize(12, 12);
  for (int y = 0; y < 12; ++y) {
    for (int x = 0; x < 12; ++x) bmp.SetPixel(x, y, x < 6 ? 0xFF000000u : 0xFFFFFFFFu);
  }
  TKernelResampler& r = MakeLanczos(bmp);
  r.PrepareSampling();
  // Just inside the black side the negative lobe on the white taps gives
  // sums below 0, just inside the white side sums above 255: without the
  // clamp the channels would be cut to other bytes.
  RefImage ref{12, 12, {}};
  for (int y = 0; y < 12; ++y) {
    for (int x = 0; x < 12; ++x) ref.pixels.push_back(bmp.Pixel(x, y));
  }
  auto unclamped = [&](float x, float y) {
    return testing::RefKernelSample(
        ref, 0, x, y, 3, [](float t) { return testing::RefLanczos(t); }, false);
  };
  EXPECT_EQ(Hex(r.GetSampleFloat(4.5f, 6.0f)), Hex(0xFF000000u));
  EXPECT_NE(unclamped(4.5f, 6.0f), 0xFF000000u);
  EXPECT_EQ(Hex(r.GetSampleFloat(6.5f, 6.0f)), Hex(0xFFFFFFFFu));
  EXPECT_NE(unclamped(6.5f, 6.0f), 0xFFFFFFFFu);
  r.FinalizeSampling();
}

// Range test and cut taps with a visible outer colour, against the
// reference that takes the cut taps as the outer colour explicitly.
TEST(KernelResampler, RangeAndTapCuttingAtTheEdges) {
  TImagePair img(9, 7, 11);
  img.bitmap.SetOuterColor(0x40FF8000u);
  TKernelResampler& r = MakeLanczos(img.bitmap);
  r.PrepareSampling();
  const TColor32 outer = 0x40FF8000u;
  // x = -0.5: cx = 0, inside, taps cut at the left.
  EXPECT_EQ(Hex(r.GetSampleFloat(-0.5f, 3.25f)), Hex(RefLanczosSample(img.ref, outer, -0.5f, 3.25f)));
  EXPECT_NE(r.GetSampleFloat(-0.5f, 3.25f), outer);
  // x = -1: cx = -1, outside: the outer colour itself.
  EXPECT_EQ(Hex(r.GetSampleFloat(-1.0f, 3.25f)), Hex(outer));
  // Just above Right - 1: cx = Right, inside; Right + 0.01: outside.
  EXPECT_EQ(Hex(r.GetSampleFloat(8.01f, 3.0f)), Hex(RefLanczosSample(img.ref, outer, 8.01f, 3.0f)));
  EXPECT_EQ(Hex(r.GetSampleFloat(9.0f, 6.5f)), Hex(RefLanczosSample(img.ref, outer, 9.0f, 6.5f)));
  EXPECT_EQ(Hex(r.GetSampleFloat(9.01f, 3.0f)), Hex(outer));
  EXPECT_EQ(Hex(r.GetSampleFloat(3.0f, 7.2f)), Hex(outer));
  // Far away and not a number: outside as well.
  EXPECT_EQ(Hex(r.GetSampleFloat(3e9f, 3.0f)), Hex(outer));
  EXPECT_EQ(Hex(r.GetSampleFloat(std::numeric_limits<float>::quiet_NaN(), 3.0f)), Hex(outer));
  // A dense sweep over and around the whole bitmap.
  TestRng rng(5);
  for (int i = 0; i < 4000; ++i) {
    const float x = -2.0f + static_cast<float>(rng.Next() % 13000) / 1000.0f;
    const float y = -2.0f + static_cast<float>(rng.Next() % 11000) / 1000.0f;
    ASSERT_EQ(Hex(r.GetSampleFloat(x, y)), Hex(RefLanczosSample(img.ref, outer, x, y))) << x << "," << y;
  }
  r.FinalizeSampling();
}

TEST(KernelResampler, TransparentOuterTapsAddNothing) {
  TImagePair img(6, 6, 13);
  TKernelResampler& r = MakeLanczos(img.bitmap);  // OuterColor 0, as the clock's hands
  r.PrepareSampling();
  for (float x : {-0.75f, 0.5f, 5.5f, 6.0f}) {
    EXPECT_EQ(Hex(r.GetSampleFloat(x, 2.5f)), Hex(RefLanczosSample(img.ref, 0, x, 2.5f)));
  }
  r.SetPixelAccessMode(pamTransparentEdge);
  img.bitmap.SetOuterColor(0xFFFFFFFFu);
  r.PrepareSampling();  // transparent black counts, not OuterColor
  EXPECT_EQ(Hex(r.GetSampleFloat(-0.75f, 2.5f)), Hex(RefLanczosSample(img.ref, 0, -0.75f, 2.5f)));
  EXPECT_EQ(r.GetSampleFloat(-1.5f, 2.5f), 0u);
  r.FinalizeSampling();
}

TEST(KernelResampler, WrapAndUnsafeModesStayInsideTheBitmap) {
  TImagePair img(5, 5, 17);
  img.bitmap.SetWrapMode(wmRepeat);
  TKernelResampler& r = MakeLanczos(img.bitmap);
  r.SetPixelAccessMode(pamWrap);
  r.PrepareSampling();
  // With wmRepeat a whole-pixel step of the width gives the same colour.
  EXPECT_EQ(Hex(r.GetSampleFloat(0.25f, 1.5f)), Hex(r.GetSampleFloat(5.25f, 1.5f)));
  EXPECT_EQ(Hex(r.GetSampleFloat(-1.0f, 2.0f)), Hex(img.ref.At(4, 2)));
  r.SetPixelAccessMode(pamUnsafe);
  r.PrepareSampling();
  // Far outside, every tap reads the clamped corner pixel.
  EXPECT_EQ(Hex(r.GetSampleFloat(-40.3f, -40.6f)), Hex(img.ref.At(0, 0)));
  EXPECT_EQ(Hex(r.GetSampleFloat(60.0f, 60.0f)), Hex(img.ref.At(4, 4)));
  r.FinalizeSampling();
}

TEST(KernelResampler, TableModesBuildAndFreeTheirRows) {
  TImagePair img(10, 10, 19);
  TKernelResampler& r = MakeLanczos(img.bitmap);
  r.SetKernelMode(kmTableNearest);
  r.SetTableSize(5);
  r.PrepareSampling();
  ASSERT_EQ(r.WeightTable().size(), 6u * 7u);
  // Row 2 is the fraction 2/4 = 0.5.
  const std::vector<std::int32_t> half(r.WeightTable().begin() + 14, r.WeightTable().begin() + 21);
  EXPECT_EQ(half, (std::vector<std::int32_t>{6, -35, 156, 158, -35, 6, 0}));
  // A fraction exactly on a row gives the dynamic result.
  EXPECT_EQ(Hex(r.GetSampleFloat(4.5f, 5.25f)), Hex(RefLanczosSample(img.ref, 0, 4.5f, 5.25f)));
  r.SetKernelMode(kmTableLinear);
  r.PrepareSampling();
  EXPECT_EQ(Hex(r.GetSampleFloat(4.75f, 5.5f)), Hex(RefLanczosSample(img.ref, 0, 4.75f, 5.5f)));
  r.FinalizeSampling();
  EXPECT_TRUE(r.WeightTable().empty());
}

// The run form gives the per-sample colours: random lines through and
// around the bitmap, whole and fractional steps, both range modes, two
// kernels, and coordinates large enough to leave the exact integer path.
TEST(KernelResampler, RunsEqualSampleBySample) {
  TImagePair img(9, 23, 23);
  img.bitmap.SetOuterColor(0x30102030u);
  TKernelResampler& r = MakeLanczos(img.bitmap);
  TestRng rng(29);
  std::vector<TColor32> run(64);
  for (int kernel = 0; kernel < 2; ++kernel) {
    if (kernel == 1) r.SetKernelClassName("TBoxKernel");
    for (TPixelAccessMode mode : {pamSafe, pamTransparentEdge}) {
      r.SetPixelAccessMode(mode);
      r.PrepareSampling();
      for (int trial = 0; trial < 400; ++trial) {
        const auto u = static_cast<TFixed>(static_cast<std::int32_t>(rng.Next() % (40u << 16)) - (12 << 16));
        const auto v = static_cast<TFixed>(static_cast<std::int32_t>(rng.Next() % (50u << 16)) - (12 << 16));
        TFixed du = static_cast<TFixed>(static_cast<std::int32_t>(rng.Next() % 131072u) - 65536);
        TFixed dv = static_cast<TFixed>(static_cast<std::int32_t>(rng.Next() % 131072u) - 65536);
        if (trial % 5 == 0) {
          du = 65536;
          dv = 0;
        }
        if (trial % 7 == 0) {
          du = (1 << 25);
        }  // leaves the exact range
        const std::int32_t count = 1 + static_cast<std::int32_t>(rng.Next() % 64);
        ASSERT_TRUE(r.SampleRowFixed(u, v, du, dv, count, run.data()));
        for (std::int32_t i = 0; i < count; ++i) {
          const auto ui = static_cast<TFixed>(static_cast<std::uint32_t>(u) +
                                              static_cast<std::uint32_t>(i) * static_cast<std::uint32_t>(du));
          const auto vi = static_cast<TFixed>(static_cast<std::uint32_t>(v) +
                                              static_cast<std::uint32_t>(i) * static_cast<std::uint32_t>(dv));
          ASSERT_EQ(Hex(run[static_cast<std::size_t>(i)]), Hex(r.GetSampleFixed(ui, vi)))
              << "trial " << trial << " sample " << i << " kernel " << kernel;
        }
      }
      r.FinalizeSampling();
    }
  }
}

TEST(KernelResampler, RunsAreDeclinedWhereTheyDoNotApply) {
  TImagePair img(4, 4, 31);
  TKernelResampler& r = MakeLanczos(img.bitmap);
  TColor32 out[4];
  r.SetPixelAccessMode(pamWrap);
  r.PrepareSampling();
  EXPECT_FALSE(r.SampleRowFixed(0, 0, 65536, 0, 4, out));
  r.SetPixelAccessMode(pamSafe);
  r.SetKernelMode(kmTableNearest);
  r.PrepareSampling();
  EXPECT_FALSE(r.SampleRowFixed(0, 0, 65536, 0, 4, out));
  r.FinalizeSampling();
  // A subclass with its own sample operation is asked sample by sample.
  struct TTinted : TKernelResampler {
    static TTinted* Make(TBitmap32& bmp) { return CreateFor<TTinted>(bmp); }
    TColor32 GetSampleFloat(float, float) override { return 0x12345678u; }
  };
  TTinted* tinted = TTinted::Make(img.bitmap);
  tinted->PrepareSampling();
  EXPECT_FALSE(tinted->SampleRowFixed(0, 0, 65536, 0, 4, out));
  tinted->FinalizeSampling();
}

}  // namespace
}  // namespace vesk::raster
