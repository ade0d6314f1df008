#include "raster/cpu.h"

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#define VESK_X86 1
#endif

namespace vesk::raster {

namespace {

constexpr bool Bit(std::uint32_t value, unsigned bit) noexcept { return ((value >> bit) & 1u) != 0; }

}  // namespace

bool CpuidHasFeature(const TCpuidResults& cpuid, TCpuFeature feature) noexcept {
  if (!cpuid.HasCpuid) return false;
  const std::uint32_t family = (cpuid.Leaf1Eax >> 8) & 0xFu;
  if (family < 5) return false;
  const bool extended = cpuid.MaxExtendedLeaf > 0x80000000u;
  switch (feature) {
    case cfMMX:
      return Bit(cpuid.Leaf1Edx, 23);
    case cfExMMX:
      // SSE implies the extended MMX integer instructions; AMD reports them
      // separately in the extended leaf.
      return Bit(cpuid.Leaf1Edx, 25) || (extended && Bit(cpuid.Extended1Edx, 22));
    case cfSSE:
      return Bit(cpuid.Leaf1Edx, 25);
    case cfSSE2:
      return Bit(cpuid.Leaf1Edx, 26);
    case cf3DNow:
      return extended && Bit(cpuid.Extended1Edx, 31);
    case cf3DNowExt:
      return extended && Bit(cpuid.Extended1Edx, 30);
  }
  return false;
}

TCpuidResults ReadCpuid() noexcept {
  TCpuidResults r;
#if defined(VESK_X86)
  // __get_cpuid_max performs the bit-21 flags test on 32-bit x86 and returns
  // 0 when CPUID is missing; on x86-64 CPUID always exists.
  if (__get_cpuid_max(0, nullptr) < 1) return r;
  r.HasCpuid = true;
  unsigned a = 0, b = 0, c = 0, d = 0;
  __cpuid(1, a, b, c, d);
  r.Leaf1Eax = a;
  r.Leaf1Edx = d;
  __cpuid(0x80000000u, a, b, c, d);
  r.MaxExtendedLeaf = a;
  if (r.MaxExtendedLeaf > 0x80000000u) {
    __cpuid(0x80000001u, a, b, c, d);
    r.Extended1Edx = d;
  }
#endif
  return r;
}

bool CpuHasFeature(TCpuFeature feature) noexcept {
  // The processor does not change while the program runs: read it once.
  static const TCpuidResults cpuid = ReadCpuid();
  return CpuidHasFeature(cpuid, feature);
}

}  // namespace vesk::raster
