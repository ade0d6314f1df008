#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "platform/alpha_blend_math.h"
#include "platform/platform_bitmap.h"
#include "platform/surface.h"
#include "platform/sys_color.h"

namespace vesk::platform {
namespace {

std::string Hex(std::uint32_t c) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(c));
  return text;
}

std::uint32_t& At(Surface& s, int x, int y) { return s.Bits()[y * s.Width() + x]; }

TEST(Surface, SizeIsCheckedBeforeAllocation) {
  for (auto [w, h] : {std::pair{0, 5}, std::pair{5, -1}, std::pair{65536, 65536}, std::pair{2147483647, 2},
                      std::pair{2147483647, 2147483647}}) {
    try {
      auto s = CreateSurface(w, h);
      ADD_FAILURE() << w << "x" << h;
    } catch (const SurfaceError& e) {
      EXPECT_STREQ(e.what(), "Can't allocate the DIB handle");
    }
  }
  EXPECT_TRUE(SurfaceSizeValid(1, 1));
  EXPECT_TRUE(SurfaceSizeValid(16384, 4096));  // exactly 256 MiB
  EXPECT_FALSE(SurfaceSizeValid(16384, 4097));
}

TEST(Surface, PixelsAreTopDownAndSharedWithTheSystem) {
  auto s = CreateSurface(5, 4);
  ASSERT_NE(s->Bits(), nullptr);
  ASSERT_NE(s->Handle(), nullptr);
  ASSERT_NE(s->BitmapHandle(), nullptr);
  EXPECT_EQ(s->Width(), 5);
  EXPECT_EQ(s->Height(), 4);
  for (int i = 0; i < 20; ++i) s->Bits()[i] = 0xFF000000u;
  // A system fill of GDI colour 0x00332211 (red 0x11) over rows 1..2,
  // columns 1..3 lands in memory rows 1..2 (top-down) as 0x00112233:
  // red and blue swap, alpha 0.
  s->FillRect(1, 1, 4, 3, 0x00332211);
  s->Flush();
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 5; ++x) {
      const bool inside = x >= 1 && x < 4 && y >= 1 && y < 3;
      EXPECT_EQ(Hex(At(*s, x, y)), Hex(inside ? 0x00112233u : 0xFF000000u)) << x << "," << y;
    }
  }
  // Clipped to the surface.
  s->FillRect(-5, -5, 50, 1, 0x000000FF);
  s->Flush();
  EXPECT_EQ(Hex(At(*s, 4, 0)), Hex(0x00FF0000u));
  EXPECT_EQ(Hex(At(*s, 4, 1)), Hex(0xFF000000u));
}

TEST(Surface, SystemColours) {
  EXPECT_EQ(ResolveGdiColor(kClWindowText), GetSysColor(kColorWindowText) & 0xFFFFFFu);
  EXPECT_EQ(ResolveGdiColor(0x7F123456), 0x123456u);
  EXPECT_EQ(GetSysColor(5) & 0xFFFFFFu, ResolveGdiColor(static_cast<std::int32_t>(0x80000005u)));
}

// The constant-alpha source-over in plain floating point:
// out = S * k + D * (1 - S.a * k / 255), k = SourceConstantAlpha / 255.
double PlainOver(std::uint32_t s, std::uint32_t d, std::uint32_t ka, int shift) {
  const double k = ka / 255.0;
  const double sa = (s >> 24) / 255.0;
  return ((s >> shift) & 0xFF) * k + ((d >> shift) & 0xFF) * (1.0 - sa * k);
}

struct BlendRow {
  std::uint32_t s, d, k, want;
};

// Worked examples: the exact integer results (the system's own AlphaBlend
// may differ by one in a channel).
constexpr BlendRow kBlendRows[] = {
    {0x80404040u, 0xFFFFFFFFu, 255, 0xFFBFBFBFu}, {0x80404040u, 0x280A141Eu, 255, 0x94454A4Fu},
    {0x80404040u, 0x00808080u, 255, 0x80808080u}, {0xFFC82828u, 0xFFFFFFFFu, 128, 0xFFE39393u},
    {0x00000000u, 0x12345678u, 255, 0x12345678u}, {0xFF102030u, 0x12345678u, 255, 0xFF102030u},
    {0xFF102030u, 0x12345678u, 0, 0x12345678u},
};

bool WithinOne(std::uint32_t a, std::uint32_t b) {
  for (int shift = 0; shift < 32; shift += 8) {
    const int x = static_cast<int>((a >> shift) & 0xFF), y = static_cast<int>((b >> shift) & 0xFF);
    if (std::abs(x - y) > 1) return false;
  }
  return true;
}

TEST(Surface, AlphaBlendWorkedExamples) {
  auto src = CreateSurface(1, 1);
  auto dst = CreateSurface(1, 1);
  for (const BlendRow& r : kBlendRows) {
    EXPECT_EQ(Hex(SourceOverConstant(r.s, r.d, r.k, true)), Hex(r.want)) << Hex(r.s) << " over " << Hex(r.d);
    At(*src, 0, 0) = r.s;
    At(*dst, 0, 0) = r.d;
    ASSERT_TRUE(dst->AlphaBlend(0, 0, 1, 1, *src, 0, 0, TBlendFunction{0, 0, static_cast<std::uint8_t>(r.k), 1}));
    dst->Flush();
    EXPECT_TRUE(WithinOne(At(*dst, 0, 0), r.want))
        << Hex(r.s) << " over " << Hex(r.d) << " k " << r.k << ": " << Hex(At(*dst, 0, 0));
  }
}

