#pragma once
// The one processor test of the program. It decides which forms of the pixel
// routines the process binds (pixel_routines.h): MMX selects the vector
// result set of the blend family (without it the scalar set), SSE2 and AVX2
// the row forms that run four and eight pixels per pass.
#include <cstdint>

namespace vesk::raster {

enum class TCpuFeature : std::uint8_t {
  cfMMX = 0,
  cfSSE2 = 1,
  cfAVX2 = 2,  // the instructions and the system's saving of the 256-bit registers
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
  std::uint32_t MaxLeaf = 0;   // CPUID(0).EAX
  std::uint32_t Leaf1Eax = 0;  // CPUID(1).EAX: family in bits 8-11
  std::uint32_t Leaf1Ecx = 0;  // CPUID(1).ECX: bit 27 OSXSAVE, bit 28 AVX
  std::uint32_t Leaf1Edx = 0;  // CPUID(1).EDX: bit 23 MMX, bit 26 SSE2
  std::uint32_t Leaf7Ebx = 0;  // CPUID(7, 0).EBX: bit 5 AVX2 (0 when MaxLeaf < 7)
  std::uint64_t Xcr0 = 0;      // XGETBV(0) when OSXSAVE: bits 1 and 2, the system saves SSE and AVX state
};

// The decision alone, on given CPUID results (testable on any processor).
[[nodiscard]] bool CpuidHasFeature(const TCpuidResults& cpuid, TCpuFeature feature) noexcept;

// Queries the running processor (HasCpuid false on non-x86 processors).
[[nodiscard]] TCpuidResults ReadCpuid() noexcept;

}  // namespace vesk::raster
