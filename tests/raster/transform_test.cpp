// Transformed drawing: bounds and clipping, the area reports, the
// rasterizer's store per draw mode, failure handling, the nested samplers and
// transformers, and the whole-row paths against the pixel-by-pixel ones.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <stdexcept>
#include <vector>

#include "pixel_reference.h"
#include "raster/affine_transformation.h"
#include "raster/bitmap32.h"
#include "raster/blend.h"
#include "raster/kernel_resampler.h"
#include "raster/merge.h"
#include "raster/nearest_resampler.h"
#include "raster/rasterizer.h"
#include "raster/transform.h"
#include "raster/transformer.h"

namespace vesk::raster {
namespace {

using testing::Hex;
using testing::TestRng;

void FillRandom(TBitmap32& bmp, int w, int h, std::uint64_t seed) {
  bmp.SetSize(w, h);
  TestRng rng(seed);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) bmp.SetPixel(x, y, rng.SkinPixel());
  }
}

void SetSrcRectOf(TTransformation& t, const TBitmap32& src) {
  t.SetSrcRect(TFloatRect{0, 0, static_cast<float>(src.Width()), static_cast<float>(src.Height())});
}

// Identity drawing with the nearest resampler copies pixel for pixel; an odd
// width rounds its right bound up to the even W + 1 (Round(W + 0.5)), and
// that extra column, like the extra row, samples the outer colour.
TEST(Transform, IdentityNearestCopyWithExtraColumnForOddWidth) {
  TBitmap32 src;
  FillRandom(src, 5, 3, 1);
  src.SetOuterColor(0x11223344u);
  TBitmap32 dst;
  dst.SetSize(8, 6);
  dst.Clear(0xFF000000u);
  TAffineTransformation t;
  SetSrcRectOf(t, src);
  EXPECT_EQ(t.GetTransformedBounds(), (TRect{0, 0, 6, 4}));
  Transform(dst, src, t);
  for (int y = 0; y < 6; ++y) {
    for (int x = 0; x < 8; ++x) {
      TColor32 expected = 0xFF000000u;
      if (x < 5 && y < 3) {
        expected = src.Pixel(x, y);
      } else if (x < 6 && y < 4) {
        expected = 0x11223344u;
      }
      ASSERT_EQ(Hex(dst.Pixel(x, y)), Hex(expected)) << x << "," << y;
    }
  }
}

struct TAreaLog {
  std::vector<TRect> areas;
  void Attach(TBitmap32& bmp) {
    bmp.OnAreaChanged = [this](TObject*, const TRect& area, std::uint32_t info) {
      EXPECT_EQ(info, kAreaInfoRect);
      areas.push_back(area);
    };
  }
};

TEST(Transform, ReportsTheWalkedRectangleThenTheBounds) {
  TBitmap32 src;
  FillRandom(src, 4, 4, 2);
  TBitmap32 dst;
  dst.SetSize(10, 10);
  TAffineTransformation t;
  SetSrcRectOf(t, src);
  t.Translate(3, 2);
  TAreaLog log;
  log.Attach(dst);
  Transform(dst, src, t);
  // Bounds: Round(2.5) = 2 .. Round(7.5) = 8, Round(1.5) = 2 .. Round(6.5) = 6.
  ASSERT_EQ(log.areas.size(), 2u);
  EXPECT_EQ(log.areas[0], (TRect{2, 2, 8, 6}));
  EXPECT_EQ(log.areas[1], (TRect{2, 2, 8, 6}));

  // Reports every two rows, then the rest (here none), then the bounds.
  log.areas.clear();
  TRegularRasterizer rasterizer;
  rasterizer.SetUpdateRowCount(2);
  Transform(dst, src, t, rasterizer);
  ASSERT_EQ(log.areas.size(), 4u);
  EXPECT_EQ(log.areas[0], (TRect{2, 2, 8, 4}));
  EXPECT_EQ(log.areas[1], (TRect{2, 4, 8, 6}));
  EXPECT_EQ(log.areas[2], (TRect{2, 6, 8, 6}));
  EXPECT_EQ(log.areas[3], (TRect{2, 2, 8, 6}));
  EXPECT_EQ(rasterizer.Sampler(), nullptr);  // the transformer is gone

  // A clip and the target's clip rectangle narrow the drawing.
  log.areas.clear();
  dst.SetClipRect(TRect{0, 0, 6, 10});
  Transform(dst, src, t, TRect{3, 0, 10, 5}, rasterizer);
  EXPECT_EQ(log.areas.back(), (TRect{3, 2, 6, 5}));
}

