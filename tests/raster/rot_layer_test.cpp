// The rotating layer: its transformation, its notifications, and a golden
// comparison of whole turned hands against a per-pixel computation written
// out in this file (matrix steps, inverse, fixed-point mapping, Lanczos
// convolution and the merge over a cleared target), byte for byte.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <vector>

#include "kernel_reference.h"
#include "matrix_reference.h"
#include "pixel_reference.h"
#include "raster/kernel_resampler.h"
#include "raster/layer_collection.h"
#include "raster/rot_layer.h"

namespace vesk::raster {
namespace {

using testing::Hex;
using testing::RefImage;
using testing::RefLanczosSample;
using Ext = long double;

// ---- the reference geometry ------------------------------------------------

using testing::RefInverseFixed;
using testing::RefMatrix;

TRect RefBounds(const RefMatrix& f, float w, float h) {
  const float(&m)[3][3] = f.m;
  float xs[4], ys[4];
  const float cx[4] = {0, w, 0, w};
  const float cy[4] = {0, 0, h, h};
  for (int i = 0; i < 4; ++i) {
    xs[i] = static_cast<float>(Ext{cx[i]} * m[0][0] + Ext{cy[i]} * m[1][0] + m[2][0]);
    ys[i] = static_cast<float>(Ext{cx[i]} * m[0][1] + Ext{cy[i]} * m[1][1] + m[2][1]);
  }
  const float min_x = std::min(std::min(xs[0], xs[1]), std::min(xs[2], xs[3]));
  const float max_x = std::max(std::max(xs[0], xs[1]), std::max(xs[2], xs[3]));
  const float min_y = std::min(std::min(ys[0], ys[1]), std::min(ys[2], ys[3]));
  const float max_y = std::max(std::max(ys[0], ys[1]), std::max(ys[2], ys[3]));
  auto round = [](Ext v) { return static_cast<std::int32_t>(nearbyintl(v)); };
  return TRect{round(Ext{min_x} - 0.5L), round(Ext{min_y} - 0.5L), round(Ext{max_x} + 0.5L), round(Ext{max_y} + 0.5L)};
}

// (a * b) >> 16 in 64 bits, cut to 32.
TFixed RefFixedMul(TFixed a, TFixed b) { return static_cast<TFixed>((std::int64_t{a} * b) >> 16); }

// A hand-like strip: transparent margins, an opaque core with a gradient,
// soft translucent sides (premultiplied), and a few isolated dots.
RefImage MakeHand(int w, int h) {
  RefImage img{w, h, {}};
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const double d = std::fabs(x + 0.5 - w / 2.0);
      const double cover = std::clamp(w / 2.0 - 1.0 - d + 0.5 * std::sin(y * 0.3), 0.0, 1.0);
      auto a = static_cast<std::uint32_t>(cover * 255.0 + 0.5);
      if (y < 2 || y == h - 1) a = 0;
      if ((x * 31 + y * 17) % 53 == 0) a = 255;
      const std::uint32_t r = (40 + 4 * y) % 256 * a / 255, g = (200 - 3 * x) * a / 255, b = 90 * a / 255;
      img.pixels.push_back(Color32Argb(a, r, g, b));
    }
  }
  return img;
}

struct THandCase {
  int w, h;
  float cx, cy;
};

