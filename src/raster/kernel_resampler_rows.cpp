// The kernel resampler's run form: a row of samples along a line in 16.16
// source coordinates, with exactly the colours of GetSampleFixed (which
// converts to singles and convolves, kernel_resampler.cpp).
//
// Three things make it fast without changing a byte:
//  - While |u| and |v| stay below 2^24 the conversion u / 65536 to single is
//    exact, so Ceil and the fraction come from integer arithmetic: cx =
//    (u + 65535) >> 16 and fx = ((cx << 16) - u) / 65536.
//  - The clip rectangle is copied once per run into a buffer framed by outer
//    pixels, wide enough that every tap of every in-range sample lies inside
//    it: taps that the per-sample form cuts and counts as the outer colour
//    simply read an outer pixel here, so no sample needs edge tests.
//  - The convolution runs four channels at a time in 32-bit lanes; it computes
//    the same integer sums (32-bit wrapping arithmetic is associative).
#include <algorithm>
#include <cstring>

#include "raster/kernel_resampler.h"
#include "raster/kernel_sample.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace vesk::raster {

namespace {

// Columns are read in groups of eight.
constexpr int kGroup = 8;

[[nodiscard]] int ColumnGroups(int kw) noexcept { return (2 * kw + 1 + kGroup - 1) / kGroup; }

// Frame widths of the padded copy: taps reach KW to the left and above, and
// for cx = Right (cy = Bottom) up to the last column of the last group to the
// right (KW + 1 rows below, since row Bottom itself is outside).
[[nodiscard]] int PadLeft(int kw) noexcept { return kw; }
[[nodiscard]] int PadRight(int kw) noexcept { return kGroup * ColumnGroups(kw) - kw; }

#if defined(__SSE2__)

// Low 32 bits of a * b in each lane (b the same in all lanes).
inline __m128i MulLo32(__m128i a, __m128i b) noexcept {
  const __m128i even = _mm_mul_epu32(a, b);
  const __m128i odd = _mm_mul_epu32(_mm_srli_epi64(a, 32), b);
  return _mm_unpacklo_epi32(_mm_shuffle_epi32(even, 0x08), _mm_shuffle_epi32(odd, 0x08));
}

// Sum over four pixels of w[j] * channel, per channel, in 32-bit lanes
// (B, G, R, A). w01 holds (w0, w1) repeated, w23 (w2, w3).
inline __m128i Dot4(const TColor32* p, __m128i w01, __m128i w23) noexcept {
  const __m128i zero = _mm_setzero_si128();
  const __m128i px = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
  // [p0 p2 | p1 p3], then bytes of (p0, p1) and (p2, p3) interleaved.
  const __m128i t = _mm_shuffle_epi32(px, _MM_SHUFFLE(3, 1, 2, 0));
  const __m128i pairs = _mm_unpacklo_epi8(t, _mm_unpackhi_epi64(t, t));
  const __m128i lo = _mm_madd_epi16(_mm_unpacklo_epi8(pairs, zero), w01);
  const __m128i hi = _mm_madd_epi16(_mm_unpackhi_epi8(pairs, zero), w23);
  return _mm_add_epi32(lo, hi);
}

// The weights of one sample made ready for the convolution: the column
// weights as 16-bit pairs, the rows with a non-zero weight and their weights.
// Consecutive samples with the same fractions (translations, quarter turns)
// reuse them.
struct TPreparedWeights {
  __m128i pairs[4 * 2];
  __m128i row_weight[kMaxKernelTaps];
  int row[kMaxKernelTaps];
  int rows = 0;
  int groups = 0;
};

// wx and wy hold 2 * kw + 1 weights followed by zeros up to 16 entries,
// each small enough for a 16-bit lane.
void Prepare(int kw, const std::int32_t* wx, const std::int32_t* wy, TPreparedWeights& p) noexcept {
  p.groups = ColumnGroups(kw);
  for (int g = 0; g < p.groups; ++g) {
    const auto* w = reinterpret_cast<const __m128i*>(wx + kGroup * g);
    const __m128i w8 = _mm_packs_epi32(_mm_loadu_si128(w), _mm_loadu_si128(w + 1));
    p.pairs[4 * g + 0] = _mm_shuffle_epi32(w8, 0x00);  // (w0, w1) in every lane
    p.pairs[4 * g + 1] = _mm_shuffle_epi32(w8, 0x55);  // (w2, w3)
    p.pairs[4 * g + 2] = _mm_shuffle_epi32(w8, 0xAA);  // (w4, w5)
    p.pairs[4 * g + 3] = _mm_shuffle_epi32(w8, 0xFF);  // (w6, w7)
  }
  p.rows = 0;
  for (int i = 0; i < 2 * kw + 1; ++i) {
    if (wy[i] == 0) continue;  // a row of weight 0 adds nothing
    p.row[p.rows] = i;
    p.row_weight[p.rows] = _mm_set1_epi32(wy[i]);
    ++p.rows;
  }
}

// The column weights of a radius-3 sample from its fraction row: taps -3 .. 3
// and the zero as 16-bit pairs, one group.
inline void PrepareColumns(const TLanczosFractionTable::TRow& r, TPreparedWeights& p) noexcept {
  const __m128i w8 = _mm_load_si128(reinterpret_cast<const __m128i*>(r.w));
  p.pairs[0] = _mm_shuffle_epi32(w8, 0x00);
  p.pairs[1] = _mm_shuffle_epi32(w8, 0x55);
  p.pairs[2] = _mm_shuffle_epi32(w8, 0xAA);
  p.pairs[3] = _mm_shuffle_epi32(w8, 0xFF);
  p.groups = 1;
}

// The rows of a radius-3 sample from its fraction row. A whole coordinate
// (fraction 0) weighs its own row alone: only rows of non-zero weight are
// kept. Any other fraction gives rows -3 .. 2 without looking (a row of
// weight 0 among them adds 0 to every sum), and row 3, at distance 3 + f
// beyond the kernel's width, only if its weight is not 0.
inline void PrepareRows(const TLanczosFractionTable::TRow& r, bool whole, TPreparedWeights& p) noexcept {
  p.rows = 0;
  for (int i = 0; i < 7; ++i) {
    if ((whole || i == 6) && r.w[i] == 0) continue;
    p.row[p.rows] = i;
    p.row_weight[p.rows] = _mm_set1_epi32(r.w[i]);
    ++p.rows;
  }
}

TColor32 Convolve(const TPreparedWeights& p, const TColor32* base, std::int32_t stride, bool range_check) noexcept {
  __m128i acc = _mm_setzero_si128();
  for (int k = 0; k < p.rows; ++k) {
    const TColor32* row = base + static_cast<std::ptrdiff_t>(p.row[k]) * stride;
    __m128i h = _mm_add_epi32(Dot4(row, p.pairs[0], p.pairs[1]), Dot4(row + 4, p.pairs[2], p.pairs[3]));
    if (p.groups > 1) {
      h = _mm_add_epi32(h,
                        _mm_add_epi32(Dot4(row + 8, p.pairs[4], p.pairs[5]), Dot4(row + 12, p.pairs[6], p.pairs[7])));
    }
    acc = _mm_add_epi32(acc, MulLo32(h, p.row_weight[k]));
  }
  // >> 16, then the low 16 bits as a signed number.
  __m128i v = _mm_srai_epi32(_mm_slli_epi32(_mm_srai_epi32(acc, 16), 16), 16);
  if (!range_check) v = _mm_and_si128(v, _mm_set1_epi32(0xFF));
  // Saturating packs: to 16 bits (values already fit), then to bytes, which
  // clamps to 0 .. 255.
  v = _mm_packus_epi16(_mm_packs_epi32(v, v), v);
  return static_cast<TColor32>(_mm_cvtsi128_si32(v));
}

#else

struct TPreparedWeights {
  std::int32_t wx[kMaxKernelTaps];
  std::int32_t wy[kMaxKernelTaps];
  int taps = 0;
};

void Prepare(int kw, const std::int32_t* wx, const std::int32_t* wy, TPreparedWeights& p) noexcept {
  p.taps = 2 * kw + 1;
  std::copy_n(wx, p.taps, p.wx);
  std::copy_n(wy, p.taps, p.wy);
}

TColor32 Convolve(const TPreparedWeights& p, const TColor32* base, std::int32_t stride, bool range_check) noexcept {
  TKernelSums sums;
  for (int i = 0; i < p.taps; ++i) {
    if (p.wy[i] == 0) continue;
    const TColor32* row = base + static_cast<std::ptrdiff_t>(i) * stride;
    TKernelSums h;
    for (int j = 0; j < p.taps; ++j) h.Add(row[j], p.wx[j]);
    sums.AddScaled(h, p.wy[i]);
  }
  return sums.Pack(range_check);
}

#endif

// Whether a + i * d stays within the 32-bit range for i = 0 .. count - 1.
[[nodiscard]] bool NoWrap(TFixed a, TFixed d, std::int32_t count) noexcept {
  const std::int64_t end = std::int64_t{a} + std::int64_t{d} * (count - 1);
  return end >= INT32_MIN && end <= INT32_MAX;
}

[[nodiscard]] std::int64_t FloorDiv(std::int64_t a, std::int64_t b) noexcept {
  const std::int64_t q = a / b;
  return (a % b != 0 && ((a < 0) != (b < 0))) ? q - 1 : q;
}

[[nodiscard]] std::int64_t CeilDiv(std::int64_t a, std::int64_t b) noexcept { return -FloorDiv(-a, b); }

// Narrows [first, last) to the i with lo <= a + i * d <= hi.
void ClampSpan(TFixed a, TFixed d, std::int64_t lo, std::int64_t hi, std::int64_t& first, std::int64_t& last) noexcept {
  if (d == 0) {
    if (a < lo || a > hi) last = first;
    return;
  }
  std::int64_t i_min;
  std::int64_t i_max;
  if (d > 0) {
    i_min = CeilDiv(lo - a, d);
    i_max = FloorDiv(hi - a, d);
  } else {
    i_min = CeilDiv(hi - a, d);
    i_max = FloorDiv(lo - a, d);
  }
  first = std::max(first, i_min);
  last = std::min(last, i_max + 1);
}

}  // namespace

