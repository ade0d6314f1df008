// The processor test: the decision on given CPUID results, and the running
// processor.
#include <gtest/gtest.h>

#include "raster/cpu.h"

namespace vesk::raster {
namespace {

constexpr TCpuFeature kAll[] = {cfMMX, cfSSE2, cfAVX2};

// A processor of family 6 with every bit the decision reads set, and the
// system saving the vector registers.
TCpuidResults Everything() {
  TCpuidResults r;
  r.HasCpuid = true;
  r.MaxLeaf = 7;
  r.Leaf1Eax = 6u << 8;
  r.Leaf1Ecx = (1u << 27) | (1u << 28);
  r.Leaf1Edx = (1u << 23) | (1u << 26);
  r.Leaf7Ebx = 1u << 5;
  r.Xcr0 = 7;
  return r;
}

TEST(CpuFeatures, EachFeatureNeedsItsOwnBits) {
  struct Case {
    const char* what;
    void (*change)(TCpuidResults&);
    bool mmx, sse2, avx2;
  };
  const Case cases[] = {
      {"all bits", [](TCpuidResults&) {}, true, true, true},
      {"no CPUID", [](TCpuidResults& r) { r.HasCpuid = false; }, false, false, false},
      {"family 4", [](TCpuidResults& r) { r.Leaf1Eax = 0x4FFu | (4u << 8) | 0xFF000u; }, false, false, false},
      {"family 15", [](TCpuidResults& r) { r.Leaf1Eax = 15u << 8; }, true, true, true},
      {"no MMX bit", [](TCpuidResults& r) { r.Leaf1Edx &= ~(1u << 23); }, false, true, true},
      {"no SSE2 bit", [](TCpuidResults& r) { r.Leaf1Edx &= ~(1u << 26); }, true, false, true},
      {"no leaf 7", [](TCpuidResults& r) { r.MaxLeaf = 6; }, true, true, false},
      {"no AVX2 bit", [](TCpuidResults& r) { r.Leaf7Ebx = 0; }, true, true, false},
      {"no OSXSAVE", [](TCpuidResults& r) { r.Leaf1Ecx &= ~(1u << 27); }, true, true, false},
      {"no AVX", [](TCpuidResults& r) { r.Leaf1Ecx &= ~(1u << 28); }, true, true, false},
      {"system keeps no AVX state", [](TCpuidResults& r) { r.Xcr0 = 3; }, true, true, false},
  };
  for (const Case& c : cases) {
    TCpuidResults r = Everything();
    c.change(r);
    EXPECT_EQ(CpuidHasFeature(r, cfMMX), c.mmx) << c.what;
    EXPECT_EQ(CpuidHasFeature(r, cfSSE2), c.sse2) << c.what;
    EXPECT_EQ(CpuidHasFeature(r, cfAVX2), c.avx2) << c.what;
  }
}

TEST(CpuFeatures, RunningProcessor) {
#if defined(__x86_64__)
  // Every x86-64 processor has CPUID, MMX and SSE2.
  const TCpuidResults r = ReadCpuid();
  EXPECT_TRUE(r.HasCpuid);
  EXPECT_GE((r.Leaf1Eax >> 8) & 0xFu, 5u);
  EXPECT_TRUE(CpuHasFeature(cfMMX));
  EXPECT_TRUE(CpuHasFeature(cfSSE2));
  for (TCpuFeature f : kAll) EXPECT_EQ(CpuHasFeature(f), CpuidHasFeature(r, f));
#elif !defined(__i386__)
  for (TCpuFeature f : kAll) EXPECT_FALSE(CpuHasFeature(f));
#endif
}

}  // namespace
}  // namespace vesk::raster
