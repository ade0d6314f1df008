// Seeded sweep: random sequences of translate, rotate and scale steps,
// checked bit for bit against a plainly written matrix computation in this
// file (row vectors, p' = p * M, each step M := M * T with extended-precision
// sums rounded to single), and loosely against a step-by-step mapping of
// points that never forms a matrix at all.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>

#include "raster/affine_transformation.h"

namespace vesk::raster {
namespace {

using Ext = long double;
constexpr Ext kPi = 3.14159265358979323846264338327950288L;

// splitmix64: a fixed sequence on every standard library.
class Rng {
 public:
  explicit Rng(std::uint64_t seed) : state_(seed) {}
  std::uint64_t Next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  // Uniform in [lo, hi), rounded to single.
  float Uniform(float lo, float hi) {
    const Ext u = static_cast<Ext>(Next() >> 11) / 9007199254740992.0L;
    return static_cast<float>(lo + (hi - lo) * u);
  }
  int Below(int n) { return static_cast<int>(Next() % static_cast<std::uint64_t>(n)); }

 private:
  std::uint64_t state_;
};

struct Ref {
  float m[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};

  void Times(const float t[3][3]) {  // m := m * t
    float r[3][3];
    for (int i = 0; i < 3; ++i) {
      for (int j = 0; j < 3; ++j) {
        Ext s = 0;
        for (int k = 0; k < 3; ++k) s += static_cast<Ext>(m[i][k]) * t[k][j];
        r[i][j] = static_cast<float>(s);
      }
    }
    std::copy(&r[0][0], &r[0][0] + 9, &m[0][0]);
  }
  void Translate(float dx, float dy) {
    const float t[3][3] = {{1, 0, 0}, {0, 1, 0}, {dx, dy, 1}};
    Times(t);
  }
  void Scale(float sx, float sy) {
    const float t[3][3] = {{sx, 0, 0}, {0, sy, 0}, {0, 0, 1}};
    Times(t);
  }
  void Rotate(float cx, float cy, float alpha) {
    if (cx != 0 || cy != 0) Translate(-cx, -cy);
    const float a = static_cast<float>(static_cast<Ext>(alpha) * kPi / 180);
    const float s = static_cast<float>(std::sin(static_cast<Ext>(a)));
    const float c = static_cast<float>(std::cos(static_cast<Ext>(a)));
    const float t[3][3] = {{c, -s, 0}, {s, c, 0}, {0, 0, 1}};
    Times(t);
    if (cx != 0 || cy != 0) Translate(cx, cy);
  }
};

// The adjugate from generic cofactors: entry [r][c] is (-1)^(r+c) times the
// minor that deletes row c and column r.
TFloatMatrix RefInverse(const float m[3][3]) {
  auto det2 = [&](int r0, int r1, int c0, int c1) {
    return static_cast<Ext>(m[r0][c0]) * m[r1][c1] - static_cast<Ext>(m[r0][c1]) * m[r1][c0];
  };
  const Ext d_ext = m[0][0] * det2(1, 2, 1, 2) - m[0][1] * det2(1, 2, 0, 2) +
                    m[0][2] * det2(1, 2, 0, 1);
  const float d = static_cast<float>(d_ext);
  TFloatMatrix inv = {{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}};
  if (std::fabs(static_cast<Ext>(d)) < 1e-5L) return inv;
  const float k = static_cast<float>(1 / static_cast<Ext>(d));
  for (int r = 0; r < 3; ++r) {
    for (int c = 0; c < 3; ++c) {
      int rows[2], cols[2], nr = 0, nc = 0;
      for (int i = 0; i < 3; ++i) {
        if (i != c) rows[nr++] = i;
        if (i != r) cols[nc++] = i;
      }
      float minor = static_cast<float>(det2(rows[0], rows[1], cols[0], cols[1]));
      if ((r + c) % 2 == 1) minor = -minor;
      inv[r][c] = static_cast<float>(static_cast<Ext>(minor) * k);
    }
  }
  return inv;
}

TFixed RefFixed(float v) {
  const Ext scaled = std::nearbyint(static_cast<Ext>(v) * 65536);
  if (scaled > 2147483647.0L) return INT32_MAX;
  if (scaled < -2147483648.0L) return INT32_MIN;
  return static_cast<TFixed>(scaled);
}

// floor(a * b / 65536) by plain division with a correction for negatives.
std::int32_t RefFixedMul(std::int32_t a, std::int32_t b) {
  const std::int64_t p = static_cast<std::int64_t>(a) * b;
  std::int64_t q = p / 65536;
  if (p % 65536 != 0 && p < 0) --q;
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(q));
}

std::int32_t Wrap(std::int64_t v) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::uint64_t>(v)));
}

