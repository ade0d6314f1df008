// Radius-3 weight rows four taps at a time.
//
// For a fraction f in (0, 1) the taps j = 0 .. 3 lie at distances j + f and
// the taps j = -1 .. -4 at |j| - f (each rounded to single: a single-precision
// addition rounds the exact sum once, which is single(j + f)). Normally the
// four distances of one side share their position inside a 1/128 interval,
// the phase q, and differ by whole units only, so the coefficients of the
// four taps sit side by side in the phase-ordered table and one Hermite
// evaluation in four single-precision lanes serves them all, each lane with
// its own exact fraction u. When rounding carries a distance into another
// interval (f within a unit in the last place of a multiple of 1/128, or so
// small that 1 - f rounds to 1) the row is left to the per-tap path.
//
// The single-precision evaluation adds at most 2e-5 weight units to the
// interpolation error (the coefficients below 256 are stored to half a unit
// in the last place, and only the last addition works at that magnitude),
// well inside the margin; docs/rounding.md has the whole budget.
#include "raster/kernel_weights.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace vesk::raster {

namespace {

inline float TapDistance(int j, float f) noexcept {
  return static_cast<float>(static_cast<long double>(j) + static_cast<long double>(f));
}

#if defined(__SSE2__)

// One side of an axis: four distances in phase q with exact fractions u.
struct TSide {
  __m128i weights;  // rounded weights, 0 where the distance reaches the width
  int near;         // bit k: lane k lies within the margin of a rounding step
};

[[gnu::always_inline]] inline TSide EvaluateSide(const float* block, __m128 x, __m128 u, __m128 width) noexcept {
  // block: c0[4], c1[4], c2[4], c3[4]; p = c0 + u (c1 + u (c2 + u c3)).
  __m128 p = _mm_loadu_ps(block + 12);
  p = _mm_add_ps(_mm_loadu_ps(block + 8), _mm_mul_ps(u, p));
  p = _mm_add_ps(_mm_loadu_ps(block + 4), _mm_mul_ps(u, p));
  p = _mm_add_ps(_mm_loadu_ps(block), _mm_mul_ps(u, p));
  // Nearest integer, ties to even (the default rounding of the conversion).
  const __m128i r = _mm_cvtps_epi32(p);
  const __m128 distance = _mm_andnot_ps(_mm_set1_ps(-0.0f), _mm_sub_ps(p, _mm_cvtepi32_ps(r)));
  const __m128 near = _mm_cmpge_ps(distance, _mm_set1_ps(static_cast<float>(0.5 - kLanczosRoundingMargin)));
  const __m128 inside = _mm_cmplt_ps(x, width);
  return TSide{_mm_and_si128(r, _mm_castps_si128(inside)), _mm_movemask_ps(_mm_and_ps(near, inside))};
}

struct TAxis {
  bool ok;
  TSide pos;  // lanes: taps 0, 1, 2, 3
  TSide neg;  // lanes: taps -1, -2, -3, -4
};

[[gnu::always_inline]] inline TAxis EvaluateAxis(const float* phases, float f, float width) noexcept {
  const __m128 f4 = _mm_set1_ps(f);
  const __m128 scale = _mm_set1_ps(128.0f);
  const __m128 xp = _mm_add_ps(_mm_setr_ps(0.0f, 1.0f, 2.0f, 3.0f), f4);
  const __m128 xn = _mm_sub_ps(_mm_setr_ps(1.0f, 2.0f, 3.0f, 4.0f), f4);
  const __m128 sp = _mm_mul_ps(xp, scale);  // exact: a power of two
  const __m128 sn = _mm_mul_ps(xn, scale);
  const __m128i kp = _mm_cvttps_epi32(sp);
  const __m128i kn = _mm_cvttps_epi32(sn);
  const int qp = _mm_cvtsi128_si32(kp);
  const int qn = _mm_cvtsi128_si32(kn);
  const __m128i steps = _mm_setr_epi32(0, 128, 256, 384);
  const __m128i same = _mm_and_si128(_mm_cmpeq_epi32(kp, _mm_add_epi32(steps, _mm_set1_epi32(qp))),
                                     _mm_cmpeq_epi32(kn, _mm_add_epi32(steps, _mm_set1_epi32(qn))));
  TAxis axis{};
  axis.ok = qp <= 127 && qn <= 127 && _mm_movemask_ps(_mm_castsi128_ps(same)) == 0xF;
  if (!axis.ok) return axis;
  const __m128 w4 = _mm_set1_ps(width);
  axis.pos = EvaluateSide(phases + qp * 16, xp, _mm_sub_ps(sp, _mm_cvtepi32_ps(kp)), w4);
  axis.neg = EvaluateSide(phases + qn * 16, xn, _mm_sub_ps(sn, _mm_cvtepi32_ps(kn)), w4);
  return axis;
}

// Writes the row w[3 + j], j = -3 .. 3, and w[7] = 0: lane 0 of the
// positive side is tap 0 (256 minus the others after the correction) and
// lane 3 of the negative side is tap -4 (beyond the radius, so past the
// width and already 0). Lanes near a rounding step are recomputed with the
// kernel's Filter first. The row is stored as two 128-bit words, which later
// 128-bit reads of the row take straight from the store.
[[gnu::always_inline]] inline void Assemble(const TAxis& axis, const TCustomKernel& kernel, float f, std::int32_t* w,
                                            int& fallbacks) {
  __m128i pos = axis.pos.weights;
  __m128i neg = axis.neg.weights;
  if (((axis.pos.near & 0xE) | (axis.neg.near & 0x7)) != 0) {
    alignas(16) std::int32_t p[4];
    alignas(16) std::int32_t n[4];
    _mm_store_si128(reinterpret_cast<__m128i*>(p), pos);
    _mm_store_si128(reinterpret_cast<__m128i*>(n), neg);
    for (int lane = 1; lane <= 3; ++lane) {
      if ((axis.pos.near >> lane) & 1) {
        p[lane] = KernelWeight(kernel, TapDistance(lane, f));
        ++fallbacks;
      }
      if ((axis.neg.near >> (lane - 1)) & 1) {
        n[lane - 1] = KernelWeight(kernel, TapDistance(-lane, f));
        ++fallbacks;
      }
    }
    pos = _mm_load_si128(reinterpret_cast<const __m128i*>(p));
    neg = _mm_load_si128(reinterpret_cast<const __m128i*>(n));
  }
  const __m128i right = _mm_srli_si128(pos, 4);                          // taps 1, 2, 3, 0
  const __m128i left = _mm_shuffle_epi32(neg, _MM_SHUFFLE(3, 0, 1, 2));  // taps -3, -2, -1, (-4 = 0)
  __m128i sum = _mm_add_epi32(left, right);
  sum = _mm_add_epi32(sum, _mm_shuffle_epi32(sum, _MM_SHUFFLE(1, 0, 3, 2)));
  sum = _mm_add_epi32(sum, _mm_shuffle_epi32(sum, _MM_SHUFFLE(2, 3, 0, 1)));
  const __m128i tap0 = _mm_sub_epi32(_mm_set1_epi32(256), sum);
  const __m128i lane3 = _mm_setr_epi32(0, 0, 0, -1);
  _mm_storeu_si128(reinterpret_cast<__m128i*>(w), _mm_or_si128(left, _mm_and_si128(tap0, lane3)));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(w + 4), right);
}