// Premultiplied sources, every k step of 17, against the plain formula. The
// soft blend rounds the exact value once. The system's rounds S.c * k / 255,
// S.a * k / 255 and the destination term one after the other, so it can be
// up to 1.5 off.
#ifdef _WIN32
constexpr double kBlendTolerance = 1.5;
#else
constexpr double kBlendTolerance = 0.5;
#endif

TEST(Surface, AlphaBlendSweepAgainstPlainFormula) {
  constexpr int kW = 64, kH = 64;
  auto src = CreateSurface(kW, kH);
  auto dst = CreateSurface(kW, kH);
  std::uint32_t seed = 0x9E3779B9u;
  auto next = [&] {
    seed ^= seed << 13;
    seed ^= seed >> 17;
    seed ^= seed << 5;
    return seed;
  };
  for (std::uint32_t k = 0; k <= 255; k += 17) {
    for (int i = 0; i < kW * kH; ++i) {
      const std::uint32_t a = next() & 0xFF, r = next() % (a + 1), g = next() % (a + 1), b = next() % (a + 1);
      src->Bits()[i] = (a << 24) | (r << 16) | (g << 8) | b;
      dst->Bits()[i] = next();
    }
    std::vector<std::uint32_t> before(dst->Bits(), dst->Bits() + kW * kH);
    ASSERT_TRUE(dst->AlphaBlend(0, 0, kW, kH, *src, 0, 0, TBlendFunction{0, 0, static_cast<std::uint8_t>(k), 1}));
    dst->Flush();
    double worst = 0.0;
    for (int i = 0; i < kW * kH; ++i) {
      for (int shift = 0; shift < 32; shift += 8) {
        const double want = PlainOver(src->Bits()[i], before[i], k, shift);
        const double got = (dst->Bits()[i] >> shift) & 0xFF;
        worst = std::max(worst, std::abs(got - want));
      }
    }
    EXPECT_LE(worst, kBlendTolerance + 1e-9) << "k " << k;
  }
}

TEST(Surface, AlphaBlendRejectsAndClips) {
  auto src = CreateSurface(2, 2);
  auto dst = CreateSurface(3, 3);
  for (int i = 0; i < 4; ++i) src->Bits()[i] = 0xFF0000FFu;
  for (int i = 0; i < 9; ++i) dst->Bits()[i] = 0xFF00FF00u;
  // Source rectangle outside the source: refused, nothing drawn.
  EXPECT_FALSE(dst->AlphaBlend(0, 0, 2, 2, *src, 1, 1, TBlendFunction{}));
  EXPECT_FALSE(dst->AlphaBlend(0, 0, 2, 2, *src, 0, 0, TBlendFunction{1, 0, 255, 1}));
  dst->Flush();
  for (int i = 0; i < 9; ++i) EXPECT_EQ(Hex(dst->Bits()[i]), Hex(0xFF00FF00u));
  // Partly outside the destination: the visible part is drawn.
  EXPECT_TRUE(dst->AlphaBlend(2, -1, 2, 2, *src, 0, 0, TBlendFunction{}));
  dst->Flush();
  EXPECT_EQ(Hex(At(*dst, 2, 0)), Hex(0xFF0000FFu));
  EXPECT_EQ(Hex(At(*dst, 1, 0)), Hex(0xFF00FF00u));
  EXPECT_EQ(Hex(At(*dst, 2, 1)), Hex(0xFF00FF00u));
}

void PutPixel(const PlatformBitmap& pb, int x, int y, std::uint32_t argb) {
  const int bpp = pb.Format() == PixelFormat::pf32bit ? 4 : 3;
  std::uint8_t* p = pb.ScanLine(y) + x * bpp;
  for (int i = 0; i < bpp; ++i) p[i] = static_cast<std::uint8_t>(argb >> (8 * i));
}

TEST(PlatformBitmap, CopiesRowsIntoASurface) {
  for (PixelFormat format : {PixelFormat::pf32bit, PixelFormat::pf24bit}) {
    auto pb = CreatePlatformBitmap(3, 2, format);
    EXPECT_EQ(pb->Width(), 3);
    ASSERT_NE(pb->Handle(), nullptr);
    for (int y = 0; y < 2; ++y)
      for (int x = 0; x < 3; ++x) PutPixel(*pb, x, y, 0x11000000u * (x + 1) + 0x010203u * (y * 3 + x + 1));
    auto s = CreateSurface(3, 2);
    pb->CopyTo(*s);
    for (int y = 0; y < 2; ++y) {
      for (int x = 0; x < 3; ++x) {
        const std::uint32_t want = 0x11000000u * (x + 1) + 0x010203u * (y * 3 + x + 1);
        const std::uint32_t got = At(*s, x, y);
        if (format == PixelFormat::pf32bit) {
          EXPECT_EQ(Hex(got), Hex(want)) << x << "," << y;
        } else {
          EXPECT_EQ(Hex(got & 0xFFFFFFu), Hex(want & 0xFFFFFFu)) << x << "," << y;
        }
      }
    }
  }
}

}  // namespace
}  // namespace vesk::platform
