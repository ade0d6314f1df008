#pragma once
// 3 x 3 matrices for affine transformations, in single precision and in 16.16
// fixed point.
//
// Layout: M[i][j]. The first index selects what the entry multiplies (0: x,
// 1: y, 2: the constant 1); the second selects the output coordinate (0: x,
// 1: y, 2: the homogeneous term). A point (x, y) maps as a row vector:
//   x' = x*M[0][0] + y*M[1][0] + M[2][0]
//   y' = x*M[0][1] + y*M[1][1] + M[2][1]
// The column M[i][2] takes part only in the determinant and the inverse.
#include <array>

#include "raster/fixed.h"

namespace vesk::raster {

using TFloatMatrix = std::array<std::array<float, 3>, 3>;
using TFixedMatrix = std::array<std::array<TFixed, 3>, 3>;

inline constexpr TFloatMatrix IdentityMatrix = {{{1.0f, 0.0f, 0.0f},  //
                                                 {0.0f, 1.0f, 0.0f},
                                                 {0.0f, 0.0f, 1.0f}}};

// R[i][j] = A[0][j]*B[i][0] + A[1][j]*B[i][1] + A[2][j]*B[i][2]: B applied
// first, then A (for row vectors, R = B x A). Each sum is taken in extended
// precision and rounded to single once.
[[nodiscard]] TFloatMatrix Mult(const TFloatMatrix& a, const TFloatMatrix& b) noexcept;

// M00*(M11*M22 - M21*M12) - M01*(M10*M22 - M20*M12) + M02*(M10*M21 - M20*M11),
// evaluated wholly in extended precision and rounded to single once.
[[nodiscard]] float Determinant(const TFloatMatrix& m) noexcept;

// Determinants smaller than this in magnitude count as singular.
inline constexpr long double kSingularDeterminant = 0.00001L;

// The inverse through the adjugate: each 2 x 2 minor in extended precision,
// rounded to single, then multiplied by k = 1/det (k rounded to single first,
// each product rounded to single). A matrix with |det| < 0.00001 (compared in
// extended precision) yields the identity instead of an error.
[[nodiscard]] TFloatMatrix Invert(const TFloatMatrix& m) noexcept;

// Each entry through FloatToFixed: round(entry * 65536), halves to even.
[[nodiscard]] TFixedMatrix ToFixedMatrix(const TFloatMatrix& m) noexcept;

}  // namespace vesk::raster
