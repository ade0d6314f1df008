#include "raster/cpu.h"

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#define VESK_X86 1
#endif

namespace vesk::raster {

namespace {

constexpr bool Bit(std::uint64_t value, unsigned bit) noexcept { return ((value >> bit) & 1u) != 0; }

}  // namespace

bool CpuidHasFeature(const TCpuidResults& cpuid, TCpuFeature feature) noexcept {
  if (!cpuid.HasCpuid) return false;
  const std::uint32_t family = (cpuid.Leaf1Eax >> 8) & 0xFu;
  if (family < 5) return false;
  switch (feature) {
    case cfMMX:
      return Bit(cpuid.Leaf1Edx, 23);
    case cfSSE2:
      return Bit(cpuid.Leaf1Edx, 26);
    case cfAVX2:
      // The processor has the instructions, and the system saves the upper
      // halves of the registers across task switches (OSXSAVE, then XCR0).
      return cpuid.MaxLeaf >= 7 && Bit(cpuid.Leaf7Ebx, 5) && Bit(cpuid.Leaf1Ecx, 27) && Bit(cpuid.Leaf1Ecx, 28) &&
             (cpuid.Xcr0 & 6u) == 6u;
  }
  return false;
}

TCpuidResults ReadCpuid() noexcept {
  TCpuidResults r;
#if defined(VESK_X86)
  // __get_cpuid_max performs the bit-21 flags test on 32-bit x86 and returns
  // 0 when CPUID is missing; on x86-64 CPUID always exists.
  r.MaxLeaf = __get_cpuid_max(0, nullptr);
  if (r.MaxLeaf < 1) return TCpuidResults{};
  r.HasCpuid = true;
  unsigned a = 0, b = 0, c = 0, d = 0;
  __cpuid(1, a, b, c, d);
  r.Leaf1Eax = a;
  r.Leaf1Ecx = c;
  r.Leaf1Edx = d;
  if (r.MaxLeaf >= 7) {
    __cpuid_count(7, 0, a, b, c, d);
    r.Leaf7Ebx = b;
  }
  if (Bit(r.Leaf1Ecx, 27)) {
    std::uint32_t lo = 0, hi = 0;
    __asm__ volatile("xgetbv" : "=a"(lo), "=d"(hi) : "c"(0));
    r.Xcr0 = (std::uint64_t{hi} << 32) | lo;
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