std::uint32_t Bits(float f) { return std::bit_cast<std::uint32_t>(f); }

struct Step {
  char kind;
  float a, b, c;
};

// The exact (unrounded) image of a point under the steps.
void MapExact(const Step* steps, int n, Ext& x, Ext& y) {
  for (int s = 0; s < n; ++s) {
    const Step& st = steps[s];
    if (st.kind == 'T') {
      x += st.a;
      y += st.b;
    } else if (st.kind == 'S') {
      x *= st.a;
      y *= st.b;
    } else {
      const Ext ang = st.c * kPi / 180;
      const Ext rx = x - st.a, ry = y - st.b;
      x = std::cos(ang) * rx + std::sin(ang) * ry + st.a;
      y = -std::sin(ang) * rx + std::cos(ang) * ry + st.b;
    }
  }
}

std::string Describe(const Step* steps, int n) {
  std::string out;
  char buf[96];
  for (int s = 0; s < n; ++s) {
    std::snprintf(buf, sizeof buf, "%c(%.9g, %.9g, %.9g) ", steps[s].kind, steps[s].a, steps[s].b,
                  steps[s].c);
    out += buf;
  }
  return out;
}

TEST(AffineTransformationSweep, MatchesThePlainComputationToTheLastBit) {
  Rng rng(0x5EED'CAFEull);
  constexpr int kSequences = 4000;
  int inverted = 0;
  for (int seq = 0; seq < kSequences; ++seq) {
    Step steps[6];
    const int n = 1 + rng.Below(6);
    TAffineTransformation t;
    Ref ref;
    for (int s = 0; s < n; ++s) {
      Step& st = steps[s];
      switch (rng.Below(3)) {
        case 0:
          st = {'T', rng.Uniform(-200, 200), rng.Uniform(-200, 200), 0};
          t.Translate(st.a, st.b);
          ref.Translate(st.a, st.b);
          break;
        case 1: {
          const bool centred = rng.Below(2) == 0;
          st = {'R', centred ? rng.Uniform(-100, 100) : 0.0f, centred ? rng.Uniform(-100, 100) : 0.0f,
                rng.Uniform(-720, 720)};
          t.Rotate(st.a, st.b, st.c);
          ref.Rotate(st.a, st.b, st.c);
          break;
        }
        default: {
          float sx = rng.Uniform(0.05f, 4), sy = rng.Uniform(0.05f, 4);
          if (rng.Below(4) == 0) sx = -sx;
          if (rng.Below(8) == 0) sy = rng.Uniform(0, 0.003f);  // sometimes nearly singular
          st = {'S', sx, sy, 0};
          t.Scale(sx, sy);
          ref.Scale(sx, sy);
        }
      }
    }
    SCOPED_TRACE("sequence " + std::to_string(seq) + ": " + Describe(steps, n));

    for (int i = 0; i < 3; ++i) {
      for (int j = 0; j < 3; ++j) ASSERT_EQ(Bits(t.Matrix[i][j]), Bits(ref.m[i][j])) << i << j;
    }
    t.PrepareTransform();
    const TFloatMatrix inv = RefInverse(ref.m);
    if (inv != IdentityMatrix) ++inverted;
    for (int i = 0; i < 3; ++i) {
      for (int j = 0; j < 3; ++j) {
        ASSERT_EQ(Bits(t.InverseMatrix()[i][j]), Bits(inv[i][j])) << i << j;
        ASSERT_EQ(t.FixedMatrix()[i][j], RefFixed(ref.m[i][j]));
        ASSERT_EQ(t.InverseFixedMatrix()[i][j], RefFixed(inv[i][j]));
      }
    }

    for (int k = 0; k < 4; ++k) {
      const float x = rng.Uniform(-300, 300), y = rng.Uniform(-300, 300);
      const TFloatPoint f = t.TransformFloat(x, y);
      ASSERT_EQ(Bits(f.X), Bits(static_cast<float>(static_cast<Ext>(x) * ref.m[0][0] +
                                                   static_cast<Ext>(y) * ref.m[1][0] + ref.m[2][0])));
      ASSERT_EQ(Bits(f.Y), Bits(static_cast<float>(static_cast<Ext>(x) * ref.m[0][1] +
                                                   static_cast<Ext>(y) * ref.m[1][1] + ref.m[2][1])));
      const TFloatPoint r = t.ReverseTransformFloat(x, y);
      ASSERT_EQ(Bits(r.X), Bits(static_cast<float>(static_cast<Ext>(x) * inv[0][0] +
                                                   static_cast<Ext>(y) * inv[1][0] + inv[2][0])));
      ASSERT_EQ(Bits(r.Y), Bits(static_cast<float>(static_cast<Ext>(x) * inv[0][1] +
                                                   static_cast<Ext>(y) * inv[1][1] + inv[2][1])));

      // The matrix describes the steps: compare with the exact mapping.
      Ext ex = x, ey = y;
      MapExact(steps, n, ex, ey);
      const Ext tol = 1e-3L * (1 + std::fabs(ex) + std::fabs(ey));
      ASSERT_NEAR(static_cast<double>(f.X), static_cast<double>(ex), static_cast<double>(tol));
      ASSERT_NEAR(static_cast<double>(f.Y), static_cast<double>(ey), static_cast<double>(tol));

      const TFixed fx = static_cast<TFixed>(rng.Next()), fy = static_cast<TFixed>(rng.Next());
      const auto& F = t.InverseFixedMatrix();
      const TFixedPoint rf = t.ReverseTransformFixed(fx, fy);
      ASSERT_EQ(rf.X, Wrap(static_cast<std::int64_t>(RefFixedMul(fx, F[0][0])) +
                           RefFixedMul(fy, F[1][0]) + F[2][0]));
      ASSERT_EQ(rf.Y, Wrap(static_cast<std::int64_t>(RefFixedMul(fx, F[0][1])) +
                           RefFixedMul(fy, F[1][1]) + F[2][1]));

      const int ix = rng.Below(65535) - 32767, iy = rng.Below(65535) - 32767;
      const TPoint ri = t.ReverseTransformInt(ix, iy);
      const TFixedPoint via = t.ReverseTransformFixed(ix * 65536, iy * 65536);
      ASSERT_EQ(ri.X, static_cast<std::int32_t>(std::floor((static_cast<Ext>(via.X) + 32767) / 65536)));
      ASSERT_EQ(ri.Y, static_cast<std::int32_t>(std::floor((static_cast<Ext>(via.Y) + 32767) / 65536)));
    }

    const float l = rng.Uniform(-50, 50), tp = rng.Uniform(-50, 50);
    const TFloatRect src{l, tp, l + rng.Uniform(0, 120), tp + rng.Uniform(0, 120)};
    Ext min_x = INFINITY, min_y = INFINITY, max_x = -INFINITY, max_y = -INFINITY;
    for (const float cx : {src.Left, src.Right}) {
      for (const float cy : {src.Top, src.Bottom}) {
        const Ext px = static_cast<float>(static_cast<Ext>(cx) * ref.m[0][0] +
                                          static_cast<Ext>(cy) * ref.m[1][0] + ref.m[2][0]);
        const Ext py = static_cast<float>(static_cast<Ext>(cx) * ref.m[0][1] +
                                          static_cast<Ext>(cy) * ref.m[1][1] + ref.m[2][1]);
        min_x = std::fmin(min_x, px);
        max_x = std::fmax(max_x, px);
        min_y = std::fmin(min_y, py);
        max_y = std::fmax(max_y, py);
      }
    }
    const TRect expected{static_cast<std::int32_t>(std::nearbyint(min_x - 0.5L)),
                         static_cast<std::int32_t>(std::nearbyint(min_y - 0.5L)),
                         static_cast<std::int32_t>(std::nearbyint(max_x + 0.5L)),
                         static_cast<std::int32_t>(std::nearbyint(max_y + 0.5L))};
    ASSERT_EQ(t.GetTransformedBounds(src), expected);
  }
  // Most sequences are regular; the nearly singular ones exercise the
  // identity fallback.
  EXPECT_GT(inverted, kSequences * 3 / 4);
  EXPECT_LT(inverted, kSequences);
}

}  // namespace
}  // namespace vesk::raster
