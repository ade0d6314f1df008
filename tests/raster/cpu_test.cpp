// The processor test: the decision on given CPUID results, and the running
// processor.
#include <gtest/gtest.h>

#include "raster/cpu.h"

namespace vesk::raster {
namespace {

constexpr TCpuFeature kAll[] = {cfMMX, cfExMMX, cfSSE, cfSSE2, cf3DNow, cf3DNowExt};

TCpuidResults Pentium(std::uint32_t edx, std::uint32_t family = 6) {
  TCpuidResults r;
  r.HasCpuid = true;
  r.Leaf1Eax = family << 8;
  r.Leaf1Edx = edx;
  return r;
}

TEST(CpuFeatures, NothingWithoutCpuidOrBelowFamilyFive) {
  TCpuidResults none = Pentium(0xFFFFFFFFu);
  none.HasCpuid = false;
  none.MaxExtendedLeaf = 0x80000008u;
  none.Extended1Edx = 0xFFFFFFFFu;
  TCpuidResults old = none;
  old.HasCpuid = true;
  old.Leaf1Eax = 0x4FFu | (4u << 8) | 0xFF000u;  // family 4, other fields set
  for (TCpuFeature f : kAll) {
    EXPECT_FALSE(CpuidHasFeature(none, f)) << static_cast<int>(f);
    EXPECT_FALSE(CpuidHasFeature(old, f)) << static_cast<int>(f);
  }
  // Family 15 (extended family processors report 0xF here) counts.
  EXPECT_TRUE(CpuidHasFeature(Pentium(1u << 23, 15), cfMMX));
}

TEST(CpuFeatures, StandardLeafBits) {
  EXPECT_TRUE(CpuidHasFeature(Pentium(1u << 23), cfMMX));
  EXPECT_FALSE(CpuidHasFeature(Pentium(~(1u << 23)), cfMMX));
  EXPECT_TRUE(CpuidHasFeature(Pentium(1u << 25), cfSSE));
  EXPECT_TRUE(CpuidHasFeature(Pentium(1u << 25), cfExMMX));  // SSE implies it
  EXPECT_FALSE(CpuidHasFeature(Pentium(1u << 25), cfSSE2));
  EXPECT_TRUE(CpuidHasFeature(Pentium(1u << 26), cfSSE2));
  EXPECT_FALSE(CpuidHasFeature(Pentium(1u << 26), cfSSE));
}

TEST(CpuFeatures, ExtendedLeafBitsOnlyWhenTheLeafExists) {
  TCpuidResults amd = Pentium(1u << 23);
  amd.Extended1Edx = (1u << 22) | (1u << 30) | (1u << 31);
  amd.MaxExtendedLeaf = 0x80000000u;  // no leaf above 0x80000000
  EXPECT_FALSE(CpuidHasFeature(amd, cfExMMX));
  EXPECT_FALSE(CpuidHasFeature(amd, cf3DNow));
  EXPECT_FALSE(CpuidHasFeature(amd, cf3DNowExt));
  amd.MaxExtendedLeaf = 0x80000001u;
  EXPECT_TRUE(CpuidHasFeature(amd, cfExMMX));
  EXPECT_TRUE(CpuidHasFeature(amd, cf3DNow));
  EXPECT_TRUE(CpuidHasFeature(amd, cf3DNowExt));
  EXPECT_FALSE(CpuidHasFeature(amd, cfSSE));
  amd.Extended1Edx = 1u << 31;
  EXPECT_FALSE(CpuidHasFeature(amd, cf3DNowExt));
  EXPECT_FALSE(CpuidHasFeature(amd, cfExMMX));
}

TEST(CpuFeatures, RunningProcessor) {
#if defined(__x86_64__)
  // Every x86-64 processor has CPUID, MMX, SSE and SSE2.
  const TCpuidResults r = ReadCpuid();
  EXPECT_TRUE(r.HasCpuid);
  EXPECT_GE((r.Leaf1Eax >> 8) & 0xFu, 5u);
  EXPECT_TRUE(CpuHasFeature(cfMMX));
  EXPECT_TRUE(CpuHasFeature(cfExMMX));
  EXPECT_TRUE(CpuHasFeature(cfSSE));
  EXPECT_TRUE(CpuHasFeature(cfSSE2));
  for (TCpuFeature f : kAll) EXPECT_EQ(CpuHasFeature(f), CpuidHasFeature(r, f));
#elif !defined(__i386__)
  for (TCpuFeature f : kAll) EXPECT_FALSE(CpuHasFeature(f));
#endif
}

}  // namespace
}  // namespace vesk::raster
