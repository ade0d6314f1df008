#include "raster/float_matrix.h"

#include <cmath>

namespace vesk::raster {

namespace {

using Ext = long double;

// One 2 x 2 minor a*d - b*c in extended precision, rounded to single. The
// products of two singles are exact in extended precision; only the
// difference rounds before the final rounding to single.
float Minor(float a, float d, float b, float c) noexcept {
  return static_cast<float>(Ext{a} * d - Ext{b} * c);
}

}  // namespace

TFloatMatrix Mult(const TFloatMatrix& a, const TFloatMatrix& b) noexcept {
  TFloatMatrix r{};
  for (int i = 0; i < 3; ++i) {
    for (int j = 0; j < 3; ++j) {
      r[i][j] = static_cast<float>(Ext{a[0][j]} * b[i][0] + Ext{a[1][j]} * b[i][1] +
                                   Ext{a[2][j]} * b[i][2]);
    }
  }
  return r;
}

float Determinant(const TFloatMatrix& m) noexcept {
  const Ext m00 = m[0][0], m01 = m[0][1], m02 = m[0][2];
  const Ext m10 = m[1][0], m11 = m[1][1], m12 = m[1][2];
  const Ext m20 = m[2][0], m21 = m[2][1], m22 = m[2][2];
  return static_cast<float>(m00 * (m11 * m22 - m21 * m12) - m01 * (m10 * m22 - m20 * m12) +
                            m02 * (m10 * m21 - m20 * m11));
}

TFloatMatrix Invert(const TFloatMatrix& m) noexcept {
  const float d = Determinant(m);
  if (std::fabs(Ext{d}) < kSingularDeterminant) return IdentityMatrix;

  TFloatMatrix adj{};
  adj[0][0] = Minor(m[1][1], m[2][2], m[1][2], m[2][1]);
  adj[0][1] = -Minor(m[0][1], m[2][2], m[0][2], m[2][1]);
  adj[0][2] = Minor(m[0][1], m[1][2], m[0][2], m[1][1]);
  adj[1][0] = -Minor(m[1][0], m[2][2], m[1][2], m[2][0]);
  adj[1][1] = Minor(m[0][0], m[2][2], m[0][2], m[2][0]);
  adj[1][2] = -Minor(m[0][0], m[1][2], m[0][2], m[1][0]);
  adj[2][0] = Minor(m[1][0], m[2][1], m[1][1], m[2][0]);
  adj[2][1] = -Minor(m[0][0], m[2][1], m[0][1], m[2][0]);
  adj[2][2] = Minor(m[0][0], m[1][1], m[0][1], m[1][0]);

  const float k = static_cast<float>(1.0L / d);
  TFloatMatrix r{};
  for (int i = 0; i < 3; ++i) {
    for (int j = 0; j < 3; ++j) r[i][j] = static_cast<float>(Ext{adj[i][j]} * k);
  }
  return r;
}

TFixedMatrix ToFixedMatrix(const TFloatMatrix& m) noexcept {
  TFixedMatrix r{};
  for (int i = 0; i < 3; ++i) {
    for (int j = 0; j < 3; ++j) r[i][j] = FloatToFixed(m[i][j]);
  }
  return r;
}

}  // namespace vesk::raster
