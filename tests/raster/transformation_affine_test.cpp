// Worked examples of the affine transformation: matrix layout, composition
// order, rounding of bounds, inversion and the fixed-point mappings.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>

#include "raster/affine_transformation.h"

namespace vesk::raster {
namespace {

std::uint32_t Bits(float f) { return std::bit_cast<std::uint32_t>(f); }

void ExpectSameBits(const TFloatMatrix& a, const TFloatMatrix& b) {
  for (int i = 0; i < 3; ++i) {
    for (int j = 0; j < 3; ++j) {
      EXPECT_EQ(Bits(a[i][j]), Bits(b[i][j])) << "entry [" << i << "][" << j << "]: " << a[i][j]
                                              << " vs " << b[i][j];
    }
  }
}

TEST(AffineTransformation, NewTransformationIsTheIdentityInEveryForm) {
  TAffineTransformation t;
  ExpectSameBits(t.Matrix, IdentityMatrix);
  EXPECT_FALSE(t.TransformValid());

  EXPECT_EQ(t.Transform(TFloatPoint{3.25f, -7.5f}), (TFloatPoint{3.25f, -7.5f}));
  EXPECT_TRUE(t.TransformValid());
  EXPECT_EQ(t.ReverseTransform(TFloatPoint{3.25f, -7.5f}), (TFloatPoint{3.25f, -7.5f}));
  EXPECT_EQ(t.Transform(TFixedPoint{12345, -67890}), (TFixedPoint{12345, -67890}));
  EXPECT_EQ(t.ReverseTransform(TFixedPoint{12345, -67890}), (TFixedPoint{12345, -67890}));
  EXPECT_EQ(t.Transform(TPoint{32767, -32767}), (TPoint{32767, -32767}));
  EXPECT_EQ(t.ReverseTransform(TPoint{-5, 9}), (TPoint{-5, 9}));
}

TEST(AffineTransformation, BoundsRoundHalvesToEven) {
  TAffineTransformation t;
  // Round(-0.5) = 0, Round(10.5) = 10, Round(20.5) = 20.
  EXPECT_EQ(t.GetTransformedBounds(TFloatRect{0, 0, 10, 20}), (TRect{0, 0, 10, 20}));
  t.Translate(1, 1);
  // Round(0.5) = 0, Round(11.5) = 12, Round(21.5) = 22.
  EXPECT_EQ(t.GetTransformedBounds(TFloatRect{0, 0, 10, 20}), (TRect{0, 0, 12, 22}));

  // An empty source area shrinks to the image of one point: with the origin
  // moved to (75, 75) the bounds are two pixels wide and high.
  TAffineTransformation p;
  EXPECT_EQ(p.GetTransformedBounds(), (TRect{0, 0, 0, 0}));
  p.Translate(75, 75);
  EXPECT_EQ(p.GetTransformedBounds(), (TRect{74, 74, 76, 76}));
  p.SetSrcRect(TFloatRect{0, 0, 4, 2});
  EXPECT_EQ(p.GetTransformedBounds(), (TRect{74, 74, 80, 78}));
}

TEST(AffineTransformation, QuarterTurnKeepsTheSinglePrecisionCosine) {
  TAffineTransformation t;
  t.Rotate(0, 0, 90);
  // The angle is pi/2 rounded to single, whose cosine is not exactly 0.
  const float a = static_cast<float>(90.0L * 3.14159265358979323846264338327950288L / 180.0L);
  const float ca = static_cast<float>(std::cos(static_cast<long double>(a)));
  EXPECT_NE(ca, 0.0f);
  EXPECT_NEAR(ca, -4.371139e-8f, 1e-13f);
  EXPECT_EQ(Bits(t.Matrix[0][0]), Bits(ca));
  EXPECT_EQ(t.Matrix[1][0], 1.0f);
  EXPECT_EQ(t.Matrix[0][1], -1.0f);
  EXPECT_EQ(Bits(t.Matrix[1][1]), Bits(ca));
  EXPECT_EQ(t.Matrix[2][0], 0.0f);
  EXPECT_EQ(t.Matrix[2][1], 0.0f);

  // A point right of the centre moves above it (y grows downwards).
  const TFloatPoint p = t.Transform(TFloatPoint{1, 0});
  EXPECT_NEAR(p.X, 0.0f, 1e-6f);
  EXPECT_EQ(p.Y, -1.0f);

  // The tiny cosine shows in the bounds: corner (10, 0) lands just left of
  // 0 and corner (10, 20) just above -10.
  EXPECT_EQ(t.GetTransformedBounds(TFloatRect{0, 0, 10, 20}), (TRect{-1, -11, 20, 0}));

  TAffineTransformation c;
  c.Rotate(0, 0, -90);
  const TFloatPoint q = c.Transform(TFloatPoint{1, 0});
  EXPECT_NEAR(q.X, 0.0f, 1e-6f);
  EXPECT_EQ(q.Y, 1.0f);  // clockwise on screen
}

TEST(AffineTransformation, StepsApplyInCallOrder) {
  // Translate then scale: (1, 1) -> (4, 6) -> (8, 18).
  TAffineTransformation t;
  t.Translate(3, 5);
  t.Scale(2, 3);
  EXPECT_EQ(t.Transform(TFloatPoint{1, 1}), (TFloatPoint{8, 18}));
  // Scale then translate: (1, 1) -> (2, 3) -> (5, 8).
  TAffineTransformation u;
  u.Scale(2, 3);
  u.Translate(3, 5);
  EXPECT_EQ(u.Transform(TFloatPoint{1, 1}), (TFloatPoint{5, 8}));
  EXPECT_EQ(u.ReverseTransform(TFloatPoint{5, 8}), (TFloatPoint{1, 1}));
}

TEST(AffineTransformation, RotateAboutACentreEqualsTranslateRotateTranslate) {
  TAffineTransformation direct;
  direct.Scale(1.5f, 0.75f);
  direct.Rotate(4.0f, 42.5f, -37.25f);

  TAffineTransformation steps;
  steps.Scale(1.5f, 0.75f);
  steps.Translate(-4.0f, -42.5f);
  steps.Rotate(0, 0, -37.25f);
  steps.Translate(4.0f, 42.5f);
  ExpectSameBits(direct.Matrix, steps.Matrix);

  // The centre (0, 0) adds no translation steps: one change report instead
  // of three.
  int changes = 0;
  TAffineTransformation counted;
  counted.OnChange = [&](TObject*) { ++changes; };
  counted.Rotate(0, 0, 30);
  EXPECT_EQ(changes, 1);
  counted.Rotate(0, 1, 30);
  EXPECT_EQ(changes, 4);
}

TEST(AffineTransformation, HourHandPivotLandsOnThePosition) {
  // The rotating layer's recipe: pivot to the origin, turn, move to position.
  for (const float angle : {0.0f, -90.0f}) {
    TAffineTransformation t;
    t.Translate(-4.0f, -42.5f);
    t.Rotate(0, 0, angle);
    t.Translate(75, 75);
    const TFloatPoint pivot = t.Transform(TFloatPoint{4.0f, 42.5f});
    EXPECT_NEAR(pivot.X, 75.0f, 1e-5f);
    EXPECT_NEAR(pivot.Y, 75.0f, 1e-5f);
    const TFloatPoint tip = t.Transform(TFloatPoint{4.0f, 0.0f});
    if (angle == 0.0f) {
      EXPECT_EQ(tip, (TFloatPoint{75.0f, 32.5f}));
    } else {
      EXPECT_NEAR(tip.X, 117.5f, 1e-4f);  // 3 o'clock
      EXPECT_NEAR(tip.Y, 75.0f, 1e-4f);
    }
  }
}

TEST(AffineTransformation, NearlySingularMatrixInvertsToIdentity) {
  TAffineTransformation t;
  t.Scale(0.001f, 0.001f);
  t.Translate(10, 20);
  EXPECT_LT(std::fabs(Determinant(t.Matrix)), 0.00001f);
  t.PrepareTransform();
  ExpectSameBits(t.InverseMatrix(), IdentityMatrix);
  EXPECT_EQ(t.ReverseTransform(TFloatPoint{7.5f, -3.0f}), (TFloatPoint{7.5f, -3.0f}));
  EXPECT_EQ(t.ReverseTransform(TPoint{7, -3}), (TPoint{7, -3}));

  // The limit is compared in extended precision: 0.00001 as a single lies
  // just below 0.00001 and still counts as singular; the next single up
  // does not.
  TFloatMatrix m = IdentityMatrix;
  m[0][0] = 0.00001f;
  ASSERT_LT(static_cast<long double>(m[0][0]), 0.00001L);
  ExpectSameBits(Invert(m), IdentityMatrix);
  m[0][0] = std::nextafter(0.00001f, 1.0f);
  EXPECT_NEAR(Invert(m)[0][0], 100000.0f, 1.0f);
}

TEST(AffineTransformation, InverseUndoesAGeneralMatrix) {
  TAffineTransformation t;
  t.Translate(-2.5f, -51.0f);
  t.Rotate(0, 0, 123.0f);
  t.Scale(1.25f, 0.8f);
  t.Translate(75, 75);
  for (const TFloatPoint p : {TFloatPoint{0, 0}, TFloatPoint{5, 102}, TFloatPoint{-3.5f, 17.25f}}) {
    const TFloatPoint q = t.ReverseTransform(t.Transform(p));
    EXPECT_NEAR(q.X, p.X, 1e-4f);
    EXPECT_NEAR(q.Y, p.Y, 1e-4f);
  }
  // The third column stays (0, 0, 1) for affine steps, so the determinant is
  // the 2 x 2 one: 1.25 * 0.8 for a pure turn-and-scale.
  EXPECT_NEAR(Determinant(t.Matrix), 1.0f, 1e-6f);
}

TEST(AffineTransformation, IntegerReverseMappingRoundsExactHalvesDown) {
  TAffineTransformation t;
  t.Translate(-0.5f, 2.5f);  // the inverse moves by (0.5, -2.5)
  // Fixed results 1.5 (98304) and -1.5 give 1 and -2.
  EXPECT_EQ(t.ReverseTransform(TPoint{1, 1}), (TPoint{1, -2}));
  EXPECT_EQ(t.ReverseTransform(TFixedPoint{FixedOne, FixedOne}), (TFixedPoint{98304, -98304}));
  // The float path keeps the halves.
  EXPECT_EQ(t.ReverseTransform(TFloatPoint{1, 1}), (TFloatPoint{1.5f, -1.5f}));
}

TEST(AffineTransformation, FixedMappingUsesFlooredProductsAndWrappingSums) {
  TAffineTransformation t;
  t.Scale(0.5f, 0.5f);
  t.PrepareTransform();
  EXPECT_EQ(t.FixedMatrix()[0][0], FixedHalf);
  EXPECT_EQ(t.InverseFixedMatrix()[0][0], 2 * FixedOne);
  // FixedMul floors: -1 (one 1/65536 step) times one half gives -1, not 0.
  EXPECT_EQ(t.TransformFixed(-1, 1), (TFixedPoint{-1, 0}));

  TAffineTransformation w;
  w.Translate(32767, 0);
  w.PrepareTransform();
  EXPECT_EQ(w.FixedMatrix()[2][0], 32767 * FixedOne);
  // 1 + 32767 overflows 16.16 and wraps to the most negative value.
  EXPECT_EQ(w.TransformFixed(FixedOne, 0).X, std::numeric_limits<std::int32_t>::min());
}

TEST(AffineTransformation, ChangesInvalidateThePreparedData) {
  TAffineTransformation t;
  int changes = 0;
  t.OnChange = [&](TObject* sender) {
    EXPECT_EQ(sender, &t);
    ++changes;
  };
  t.PrepareTransform();
  EXPECT_TRUE(t.TransformValid());
  t.Translate(2, 0);
  EXPECT_FALSE(t.TransformValid());
  EXPECT_EQ(changes, 1);
  // The coordinate operations read the prepared data unchecked: the old
  // (identity) fixed matrix is still in place.
  EXPECT_EQ(t.TransformFixed(0, 0), (TFixedPoint{0, 0}));
  // The point forms prepare first.
  EXPECT_EQ(t.Transform(TFixedPoint{0, 0}), (TFixedPoint{2 * FixedOne, 0}));
  EXPECT_TRUE(t.TransformValid());

  t.SetSrcRect(TFloatRect{1, 2, 3, 4});
  EXPECT_EQ(t.SrcRect(), (TFloatRect{1, 2, 3, 4}));
  EXPECT_FALSE(t.TransformValid());
  EXPECT_EQ(changes, 2);

  // Inside an update bracket the prepared data still goes stale, but no
  // change is reported.
  t.PrepareTransform();
  t.BeginUpdate();
  t.Scale(2, 2);
  t.Clear();
  EXPECT_FALSE(t.TransformValid());
  t.EndUpdate();
  EXPECT_EQ(changes, 2);
}

// A transformation that only knows the float mapping: a shift by one half.
class THalfShift : public TTransformation {
 public:
  std::string ClassName() const override { return "THalfShift"; }
  TFloatPoint TransformFloat(float x, float y) override { return {x + 0.5f, y + 0.5f}; }
  TFloatPoint ReverseTransformFloat(float x, float y) override { return {x - 0.5f, y - 0.5f}; }
};

TEST(Transformation, BaseDerivesFixedAndIntegerFormsFromFloat) {
  THalfShift t;
  EXPECT_EQ(t.TransformFixed(FixedOne, -FixedOne), (TFixedPoint{98304, -32768}));
  EXPECT_EQ(t.TransformInt(1, -2), (TPoint{1, -2}));  // 1.5 -> 1, -1.5 -> -2
  EXPECT_EQ(t.ReverseTransformInt(2, -1), (TPoint{1, -2}));
  EXPECT_EQ(t.Transform(TPoint{3, 3}), (TPoint{3, 3}));
  EXPECT_TRUE(t.HasTransformedBounds());
  // The base bounds are the rectangle itself, rounded halves to even.
  EXPECT_EQ(t.GetTransformedBounds(TFloatRect{0.5f, 1.5f, 2.5f, -0.5f}), (TRect{0, 2, 2, 0}));
}

TEST(Transformation, MissingFloatMappingRaisesWithTheClassName) {
  TTransformation base;
  try {
    (void)base.ReverseTransformFloat(0, 0);
    FAIL() << "no exception";
  } catch (const ETransformNotImplemented& e) {
    EXPECT_STREQ(e.what(), "Reverse transformation is not implemented in TTransformation.");
  }
  try {
    (void)base.Transform(TPoint{1, 1});  // integer -> fixed -> float
    FAIL() << "no exception";
  } catch (const ETransformNotImplemented& e) {
    EXPECT_STREQ(e.what(), "Forward transformation is not implemented in TTransformation.");
  }
  class TNamed : public TTransformation {
    std::string ClassName() const override { return "TNamed"; }
  } named;
  EXPECT_THROW((void)named.ReverseTransform(TFixedPoint{}), ETransformNotImplemented);
  try {
    (void)named.TransformFixed(0, 0);
    FAIL() << "no exception";
  } catch (const ETransformNotImplemented& e) {
    EXPECT_STREQ(e.what(), "Forward transformation is not implemented in TNamed.");
  }
}

}  // namespace
}  // namespace vesk::raster