// Draws the hand through a TRotLayer into a cleared 150 x 150 target and
// checks every pixel against the reference.
void CheckTurnedHand(const THandCase& hc, float angle) {
  const RefImage ref = MakeHand(hc.w, hc.h);
  TLayerCollection layers;
  auto* layer = layers.Add<TRotLayer>();
  TBitmap32& bmp = layer->Bitmap();
  bmp.SetSize(hc.w, hc.h);
  for (int y = 0; y < hc.h; ++y) {
    for (int x = 0; x < hc.w; ++x) bmp.SetPixel(x, y, ref.At(x, y));
  }
  bmp.SetDrawMode(dmBlend);
  bmp.SetCombineMode(cmMerge);
  TKernelResampler::Create(bmp)->SetKernel(std::make_unique<TLanczosKernel>());
  layer->SetBitmapCenter(TFloatPoint{hc.cx, hc.cy});
  layer->SetPosition(TFloatPoint{75.0f, 75.0f});
  layer->SetAngle(angle);
  TBitmap32 target;
  target.SetSize(150, 150);
  target.Clear(0);
  layer->PaintLayer(target);

  RefMatrix f;
  f.Translate(-hc.cx, -hc.cy);
  f.Rotate(angle);
  f.Translate(75.0f, 75.0f);
  TFixed inv[3][3];
  RefInverseFixed(f, inv);
  for (int i = 0; i < 3; ++i) {
    for (int j = 0; j < 3; ++j) {
      ASSERT_EQ(layer->Transformation().InverseFixedMatrix()[i][j], inv[i][j]) << "inverse [" << i << "][" << j << "]";
    }
  }
  const TRect r =
      IntersectRect(RefBounds(f, static_cast<float>(hc.w), static_cast<float>(hc.h)), TRect{0, 0, 150, 150});
  int mismatches = 0;
  for (int y = 0; y < 150; ++y) {
    for (int x = 0; x < 150; ++x) {
      TColor32 expected = 0;
      if (x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom) {
        const TFixed u = static_cast<TFixed>(static_cast<std::uint32_t>(RefFixedMul(x << 16, inv[0][0])) +
                                             static_cast<std::uint32_t>(RefFixedMul(y << 16, inv[1][0])) +
                                             static_cast<std::uint32_t>(inv[2][0]));
        const TFixed v = static_cast<TFixed>(static_cast<std::uint32_t>(RefFixedMul(x << 16, inv[0][1])) +
                                             static_cast<std::uint32_t>(RefFixedMul(y << 16, inv[1][1])) +
                                             static_cast<std::uint32_t>(inv[2][1]));
        const TColor32 sample =
            RefLanczosSample(ref, 0, static_cast<float>(u / 65536.0L), static_cast<float>(v / 65536.0L));
        // Merged over transparent black: a transparent sample leaves 0, any
        // other replaces it.
        expected = (sample >> 24) == 0 ? 0 : sample;
      }
      if (target.Pixel(x, y) != expected && ++mismatches <= 5) {
        ADD_FAILURE() << "angle " << angle << " pixel (" << x << ", " << y << "): " << Hex(target.Pixel(x, y))
                      << " expected " << Hex(expected);
      }
    }
  }
  EXPECT_EQ(mismatches, 0) << "angle " << angle;
}

TEST(RotLayerGolden, TurnedHandsEqualThePlainComputation) {
  const THandCase hands[] = {{8, 50, 4.0f, 42.5f}, {5, 58, 2.5f, 51.0f}, {7, 72, 3.5f, 61.0f}};
  for (const THandCase& hc : hands) {
    for (float angle : {0.0f, -6.0f, -90.0f, -180.0f, -270.0f, -405.0f, -123.4f, -301.7f}) {
      CheckTurnedHand(hc, angle);
    }
  }
}

// ---- geometry and notification ---------------------------------------------

TEST(RotLayer, HourHandPointMapping) {
  TLayerCollection layers;
  auto* hand = layers.Add<TRotLayer>();
  hand->Bitmap().SetSize(8, 50);
  hand->SetBitmapCenter(TFloatPoint{4.0f, 42.5f});
  hand->SetPosition(TFloatPoint{75.0f, 75.0f});
  hand->AdjustTransformation();
  TAffineTransformation& t = hand->Transformation();
  EXPECT_EQ(t.Transform(TFloatPoint{4.0f, 0.0f}), (TFloatPoint{75.0f, 32.5f}));
  // The inverse is the translation by (-71, -32.5): target pixel (75, 75)
  // maps to exactly (4.0, 42.5).
  const TFixedMatrix& inv = t.InverseFixedMatrix();
  EXPECT_EQ(inv[0][0], 65536);
  EXPECT_EQ(inv[1][1], 65536);
  EXPECT_EQ(inv[0][1], 0);
  EXPECT_EQ(inv[1][0], 0);
  EXPECT_EQ(inv[2][0], -71 * 65536);
  EXPECT_EQ(inv[2][1], -2129920);
  EXPECT_EQ(t.ReverseTransformFixed(75 << 16, 75 << 16), (TFixedPoint{4 << 16, 42 * 65536 + 32768}));
  hand->SetAngle(-90.0f);
  hand->AdjustTransformation();
  const TFloatPoint p = t.Transform(TFloatPoint{4.0f, 0.0f});
  EXPECT_NEAR(p.X, 117.5f, 1e-4f);
  EXPECT_NEAR(p.Y, 75.0f, 1e-4f);
}

TEST(RotLayer, SettersAlwaysReportAChange) {
  TLayerCollection layers;
  int collection_changes = 0;
  layers.OnChange = [&](TObject*) { ++collection_changes; };
  auto* layer = layers.Add<TRotLayer>();
  int changes = 0;
  layer->OnChange = [&](TObject*) { ++changes; };
  layer->SetAngle(0.0f);
  layer->SetAngle(0.0f);
  layer->SetScaled(false);
  layer->SetPosition(layer->Position());
  layer->SetPositionX(0.0f);
  layer->SetBitmapCenter(layer->BitmapCenter());
  layer->SetBitmapCenterY(0.0f);
  EXPECT_EQ(changes, 7);
  EXPECT_GT(collection_changes, 0);
}