void TKernelResampler::BuildPaddedCopy(TColor32 outer) {
  const TRect& c = clip_rect_;
  const int kw = radius_;
  const std::int32_t w = RectWidth(c);
  const std::int32_t h = RectHeight(c);
  padded_stride_ = w + PadLeft(kw) + PadRight(kw);
  const std::int32_t rows = h + 2 * kw + 1;
  padded_.assign(static_cast<std::size_t>(padded_stride_) * rows, outer);
  for (std::int32_t y = 0; y < h; ++y) {
    const TColor32* src = bitmap_->PixelPtr(c.Left, c.Top + y);
    std::copy_n(src, w, &padded_[static_cast<std::size_t>(y + kw) * padded_stride_ + PadLeft(kw)]);
  }
  padded_ready_ = true;
}

bool TKernelResampler::SampleRowFixed(TFixed u, TFixed v, TFixed du, TFixed dv, std::int32_t count, TColor32* out) {
  const TPixelAccessMode mode = pixel_access_mode_;
  if (!runs_allowed_ || bitmap_ == nullptr || kernel_mode_ != kmDynamic || !weights_.SmallWeights()) return false;
  if (mode != pamSafe && mode != pamTransparentEdge) return false;
  const TRect& c = clip_rect_;
  if (IsRectEmpty(c) || count <= 0) return false;
  const TColor32 outer = mode == pamTransparentEdge ? 0 : outer_color_;
  if (!padded_ready_) BuildPaddedCopy(outer);

  const int kw = radius_;
  const bool range_check = kernel_->RangeCheck();
  // The samples in range form one span [first, last) when neither coordinate
  // wraps around during the run: cx = Ceil(u / 65536) lies in [Left, Right]
  // exactly for u in [Left * 65536 - 65535, Right * 65536], and likewise for
  // v. Inside a clip rectangle below 256 pixels every such u and v is below
  // 2^24, where the integer fractions are exact.
  std::int64_t first = 0;
  std::int64_t last = count;
  const bool linear = c.Right < 256 && c.Bottom < 256 && NoWrap(u, du, count) && NoWrap(v, dv, count);
  if (linear) {
    ClampSpan(u, du, std::int64_t{c.Left} * 65536 - 65535, std::int64_t{c.Right} * 65536, first, last);
    ClampSpan(v, dv, std::int64_t{c.Top} * 65536 - 65535, std::int64_t{c.Bottom} * 65536, first, last);
    first = std::min<std::int64_t>(first, count);
    last = std::clamp<std::int64_t>(last, first, count);
    std::fill(out, out + first, outer);
    std::fill(out + last, out + count, outer);
  }
  constexpr std::int32_t kExact = 1 << 24;  // |u| below this converts exactly
#if defined(__SSE2__)
  // Radius-3 Lanczos weights are read by fraction (the rows of gx and gy are
  // those of Rows(gx / 65536, gy / 65536)).
  const TLanczosFractionTable* const fractions = kw == 3 ? weights_.Fractions() : nullptr;
#endif
  TPreparedWeights prepared{};
  std::int32_t prepared_gx = -1;  // no fraction yet
  std::int32_t prepared_gy = -1;
  auto uu = static_cast<std::uint32_t>(u) + static_cast<std::uint32_t>(first) * static_cast<std::uint32_t>(du);
  auto vv = static_cast<std::uint32_t>(v) + static_cast<std::uint32_t>(first) * static_cast<std::uint32_t>(dv);
  for (std::int64_t i = first; i < last;
       ++i, uu += static_cast<std::uint32_t>(du), vv += static_cast<std::uint32_t>(dv)) {
    const auto su = static_cast<std::int32_t>(uu);
    const auto sv = static_cast<std::int32_t>(vv);
    if (!linear) {
      if (su <= -kExact || su >= kExact || sv <= -kExact || sv >= kExact) {
        out[i] = GetSampleFixed(su, sv);
        continue;
      }
      const std::int32_t cx = (su + 0xFFFF) >> 16;
      const std::int32_t cy = (sv + 0xFFFF) >> 16;
      if (cx < c.Left || cx > c.Right || cy < c.Top || cy > c.Bottom) {
        out[i] = outer;
        continue;
      }
    }
    const std::int32_t cx = (su + 0xFFFF) >> 16;
    const std::int32_t cy = (sv + 0xFFFF) >> 16;
    // The fractions in 1/65536: (cx << 16) - u.
    const std::int32_t gx = (cx << 16) - su;
    const std::int32_t gy = (cy << 16) - sv;
#if defined(__SSE2__)
    if (fractions != nullptr) {
      if (gx != prepared_gx) {
        PrepareColumns(fractions->Row(static_cast<std::uint32_t>(gx)), prepared);
        prepared_gx = gx;
      }
      if (gy != prepared_gy) {
        PrepareRows(fractions->Row(static_cast<std::uint32_t>(gy)), gy == 0, prepared);
        prepared_gy = gy;
      }
    } else
#endif
    if (gx != prepared_gx || gy != prepared_gy) {
      const std::int32_t* wx = nullptr;
      const std::int32_t* wy = nullptr;
      weights_.Rows(static_cast<float>(gx) * (1.0f / 65536.0f), static_cast<float>(gy) * (1.0f / 65536.0f), wx, wy);
      Prepare(kw, wx, wy, prepared);
      prepared_gx = gx;
      prepared_gy = gy;
    }
    // Tap (-KW, -KW) of the sample sits at padded (cx - Left, cy - Top).
    const TColor32* base = padded_.data() + static_cast<std::ptrdiff_t>(cy - c.Top) * padded_stride_ + (cx - c.Left);
    out[i] = Convolve(prepared, base, padded_stride_, range_check);
  }
  return true;
}

}  // namespace vesk::raster
