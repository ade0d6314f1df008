#pragma once
// Plainly written matrix steps for the golden tests of turned images: a 3 x 3
// single matrix for row vectors (p' = p M), each step multiplied on the
// right with every entry summed in extended precision and rounded to single,
// and its inverse in 16.16 fixed point. Written independently of the
// production transformation code.
#include <gtest/gtest.h>

#include <cmath>

#include "kernel_reference.h"
#include "raster/fixed.h"

namespace vesk::raster::testing {

struct RefMatrix {
  using Ext = long double;
  float m[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};

  // m := m * t with each entry a sum in extended precision rounded to single.
  void Then(const float t[3][3]) {
    float r[3][3];
    for (int i = 0; i < 3; ++i) {
      for (int j = 0; j < 3; ++j) {
        r[i][j] = static_cast<float>(Ext{t[0][j]} * m[i][0] + Ext{t[1][j]} * m[i][1] + Ext{t[2][j]} * m[i][2]);
      }
    }
    for (int i = 0; i < 3; ++i) {
      for (int j = 0; j < 3; ++j) m[i][j] = r[i][j];
    }
  }
  void Translate(float dx, float dy) {
    const float t[3][3] = {{1, 0, 0}, {0, 1, 0}, {dx, dy, 1}};
    Then(t);
  }
  void Rotate(float degrees) {
    const auto a = static_cast<float>(Ext{degrees} * kRefPi / 180.0L);
    const auto s = static_cast<float>(sinl(a));
    const auto c = static_cast<float>(cosl(a));
    const float t[3][3] = {{c, -s, 0}, {s, c, 0}, {0, 0, 1}};
    Then(t);
  }
};

// The inverse by the adjugate (each minor rounded to single, then times
// single(1 / det)), every entry then in 16.16 fixed point.
inline void RefInverseFixed(const RefMatrix& f, TFixed out[3][3]) {
  using Ext = long double;
  const float(&m)[3][3] = f.m;
  const Ext det = Ext{m[0][0]} * (Ext{m[1][1]} * m[2][2] - Ext{m[2][1]} * m[1][2]) -
                  Ext{m[0][1]} * (Ext{m[1][0]} * m[2][2] - Ext{m[2][0]} * m[1][2]) +
                  Ext{m[0][2]} * (Ext{m[1][0]} * m[2][1] - Ext{m[2][0]} * m[1][1]);
  const auto d = static_cast<float>(det);
  ASSERT_GE(std::fabs(d), 0.00001f);
  auto minor = [](float a, float dd, float b, float c) { return static_cast<float>(Ext{a} * dd - Ext{b} * c); };
  const float adj[3][3] = {{minor(m[1][1], m[2][2], m[1][2], m[2][1]), -minor(m[0][1], m[2][2], m[0][2], m[2][1]),
                            minor(m[0][1], m[1][2], m[0][2], m[1][1])},
                           {-minor(m[1][0], m[2][2], m[1][2], m[2][0]), minor(m[0][0], m[2][2], m[0][2], m[2][0]),
                            -minor(m[0][0], m[1][2], m[0][2], m[1][0])},
                           {minor(m[1][0], m[2][1], m[1][1], m[2][0]), -minor(m[0][0], m[2][1], m[0][1], m[2][0]),
                            minor(m[0][0], m[1][1], m[0][1], m[1][0])}};
  const auto k = static_cast<float>(1.0L / d);
  for (int i = 0; i < 3; ++i) {
    for (int j = 0; j < 3; ++j) {
      const auto v = static_cast<float>(Ext{adj[i][j]} * k);
      out[i][j] = static_cast<TFixed>(nearbyintl(Ext{v} * 65536.0L));
    }
  }
}

}  // namespace vesk::raster::testing