TEST(Transform, MeasuringTargetIsOnlyReported) {
  TBitmap32 src;
  FillRandom(src, 4, 4, 3);
  TBitmap32 dst;
  dst.SetSize(6, 6);
  dst.Clear(0);
  dst.SetMeasuring(true);
  TAffineTransformation t;
  SetSrcRectOf(t, src);
  TAreaLog log;
  log.Attach(dst);
  Transform(dst, src, t);
  ASSERT_EQ(log.areas.size(), 1u);
  EXPECT_EQ(log.areas[0], (TRect{0, 0, 4, 4}));
  dst.SetMeasuring(false);
  for (int y = 0; y < 6; ++y) {
    for (int x = 0; x < 6; ++x) ASSERT_EQ(dst.Pixel(x, y), 0u);
  }
}

TEST(Transform, SourceWithoutABitmapResamplerIsRefused) {
  class TPlainResampler : public TCustomResampler {
   public:
    float GetWidth() const override { return 1.0f; }
    TColor32 GetSampleFixed(TFixed, TFixed) override { return 0; }
  };
  TBitmap32 src;
  FillRandom(src, 3, 3, 4);
  src.SetResampler(std::make_unique<TPlainResampler>());
  TBitmap32 dst;
  dst.SetSize(4, 4);
  dst.Clear(0);
  TAffineTransformation t;
  SetSrcRectOf(t, src);
  TAreaLog log;
  log.Attach(dst);
  EXPECT_THROW(Transform(dst, src, t), EInvalidCast);
  EXPECT_TRUE(log.areas.empty());
  dst.SetMeasuring(true);  // no sampling, no conversion
  EXPECT_NO_THROW(Transform(dst, src, t));
}

// A sampler that counts its brackets and fails on a chosen sample.
class TFailingSampler : public TCustomSampler {
 public:
  int prepared = 0;
  int finalized = 0;
  int samples = 0;
  int fail_at = -1;
  void PrepareSampling() override { ++prepared; }
  void FinalizeSampling() override { ++finalized; }
  TColor32 GetSampleInt(std::int32_t, std::int32_t) override {
    if (samples++ == fail_at) throw std::runtime_error("sample failed");
    return 0xFF00FF00u;
  }
};

TEST(Rasterizer, FailureRestoresTheUpdateNestingAndFinalizes) {
  TBitmap32 src;
  src.SetSize(1, 1);
  src.SetDrawMode(dmCustom);
  TBitmap32 dst;
  dst.SetSize(4, 4);
  dst.Clear(0);
  int calls = 0;
  src.OnPixelCombine = [&](TColor32 f, TColor32& b, TColor32) {
    dst.BeginUpdate();  // left open by the failure
    if (++calls == 3) throw std::runtime_error("store failed");
    b = f;
  };
  TFailingSampler sampler;
  TRegularRasterizer rasterizer;
  rasterizer.SetSampler(&sampler);
  dst.BeginUpdate();
  EXPECT_THROW(rasterizer.Rasterize(dst, TRect{0, 0, 4, 4}, src), std::runtime_error);
  EXPECT_EQ(dst.UpdateCount(), 1);
  EXPECT_EQ(sampler.prepared, 1);
  EXPECT_EQ(sampler.finalized, 1);
  dst.EndUpdate();

  sampler.fail_at = 5;
  src.SetDrawMode(dmOpaque);
  EXPECT_THROW(rasterizer.Rasterize(dst, TRect{0, 0, 4, 4}, src), std::runtime_error);
  EXPECT_EQ(sampler.finalized, 2);
  EXPECT_EQ(dst.UpdateCount(), 0);
}

TEST(Rasterizer, StoresPerDrawMode) {
  TFailingSampler sampler;  // every sample 0xFF00FF00
  TRegularRasterizer rasterizer;
  int changes = 0;
  rasterizer.OnChange = [&](TObject*) { ++changes; };
  rasterizer.SetSampler(&sampler);
  rasterizer.SetSampler(&sampler);
  EXPECT_EQ(changes, 1);
  TBitmap32 src;
  src.SetSize(1, 1);
  TBitmap32 dst;
  dst.SetSize(2, 1);
  // dmTransparent: the source's OuterColor is the key.
  dst.Clear(0x12345678u);
  src.SetDrawMode(dmTransparent);
  src.SetOuterColor(0xFF00FF00u);
  rasterizer.Rasterize(dst, dst.BoundsRect(), src);
  EXPECT_EQ(dst.Pixel(0, 0), 0x12345678u);
  src.SetOuterColor(0);
  rasterizer.Rasterize(dst, dst.BoundsRect(), src);
  EXPECT_EQ(dst.Pixel(1, 0), 0xFF00FF00u);
  // dmCustom without a callback stores like dmOpaque.
  dst.Clear(0x12345678u);
  src.SetDrawMode(dmCustom);
  rasterizer.Rasterize(dst, dst.BoundsRect(), src);
  EXPECT_EQ(rasterizer.AssignMode(), dmOpaque);
  EXPECT_EQ(dst.Pixel(0, 0), 0xFF00FF00u);
  // dmBlend with cmMerge and a master alpha.
  dst.Clear(0x80FF0000u);
  src.SetDrawMode(dmBlend);
  src.SetCombineMode(cmMerge);
  src.SetMasterAlpha(100);
  rasterizer.Rasterize(dst, dst.BoundsRect(), src);
  EXPECT_EQ(Hex(dst.Pixel(1, 0)), Hex(MergePixelEx(0xFF00FF00u, 0x80FF0000u, 100)));
  EXPECT_NE(dynamic_cast<TRegularRasterizer*>(DefaultRasterizerClass().get()), nullptr);
}

