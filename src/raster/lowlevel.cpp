#include "raster/lowlevel.h"

#include <cstring>
#include <functional>


#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace vesk::raster {

namespace lowlevel {

void FillLongwordPortable(TColor32* Dst, std::int32_t Count, TColor32 Value) noexcept {
  for (std::int32_t i = 0; i < Count; ++i) Dst[i] = Value;
}

// Sixteen-byte stores where the build targets SSE2 (always on x86-64);
// elsewhere two pixels per 64-bit store: one single word first when Dst is not 8-byte
// aligned, one single word last when an odd word remains. The stores go
// through memcpy so the compiler emits plain 64-bit moves without aliasing a
// TColor32 array as 64-bit integers.
void FillLongwordWide(TColor32* Dst, std::int32_t Count, TColor32 Value) noexcept {
  if (Count <= 0) return;
  // A value of four equal bytes (0, the usual clear, among them) is a byte
  // fill, which the C library does with the fastest stores the processor
  // has.
  if (Value == (Value & 0xFFu) * 0x01010101u) {
    std::memset(Dst, static_cast<int>(Value & 0xFFu), static_cast<std::size_t>(Count) * sizeof(TColor32));
    return;
  }
#if defined(__SSE2__)
  // Four pixels per 16-byte store once Dst is 16-byte aligned, sixteen per
  // pass.
  while (Count > 0 && (reinterpret_cast<std::uintptr_t>(Dst) & 15u) != 0) {
    *Dst++ = Value;
    --Count;
  }
  const __m128i v = _mm_set1_epi32(static_cast<int>(Value));
  for (; Count >= 16; Count -= 16, Dst += 16) {
    auto* p = reinterpret_cast<__m128i*>(Dst);
    _mm_store_si128(p, v);
    _mm_store_si128(p + 1, v);
    _mm_store_si128(p + 2, v);
    _mm_store_si128(p + 3, v);
  }
  for (; Count >= 4; Count -= 4, Dst += 4) _mm_store_si128(reinterpret_cast<__m128i*>(Dst), v);
  for (; Count > 0; --Count) *Dst++ = Value;
  return;
#endif
  if ((reinterpret_cast<std::uintptr_t>(Dst) & 7u) != 0) {
    *Dst++ = Value;
    --Count;
  }
  const std::uint64_t pair = (static_cast<std::uint64_t>(Value) << 32) | Value;
  for (; Count >= 2; Count -= 2, Dst += 2) std::memcpy(Dst, &pair, sizeof pair);
  if (Count > 0) *Dst = Value;
}

// Word by word, forwards when Dst lies below Src and backwards otherwise, so
// overlapping runs copy like a memmove.
void MoveLongwordPortable(const TColor32* Src, TColor32* Dst, std::int32_t Count) noexcept {
  if (Count <= 0 || Src == Dst) return;
  if (std::less<const TColor32*>{}(Dst, Src)) {
    for (std::int32_t i = 0; i < Count; ++i) Dst[i] = Src[i];
  } else {
    for (std::int32_t i = Count; i-- > 0;) Dst[i] = Src[i];
  }
}

void MoveLongwordWide(const TColor32* Src, TColor32* Dst, std::int32_t Count) noexcept {
  if (Count <= 0 || Src == Dst) return;
  std::memmove(Dst, Src, static_cast<std::size_t>(Count) * sizeof(TColor32));
}

}  // namespace lowlevel

}  // namespace vesk::raster
