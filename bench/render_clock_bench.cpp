// One face as the clock composes it once a second, text included: the hands
// turned to a new second, the text layer cleared and its four items drawn
// (each measured, drawn on white and on black, premultiplied and blended),
// the composition cleared and the face and the four layers painted into it.
// The skin is assets/face of the source tree; the fonts are the installed
// ones (the bundled fonts when their packages are there).
//
// BM_RenderClock composes a new second every iteration, over a day's worth
// of instants; BM_RenderClockHandsOnly leaves out the text (the face and the
// turned hands alone) to show what the text costs.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include "app/clock_face.h"

namespace {

using vesk::TBlendFunction;
using vesk::app::TClockFace;
using vesk::app::TLocalTime;

std::string SkinFolder() {
  return (std::filesystem::path(__FILE__).parent_path() / ".." / "assets" / "face" / "").string();
}

constexpr TBlendFunction kRunning{vesk::kBlendOpSourceOver, 0, 255, vesk::kAlphaFormatSourceAlpha};

TLocalTime Instant(int n) {
  const int s = n % 86400;
  return TLocalTime{2026, 12, 7, s / 3600, s / 60 % 60, s % 60, 0};
}

// Builds the face from the skin; a skin that does not load skips the
// benchmark with its error.
bool BuildFace(TClockFace& face, benchmark::State& state) {
  try {
    face.Build(SkinFolder());
    return true;
  } catch (const std::exception& e) {
    state.SkipWithError(e.what());
    return false;
  }
}

void BM_RenderClock(benchmark::State& state) {
  TClockFace face;
  if (!BuildFace(face, state)) return;
  int n = 37000;
  for (auto _ : state) {
    const TLocalTime t = Instant(n);
    n += 7;
    face.SetTime(t);
    face.Compose(t, kRunning);
    benchmark::DoNotOptimize(face.CompositionBitmap->Bits());
  }
}
BENCHMARK(BM_RenderClock)->Unit(benchmark::kMicrosecond);

void BM_RenderClockHandsOnly(benchmark::State& state) {
  TClockFace face;
  if (!BuildFace(face, state)) return;
  int n = 37000;
  for (auto _ : state) {
    face.SetTime(Instant(n));
    n += 7;
    face.CompositionBitmap->Clear(0);
    face.Image321->PaintTo(*face.CompositionBitmap, vesk::TRect{0, 0, face.Width(), face.Height()});
    benchmark::DoNotOptimize(face.CompositionBitmap->Bits());
  }
}
BENCHMARK(BM_RenderClockHandsOnly)->Unit(benchmark::kMicrosecond);

// Fifty seconds in a row after one warm-up face (fonts found, tables made),
// each through a function of its own, so that an instruction counter can
// attribute them and divide by 50 (bench/count_instructions.sh).
[[gnu::noinline]] void RenderOneSecond(TClockFace& face, const TLocalTime& t) {
  face.SetTime(t);
  face.Compose(t, kRunning);
}

void BM_RenderClockCount(benchmark::State& state) {
  TClockFace face;
  if (!BuildFace(face, state)) return;
  int n = 37000;
  face.SetTime(Instant(n));
  face.Compose(Instant(n), kRunning);
  for (auto _ : state) {
    n += 7;
    RenderOneSecond(face, Instant(n));
  }
}
BENCHMARK(BM_RenderClockCount)->Iterations(50);

}  // namespace