TEST(RotLayer, SrcRectFollowsTheBitmap) {
  TLayerCollection layers;
  auto* layer = layers.Add<TRotLayer>();
  TAffineTransformation& t = layer->Transformation();
  EXPECT_EQ(t.SrcRect(), (TFloatRect{0, 0, 0, 0}));
  layer->AdjustTransformation();
  EXPECT_EQ(t.GetTransformedBounds(), (TRect{0, 0, 0, 0}));
  layer->SetPosition(TFloatPoint{75.0f, 75.0f});
  layer->AdjustTransformation();
  EXPECT_EQ(t.GetTransformedBounds(), (TRect{74, 74, 76, 76}));
  int changes = 0;
  layer->OnChange = [&](TObject*) { ++changes; };
  layer->Bitmap().SetSize(12, 7);
  EXPECT_EQ(t.SrcRect(), (TFloatRect{0, 0, 12, 7}));
  EXPECT_GE(changes, 1);
  EXPECT_FALSE(t.TransformValid());
}

TEST(RotLayer, ScaledFollowsTheViewport) {
  TLayerCollection layers;
  layers.OnGetViewportScale = [](TLayerCollection*, float& sx, float& sy) {
    sx = 2.0f;
    sy = 3.0f;
  };
  layers.OnGetViewportShift = [](TLayerCollection*, float& tx, float& ty) {
    tx = 10.0f;
    ty = 20.0f;
  };
  auto* layer = layers.Add<TRotLayer>();
  layer->SetBitmapCenter(TFloatPoint{1.0f, 2.0f});
  layer->SetPosition(TFloatPoint{5.0f, 6.0f});
  layer->AdjustTransformation();
  EXPECT_EQ(layer->Transformation().Transform(TFloatPoint{1.0f, 2.0f}), (TFloatPoint{5.0f, 6.0f}));
  layer->SetScaled(true);
  layer->AdjustTransformation();
  // shift + scale * (Position + (p - BitmapCenter)).
  EXPECT_EQ(layer->Transformation().Transform(TFloatPoint{1.0f, 2.0f}), (TFloatPoint{20.0f, 38.0f}));
  EXPECT_EQ(layer->Transformation().Transform(TFloatPoint{2.0f, 2.0f}), (TFloatPoint{22.0f, 38.0f}));
  // Without a collection the viewport is not consulted.
  TRotLayer loose(nullptr);
  loose.SetScaled(true);
  loose.SetPosition(TFloatPoint{5.0f, 6.0f});
  loose.AdjustTransformation();
  EXPECT_EQ(loose.Transformation().Transform(TFloatPoint{0.0f, 0.0f}), (TFloatPoint{5.0f, 6.0f}));
}

TEST(RotLayer, HitTestWithAndWithoutAlpha) {
  TLayerCollection layers;
  auto* layer = layers.Add<TRotLayer>();
  TBitmap32& bmp = layer->Bitmap();
  bmp.SetSize(4, 4);
  bmp.Clear(0);
  bmp.SetPixel(1, 1, 0x80000000u);
  layer->SetPosition(TFloatPoint{10.0f, 10.0f});  // the bitmap covers 10 .. 13
  layer->AdjustTransformation();
  EXPECT_TRUE(layer->DoHitTest(10, 10));
  EXPECT_TRUE(layer->DoHitTest(13, 13));
  EXPECT_FALSE(layer->DoHitTest(14, 10));
  EXPECT_FALSE(layer->DoHitTest(9, 12));
  layer->SetAlphaHit(true);
  EXPECT_FALSE(layer->DoHitTest(10, 10));
  EXPECT_TRUE(layer->DoHitTest(11, 11));
}

TEST(RotLayer, PaintsThroughItsOwnTransformation) {
  TLayerCollection layers;
  auto* layer = layers.Add<TRotLayer>();
  TBitmap32& bmp = layer->Bitmap();
  bmp.SetSize(2, 1);
  bmp.SetPixel(0, 0, 0xFF0000FFu);
  bmp.SetPixel(1, 0, 0xFF00FF00u);
  layer->SetPosition(TFloatPoint{3.0f, 1.0f});
  layer->SetAngle(-90.0f);  // clockwise: x runs down the target
  TBitmap32 target;
  target.SetSize(6, 4);
  target.Clear(0);
  layer->PaintLayer(target);
  EXPECT_EQ(Hex(target.Pixel(3, 1)), Hex(0xFF0000FFu));
  EXPECT_EQ(Hex(target.Pixel(3, 2)), Hex(0xFF00FF00u));
  EXPECT_EQ(target.Pixel(4, 1), 0u);
  delete layer;  // leaves the collection, frees transformation and bitmap
  EXPECT_EQ(layers.Count(), 0);
}

}  // namespace
}  // namespace vesk::raster
