#pragma once
// The processor test that chooses between the vector and scalar pixel
// routines at start-up.
#include <cstdint>

namespace vesk::raster {

enum class TCpuFeature : std::uint8_t {
  cfMMX = 0,
  cfExMMX = 1,  // the extended MMX integer instructions
  cfSSE = 2,
  cfSSE2 = 3,
  cf3DNow = 4,
  cf3DNowExt = 5,
};
using enum TCpuFeature;

// Whether the running processor has the feature. False for every feature on
// a processor without the CPUID instruction, with a family below 5, or of a
// non-x86 architecture.
[[nodiscard]] bool CpuHasFeature(TCpuFeature feature) noexcept;

// The CPUID results the decision reads. HasCpuid is the outcome of the
// flags-register test (bit 21 can be toggled); always true on x86-64.
struct TCpuidResults {
  bool HasCpuid = false;
  std::uint32_t Leaf1Eax = 0;           // CPUID(1).EAX: family in bits 8-11
  std::uint32_t Leaf1Edx = 0;           // CPUID(1).EDX: feature bits
  std::uint32_t MaxExtendedLeaf = 0;    // CPUID(0x80000000).EAX
  std::uint32_t Extended1Edx = 0;       // CPUID(0x80000001).EDX, 0 when absent
};

// The decision alone, on given CPUID results (testable on any processor).
[[nodiscard]] bool CpuidHasFeature(const TCpuidResults& cpuid, TCpuFeature feature) noexcept;

// Queries the running processor (HasCpuid false on non-x86 processors).
[[nodiscard]] TCpuidResults ReadCpuid() noexcept;

}  // namespace vesk::raster