#endif

}  // namespace

bool TLanczosWeightTable::PhaseRow(const TCustomKernel& kernel, float f, std::int32_t* w, int& fallbacks) const {
#if defined(__SSE2__)
  if (phases_.empty() || !(f > 0.0f && f < 1.0f)) return false;
  const TAxis axis = EvaluateAxis(phases_.data(), f, width_);
  if (!axis.ok) return false;
  Assemble(axis, kernel, f, w, fallbacks);
  return true;
#else
  static_cast<void>(kernel);
  static_cast<void>(f);
  static_cast<void>(w);
  static_cast<void>(fallbacks);
  return false;
#endif
}

bool TLanczosWeightTable::PhaseRows(const TCustomKernel& kernel, float fx, float fy, std::int32_t* wx, std::int32_t* wy,
                                    int& fallbacks) const {
#if defined(__SSE2__)
  if (phases_.empty() || !(fx > 0.0f && fx < 1.0f) || !(fy > 0.0f && fy < 1.0f)) return false;
  // Both axes before either is used, so their evaluations overlap.
  const TAxis ax = EvaluateAxis(phases_.data(), fx, width_);
  const TAxis ay = EvaluateAxis(phases_.data(), fy, width_);
  if (!ax.ok || !ay.ok) return false;
  Assemble(ax, kernel, fx, wx, fallbacks);
  Assemble(ay, kernel, fy, wy, fallbacks);
  return true;
#else
  static_cast<void>(kernel);
  static_cast<void>(fx);
  static_cast<void>(fy);
  static_cast<void>(wx);
  static_cast<void>(wy);
  static_cast<void>(fallbacks);
  return false;
#endif
}

double TLanczosWeightTable::InterpolatePhase(float t) const noexcept {
  const float x = t < 0.0f ? -t : t;
  const float s = x * 128.0f;
  const int k = static_cast<int>(s);
  const float u = s - static_cast<float>(k);
  const float* c = &phases_[static_cast<std::size_t>(k % 128) * 16 + static_cast<std::size_t>(k / 128)];
  float p = c[12];
  p = c[8] + u * p;
  p = c[4] + u * p;
  p = c[0] + u * p;
  return p;
}

}  // namespace vesk::raster