TEST(NestedSampler, UnsetSamplerRaises) {
  TNestedSampler nested;
  EXPECT_THROW(nested.PrepareSampling(), ENestedException);
  EXPECT_THROW(nested.FinalizeSampling(), ENestedException);
  EXPECT_THROW(static_cast<void>(nested.HasBounds()), ENestedException);
  EXPECT_THROW(static_cast<void>(nested.GetSampleBounds()), ENestedException);
  EXPECT_THROW(static_cast<void>(nested.GetSampleInt(0, 0)), ENestedException);
  try {
    nested.PrepareSampling();
  } catch (const ENestedException& e) {
    EXPECT_STREQ(e.what(), "Nested sampler is nil");
  }
}

// Records what a transformer hands on.
class TRecordingSampler : public TCustomSampler {
 public:
  char form = ' ';
  TFixed fx = 0, fy = 0;
  float sx = 0, sy = 0;
  std::int32_t ix = 0, iy = 0;
  TColor32 GetSampleInt(std::int32_t x, std::int32_t y) override {
    form = 'i';
    ix = x;
    iy = y;
    return 1;
  }
  TColor32 GetSampleFixed(TFixed x, TFixed y) override {
    form = 'x';
    fx = x;
    fy = y;
    return 2;
  }
  TColor32 GetSampleFloat(float x, float y) override {
    form = 'f';
    sx = x;
    sy = y;
    return 3;
  }
  bool HasBounds() const override { return true; }
  TRect GetSampleBounds() const override { return TRect{0, 0, 4, 2}; }
};

TEST(Transformer, MapsBackAndHandsOnInTheRightForm) {
  TRecordingSampler rec;
  TAffineTransformation t;
  t.Translate(0.5f, -0.25f);  // target = source + (0.5, -0.25)
  TTransformer tr(&rec, &t);
  EXPECT_EQ(tr.Transformation(), &t);
  EXPECT_EQ(tr.Sampler(), &rec);
  tr.PrepareSampling();
  EXPECT_TRUE(t.TransformValid());
  EXPECT_EQ(tr.GetSampleInt(3, 4), 2u);
  EXPECT_EQ(rec.form, 'x');
  EXPECT_EQ(rec.fx, 2 * 65536 + 32768);
  EXPECT_EQ(rec.fy, 4 * 65536 + 16384);
  EXPECT_EQ(tr.GetSampleFloat(3.0f, 4.0f), 3u);
  EXPECT_EQ(rec.sx, 2.5f);
  EXPECT_EQ(rec.sy, 4.25f);
  EXPECT_TRUE(tr.HasBounds());
  // (0, 0, 4, 2) moved by (0.5, -0.25): Round(-0.5 + 0.5) .. Round(4.5 + 0.5).
  EXPECT_EQ(tr.GetSampleBounds(), (TRect{0, -1, 5, 2}));

  TNearestTransformer nt(&rec, &t);
  EXPECT_EQ(nt.GetSampleInt(3, 4), 1u);  // (2.5, 4.25): FixedRound gives 2 and 4
  EXPECT_EQ(rec.ix, 2);
  EXPECT_EQ(rec.iy, 4);
  EXPECT_EQ(nt.GetSampleFloat(3.0f, 4.5f), 1u);  // (2.5, 4.75): halves to even, 2 and 5
  EXPECT_EQ(rec.ix, 2);
  EXPECT_EQ(rec.iy, 5);
  // The fixed form takes the upper 16 bits as unsigned: -0.5 gives 65535.
  EXPECT_EQ(nt.GetSampleFixed(0, 0), 1u);
  EXPECT_EQ(rec.ix, 65535);
  EXPECT_EQ(rec.iy, 0);
}

