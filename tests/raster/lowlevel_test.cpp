// Filling and copying runs of words: both bindings of each, every short
// length at both 8-byte alignments, guards around the run, overlap.
#include <gtest/gtest.h>

#include <numeric>
#include <vector>

#include "raster/cpu.h"
#include "raster/lowlevel.h"

namespace vesk::raster {
namespace {

constexpr TColor32 kGuard = 0xDEADBEEFu;

struct FillCase {
  const char* name;
  TFillLongword fill;
};
struct MoveCase {
  const char* name;
  TMoveLongword move;
};

const FillCase kFills[] = {{"portable", &lowlevel::FillLongwordPortable},
                           {"wide", &lowlevel::FillLongwordWide},
                           {"bound", nullptr}};
const MoveCase kMoves[] = {{"portable", &lowlevel::MoveLongwordPortable},
                           {"wide", &lowlevel::MoveLongwordWide},
                           {"bound", nullptr}};

TFillLongword Fill(const FillCase& c) { return c.fill ? c.fill : FillLongword; }
TMoveLongword Move(const MoveCase& c) { return c.move ? c.move : MoveLongword; }

TEST(Lowlevel, FillWritesExactlyCountWords) {
  alignas(8) TColor32 buf[40];
  for (const FillCase& c : kFills) {
    // Mixed bytes, and values of four equal bytes (a byte fill).
    for (TColor32 value : {0x01020304u, 0u, 0xFFFFFFFFu, 0x7F7F7F7Fu}) {
      for (int offset = 0; offset < 2; ++offset) {  // 8-byte aligned and not
        for (int count = -2; count <= 33; ++count) {
          std::fill(std::begin(buf), std::end(buf), kGuard);
          Fill(c)(buf + 1 + offset, count, value);
          for (int i = 0; i < 40; ++i) {
            const bool inside = i >= 1 + offset && i < 1 + offset + count;
            ASSERT_EQ(buf[i], inside ? value : kGuard)
                << c.name << " value=" << value << " offset=" << offset << " count=" << count << " i=" << i;
          }
        }
      }
    }
  }
}

TEST(Lowlevel, BindingFollowsTheProcessor) {
  EXPECT_EQ(PixelRoutines().Fill, CpuHasFeature(cfMMX) ? &lowlevel::FillLongwordWide : &lowlevel::FillLongwordPortable);
  EXPECT_EQ(PixelRoutines().Move, CpuHasFeature(cfMMX) ? &lowlevel::MoveLongwordWide : &lowlevel::MoveLongwordPortable);
}

TEST(Lowlevel, MoveCopiesExactlyCountWords) {
  std::vector<TColor32> src(40), dst(40);
  std::iota(src.begin(), src.end(), 0x100u);
  for (const MoveCase& c : kMoves) {
    for (int count = -1; count <= 33; ++count) {
      std::fill(dst.begin(), dst.end(), kGuard);
      Move(c)(src.data() + 2, dst.data() + 3, count);
      for (int i = 0; i < 40; ++i) {
        const bool inside = i >= 3 && i < 3 + count;
        ASSERT_EQ(dst[i], inside ? src[i - 1] : kGuard) << c.name << " count=" << count << " i=" << i;
      }
    }
  }
}

TEST(Lowlevel, MoveHandlesOverlapAndSameAddress) {
  for (const MoveCase& c : kMoves) {
    for (int shift : {-5, -1, 1, 3, 7}) {
      std::vector<TColor32> buf(64), want(64);
      std::iota(buf.begin(), buf.end(), 1u);
      want = buf;
      const int from = 20, count = 17;
      // The expected result: as if copied through a temporary buffer.
      const std::vector<TColor32> tmp(buf.begin() + from, buf.begin() + from + count);
      std::copy(tmp.begin(), tmp.end(), want.begin() + from + shift);
      Move(c)(buf.data() + from, buf.data() + from + shift, count);
      EXPECT_EQ(buf, want) << c.name << " shift=" << shift;
    }
    std::vector<TColor32> same(8, 7u);
    Move(c)(same.data(), same.data(), 8);
    EXPECT_EQ(same, std::vector<TColor32>(8, 7u)) << c.name;
  }
}

}  // namespace
}  // namespace vesk::raster