// The whole-row paths (runs of the transformer, the merge of runs) against
// the pixel-by-pixel path, which a dmCustom callback forces: a hand turned
// by awkward angles, merged and blended over a busy background.
TEST(Transform, RowPathsEqualPixelByPixel) {
  TBitmap32 hand;
  FillRandom(hand, 8, 50, 6);
  TKernelResampler::Create(hand)->SetKernel(std::make_unique<TLanczosKernel>());
  TBitmap32 background;
  FillRandom(background, 150, 150, 7);
  for (TCombineMode cm : {cmMerge, cmBlend}) {
    for (float angle : {-33.3f, -180.0f, -247.9f}) {
      TAffineTransformation t;
      SetSrcRectOf(t, hand);
      t.Translate(-4.0f, -42.5f);
      t.Rotate(0, 0, angle);
      t.Translate(75.0f, 75.0f);
      TBitmap32 rows;
      rows.Assign(&background);
      hand.SetDrawMode(dmBlend);
      hand.SetCombineMode(cm);
      hand.SetMasterAlpha(200);
      Transform(rows, hand, t);
      TBitmap32 pixels;
      pixels.Assign(&background);
      hand.SetDrawMode(dmCustom);
      hand.OnPixelCombine = [cm](TColor32 f, TColor32& b, TColor32 m) { PixelRoutines().PixelExInPlace[Column(cm)](f, b, m); };
      Transform(pixels, hand, t);
      hand.OnPixelCombine = nullptr;
      for (int y = 0; y < 150; ++y) {
        for (int x = 0; x < 150; ++x) {
          ASSERT_EQ(Hex(rows.Pixel(x, y)), Hex(pixels.Pixel(x, y))) << x << "," << y << " angle " << angle;
        }
      }
    }
  }
}

// The text overlay's path: nearest sampling through the identity, merged.
// An even-sized overlay at a whole-pixel offset is read straight from its
// rows; odd sizes and half pixels take the sampled rows.
TEST(Transform, NearestRowsEqualPixelByPixel) {
  for (int size : {36, 37}) {
    TBitmap32 text;
    FillRandom(text, size, size - 16, 8);
    text.SetOuterColor(0x7F102030u);
    TBitmap32 background;
    FillRandom(background, 40, 30, 9);
    for (float shift : {0.0f, 2.0f, 0.5f, -3.25f}) {
      TAffineTransformation t;
      SetSrcRectOf(t, text);
      t.Translate(shift, shift / 2);
      TBitmap32 rows;
      rows.Assign(&background);
      text.SetDrawMode(dmBlend);
      text.SetCombineMode(cmMerge);
      Transform(rows, text, t);
      TBitmap32 pixels;
      pixels.Assign(&background);
      text.SetDrawMode(dmCustom);
      text.OnPixelCombine = [](TColor32 f, TColor32& b, TColor32 m) { MergePixelExInPlace(f, b, m); };
      Transform(pixels, text, t);
      text.OnPixelCombine = nullptr;
      for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 40; ++x) {
          ASSERT_EQ(Hex(rows.Pixel(x, y)), Hex(pixels.Pixel(x, y))) << x << "," << y << " size " << size;
        }
      }
    }
  }
}

// RoundHalfEven rounds with one integer store; it must agree with the
// environment-saving nearbyintl everywhere, saturation included.
TEST(FixedRounding, RoundHalfEvenMatchesNearbyint) {
  auto reference = [](long double x) -> std::int32_t {
    if (std::isnan(x)) return 0;
    const long double r = nearbyintl(x);
    if (r >= 2147483647.0L) return INT32_MAX;
    if (r <= -2147483648.0L) return INT32_MIN;
    return static_cast<std::int32_t>(r);
  };
  TestRng rng(10);
  for (int i = 0; i < 200000; ++i) {
    const auto k = static_cast<std::int64_t>(rng.Next() % 0x200000000ull) - 0x100000000ll;
    for (long double x : {static_cast<long double>(k) / 2, static_cast<long double>(k) / 7,
                          static_cast<long double>(k) * 65536.0L / 3, static_cast<long double>(k) / 2 + 1e-9L}) {
      ASSERT_EQ(RoundHalfEven(x), reference(x)) << static_cast<double>(x);
    }
  }
  for (long double x :
       {2147483646.5L, 2147483647.4999L, 2147483647.5L, -2147483648.5L, -2147483647.5L, 1e30L, -1e30L}) {
    EXPECT_EQ(RoundHalfEven(x), reference(x)) << static_cast<double>(x);
  }
}

}  // namespace
}  // namespace vesk::raster
