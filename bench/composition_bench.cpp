// One whole clock frame, as the clock composes it once a second: a 150 x 150
// face blended into a cleared bitmap, a face-sized translucent text layer,
// and three hands (8 x 50, 5 x 58, 7 x 72) turned about their pivots onto
// the centre (75, 75) with the Lanczos kernel resampler and merged. The face
// and the hands are the skin images of assets/face when the source tree is
// at hand (synthetic look-alikes otherwise). The same
// frame is composed by pixman in the same program (when the build found it):
// each hand through an affine transform with a separable-convolution
// Lanczos-3 filter (8 sub-pixel bits) and OVER, composited only over its
// transformed bounds. pixman samples at pixel centres, half a pixel from this
// engine's convention, so its pivots and positions are shifted by 0.5.
//
// BM_CompositionOurs and BM_CompositionPixman time each side per frame;
// BM_CompositionRatio runs both alternately and reports both times and
// pixman / ours.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "imaging/png_decoder.h"
#include "raster/bitmap32.h"
#include "raster/image32.h"
#include "raster/kernel_resampler.h"
#include "raster/layer_collection.h"
#include "raster/paint_stages.h"
#include "raster/rot_layer.h"

#if defined(VESK_HAVE_PIXMAN)
#include <pixman.h>
#endif

namespace {

using namespace vesk;
using namespace vesk::raster;

constexpr int kSide = 150;
constexpr float kCentre = 75.0f;

// Premultiplied pixel from a coverage/alpha in [0, 1] and straight colour.
TColor32 Premul(double a, std::uint32_t r, std::uint32_t g, std::uint32_t b) {
  const auto alpha = static_cast<std::uint32_t>(std::clamp(a, 0.0, 1.0) * 255.0 + 0.5);
  return Color32Argb(alpha, r * alpha / 255, g * alpha / 255, b * alpha / 255);
}

void FillFace(TBitmap32& bmp) {
  bmp.SetSize(kSide, kSide);
  for (int y = 0; y < kSide; ++y) {
    for (int x = 0; x < kSide; ++x) {
      const double d = std::hypot(x + 0.5 - 75.0, y + 0.5 - 75.0);
      const auto shade = static_cast<std::uint32_t>(120 + (x + y) % 100);
      TColor32 p = Premul(72.5 - d, shade, shade - 20, 90);
      if (d < 30.0) p = Premul(0.4, 200, 220, 255);
      bmp.SetPixel(x, y, p);
    }
  }
}

// Where FillText draws.
constexpr TRect kTextArea{40, 40, 110, 108};

// Text-like blobs of translucent white over a transparent layer.
void FillText(TBitmap32& bmp) {
  bmp.SetSize(kSide, kSide);
  bmp.Clear(0);
  for (int y = 0; y < kSide; ++y) {
    for (int x = 0; x < kSide; ++x) {
      const bool band = (y >= 95 && y < 108 && x >= 40 && x < 110) || (y >= 40 && y < 48 && x >= 55 && x < 95);
      if (band && ((x * 7 + y * 3) % 11) < 6) bmp.SetPixel(x, y, Premul(0.8, 255, 255, 255));
    }
  }
}

// A tapered bar: opaque core, soft sides, transparent margin.
void FillHand(TBitmap32& bmp, int w, int h, std::uint32_t grey) {
  bmp.SetSize(w, h);
  for (int y = 0; y < h; ++y) {
    const double half = (w / 2.0 - 1.0) * (0.5 + 0.5 * y / h);
    for (int x = 0; x < w; ++x) {
      const double cover = half + 0.5 - std::fabs(x + 0.5 - w / 2.0);
      bmp.SetPixel(x, y, (y < 2 || y >= h - 1) ? 0 : Premul(cover, grey, grey, grey + 20));
    }
  }
}

// The clock's own skin image when the source tree has it (assets/face beside
// this folder), else false.
bool LoadAsset(TBitmap32& bmp, const char* name) {
  const std::filesystem::path path = std::filesystem::path(__FILE__).parent_path() / ".." / "assets" / "face" / name;
  std::ifstream file(path, std::ios::binary);
  if (!file) return false;
  const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  try {
    const vesk::imaging::SkinImage image = vesk::imaging::DecodeSkinPng(bytes);
    bmp.SetSize(image.Width, image.Height);
    for (int y = 0; y < image.Height; ++y) {
      for (int x = 0; x < image.Width; ++x)
        bmp.SetPixel(x, y, image.Pixels[static_cast<std::size_t>(y) * image.Width + x]);
    }
    return true;
  } catch (const vesk::Exception&) {
    return false;
  }
}

struct THandSpec {
  const char* file;
  int w, h;
  float cx, cy;
  std::uint32_t grey;
};
constexpr std::array<THandSpec, 3> kHands = {{{"hours.png", 8, 50, 4.0f, 42.5f, 40},
                                              {"minutes.png", 5, 58, 2.5f, 51.0f, 60},
                                              {"seconds.png", 7, 72, 3.5f, 61.0f, 200}}};

// Angle sets (hour, minute, second) in the layers' convention: minus the
// clockwise angle in degrees. Sets 1, 2, 3 and 4 turn no hand to a quarter
// turn (3 and 4 are the instants 04:47:13 and 07:22:51).
constexpr std::array<std::array<float, 3>, 5> kAngleSets = {{
    {-405.0f, -180.0f, -270.0f},  // whole quarter turns (and one eighth)
    {-304.0f, -51.7f, -222.0f},   // 10:08:37
    {-123.4f, -217.9f, -301.7f},  // nothing round
    {-143.5f, -283.3f, -78.0f},   // 04:47:13
    {-221.0f, -137.1f, -306.0f},  // 07:22:51
}};
constexpr int kLastAngleSet = static_cast<int>(kAngleSets.size()) - 1;

class TOurFrame {
 public:
  TOurFrame() {
    image_.Bitmap().SetCombineMode(cmMerge);
    if (!LoadAsset(image_.Bitmap(), "clockface.png")) FillFace(image_.Bitmap());
    image_.Bitmap().SetDrawMode(dmBlend);
    image_.Bitmap().SetCombineMode(cmBlend);
    text_ = image_.Layers().Add<TRotLayer>();
    FillText(text_->Bitmap());
    // As the clock does it: the text layer's clip rectangle is where text
    // was drawn (the rest is transparent), so only those rows are walked.
    text_->Bitmap().SetClipRect(kTextArea);
    text_->Bitmap().SetDrawMode(dmBlend);
    text_->Bitmap().SetCombineMode(cmMerge);
    for (std::size_t i = 0; i < kHands.size(); ++i) {
      TRotLayer* hand = image_.Layers().Add<TRotLayer>();
      if (!LoadAsset(hand->Bitmap(), kHands[i].file))
        FillHand(hand->Bitmap(), kHands[i].w, kHands[i].h, kHands[i].grey);
      hand->Bitmap().SetDrawMode(dmBlend);
      hand->Bitmap().SetCombineMode(cmMerge);
      TKernelResampler::Create(hand->Bitmap())->SetKernel(std::make_unique<TLanczosKernel>());
      hand->SetBitmapCenter(TFloatPoint{kHands[i].cx, kHands[i].cy});
      hand->SetPosition(TFloatPoint{kCentre, kCentre});
      hands_[i] = hand;
    }
    image_.PaintStages().Delete(3);
    image_.PaintStages().Delete(1);
    image_.PaintStages().Delete(0);
    composition_.SetSize(kSide, kSide);
  }

  void Compose(const std::array<float, 3>& angles) {
    for (std::size_t i = 0; i < 3; ++i) hands_[i]->SetAngle(angles[i]);
    text_->SetScaled(true);
    composition_.Clear(0);
    image_.PaintTo(composition_, TRect{0, 0, kSide, kSide});
  }

  // Hides the hands (the layers stay), for timing the face and the text alone.
  void ShowHands(bool visible) {
    for (TRotLayer* hand : hands_) hand->SetVisible(visible);
  }

  [[nodiscard]] const TBitmap32& Composition() const { return composition_; }
  [[nodiscard]] TBitmap32& Composition() { return composition_; }
  [[nodiscard]] TRotLayer& TextLayer() { return *text_; }
  [[nodiscard]] TRotLayer& Hand(int i) { return *hands_[static_cast<std::size_t>(i)]; }
  [[nodiscard]] TBitmap32& Face() { return image_.Bitmap(); }
  [[nodiscard]] TBitmap32& Text() { return text_->Bitmap(); }

 private:
  TImage32 image_;
  TRotLayer* text_ = nullptr;
  std::array<TRotLayer*, 3> hands_{};
  TBitmap32 composition_;
};

#if defined(VESK_HAVE_PIXMAN)

pixman_image_t* Wrap(const TBitmap32& bmp) {
  return pixman_image_create_bits(PIXMAN_a8r8g8b8, bmp.Width(), bmp.Height(), bmp.Bits(), bmp.Width() * 4);
}

class TPixmanFrame {
 public:
  explicit TPixmanFrame(TOurFrame& source) : dest_(kSide * kSide) {
    dst_ = pixman_image_create_bits(PIXMAN_a8r8g8b8, kSide, kSide, dest_.data(), kSide * 4);
    face_ = Wrap(source.Face());
    text_ = Wrap(source.Text());
    int n = 0;
    pixman_fixed_t* params = pixman_filter_create_separable_convolution(
        &n, pixman_double_to_fixed(1.0), pixman_double_to_fixed(1.0), PIXMAN_KERNEL_LANCZOS3, PIXMAN_KERNEL_LANCZOS3,
        PIXMAN_KERNEL_IMPULSE, PIXMAN_KERNEL_IMPULSE, 8, 8);
    for (int i = 0; i < 3; ++i) {
      hands_[i] = Wrap(source.Hand(i).Bitmap());
      pixman_image_set_filter(hands_[i], PIXMAN_FILTER_SEPARABLE_CONVOLUTION, params, n);
      pixman_image_set_repeat(hands_[i], PIXMAN_REPEAT_NONE);
    }
    free(params);
  }
  ~TPixmanFrame() {
    for (pixman_image_t* h : hands_) pixman_image_unref(h);
    pixman_image_unref(text_);
    pixman_image_unref(face_);
    pixman_image_unref(dst_);
  }

  // bounds: the transformed bounds of each hand (the same rectangles the
  // engine walks).
  // The composed frame, 150 x 150 premultiplied pixels.
  [[nodiscard]] const std::uint32_t* Dest() const { return dest_.data(); }

  // The steps of Compose one by one, for timing them apart.
  void Clear() { std::fill(dest_.begin(), dest_.end(), 0u); }
  void Face() { pixman_image_composite32(PIXMAN_OP_OVER, face_, nullptr, dst_, 0, 0, 0, 0, 0, 0, kSide, kSide); }
  void Text() { pixman_image_composite32(PIXMAN_OP_OVER, text_, nullptr, dst_, 0, 0, 0, 0, 0, 0, kSide, kSide); }
  void Hands(const std::array<float, 3>& angles, const std::array<TRect, 3>& bounds) {
    for (int i = 0; i < 3; ++i) ComposeHand(i, angles, bounds);
  }

  void Compose(const std::array<float, 3>& angles, const std::array<TRect, 3>& bounds, bool hands = true) {
    std::fill(dest_.begin(), dest_.end(), 0u);
    pixman_image_composite32(PIXMAN_OP_OVER, face_, nullptr, dst_, 0, 0, 0, 0, 0, 0, kSide, kSide);
    pixman_image_composite32(PIXMAN_OP_OVER, text_, nullptr, dst_, 0, 0, 0, 0, 0, 0, kSide, kSide);
    for (int i = 0; i < (hands ? 3 : 0); ++i) ComposeHand(i, angles, bounds);
  }

 private:
  void ComposeHand(int i, const std::array<float, 3>& angles, const std::array<TRect, 3>& bounds) {
    // Target -> source: p = c + R^-1 (q - P), in pixel-centre coordinates.
    const double a = angles[static_cast<std::size_t>(i)] * 3.14159265358979323846 / 180.0;
    const double ca = std::cos(a), sa = std::sin(a);
    const double cx = kHands[static_cast<std::size_t>(i)].cx + 0.5, cy = kHands[static_cast<std::size_t>(i)].cy + 0.5;
    const double px = kCentre + 0.5, py = kCentre + 0.5;
    pixman_transform_t t;
    pixman_transform_init_identity(&t);
    t.matrix[0][0] = pixman_double_to_fixed(ca);
    t.matrix[0][1] = pixman_double_to_fixed(-sa);
    t.matrix[0][2] = pixman_double_to_fixed(cx - ca * px + sa * py);
    t.matrix[1][0] = pixman_double_to_fixed(sa);
    t.matrix[1][1] = pixman_double_to_fixed(ca);
    t.matrix[1][2] = pixman_double_to_fixed(cy - sa * px - ca * py);
    pixman_image_set_transform(hands_[i], &t);
    const TRect& r = bounds[static_cast<std::size_t>(i)];
    pixman_image_composite32(PIXMAN_OP_OVER, hands_[i], nullptr, dst_, r.Left, r.Top, 0, 0, r.Left, r.Top,
                             r.Right - r.Left, r.Bottom - r.Top);
  }

 private:
  std::vector<std::uint32_t> dest_;
  pixman_image_t* dst_ = nullptr;
  pixman_image_t* face_ = nullptr;
  pixman_image_t* text_ = nullptr;
  pixman_image_t* hands_[3] = {};
};

std::array<TRect, 3> HandBounds(TOurFrame& frame, const std::array<float, 3>& angles) {
  std::array<TRect, 3> r;
  for (int i = 0; i < 3; ++i) {
    TRotLayer& hand = frame.Hand(i);
    hand.SetAngle(angles[static_cast<std::size_t>(i)]);
    hand.AdjustTransformation();
    r[static_cast<std::size_t>(i)] =
        IntersectRect(hand.Transformation().GetTransformedBounds(), TRect{0, 0, kSide, kSide});
  }
  return r;
}

#endif

void BM_CompositionOurs(benchmark::State& state) {
  TOurFrame frame;
  const auto& angles = kAngleSets[static_cast<std::size_t>(state.range(0))];
  for (auto _ : state) {
    frame.Compose(angles);
    benchmark::DoNotOptimize(frame.Composition().Bits());
  }
}
BENCHMARK(BM_CompositionOurs)->DenseRange(0, kLastAngleSet)->Unit(benchmark::kMicrosecond);

#if defined(VESK_HAVE_PIXMAN)

void BM_CompositionPixman(benchmark::State& state) {
  TOurFrame source;
  TPixmanFrame frame(source);
  const auto& angles = kAngleSets[static_cast<std::size_t>(state.range(0))];
  const auto bounds = HandBounds(source, angles);
  for (auto _ : state) frame.Compose(angles, bounds);
}
BENCHMARK(BM_CompositionPixman)->DenseRange(0, kLastAngleSet)->Unit(benchmark::kMicrosecond);

// Processor time of this thread, in microseconds: the machine may be busy
// with other work, which wall-clock time would count.
double ThreadMicroseconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) * 1e6 + static_cast<double>(t.tv_nsec) / 1e3;
}

// Both sides alternately in one loop, so they see the same machine state;
// reports processor microseconds per frame of each and pixman / ours.
void BM_CompositionRatio(benchmark::State& state) {
  TOurFrame ours;
  TOurFrame source;
  TPixmanFrame theirs(source);
  const auto& angles = kAngleSets[static_cast<std::size_t>(state.range(0))];
  const auto bounds = HandBounds(source, angles);
  double ours_us = 0.0;
  double theirs_us = 0.0;
  for (auto _ : state) {
    const double t0 = ThreadMicroseconds();
    ours.Compose(angles);
    const double t1 = ThreadMicroseconds();
    theirs.Compose(angles, bounds);
    const double t2 = ThreadMicroseconds();
    ours_us += t1 - t0;
    theirs_us += t2 - t1;
  }
  const double n = static_cast<double>(state.iterations());
  ours_us /= n;
  theirs_us /= n;
  state.counters["ours_us"] = ours_us;
  state.counters["pixman_us"] = theirs_us;
  state.counters["pixman_over_ours"] = theirs_us / ours_us;
}
BENCHMARK(BM_CompositionRatio)->DenseRange(0, kLastAngleSet)->Unit(benchmark::kMicrosecond);

#endif

#if defined(VESK_HAVE_PIXMAN)
// The frame without hands: clearing, the face and the text layer only.
void BM_FaceAndTextRatio(benchmark::State& state) {
  TOurFrame ours;
  ours.ShowHands(false);
  TOurFrame source;
  TPixmanFrame theirs(source);
  const auto& angles = kAngleSets[0];
  const auto bounds = HandBounds(source, angles);
  double ours_us = 0.0;
  double theirs_us = 0.0;
  for (auto _ : state) {
    const double t0 = ThreadMicroseconds();
    ours.Compose(angles);
    const double t1 = ThreadMicroseconds();
    theirs.Compose(angles, bounds, false);
    const double t2 = ThreadMicroseconds();
    ours_us += t1 - t0;
    theirs_us += t2 - t1;
  }
  const double n = static_cast<double>(state.iterations());
  state.counters["ours_us"] = ours_us / n;
  state.counters["pixman_us"] = theirs_us / n;
}
BENCHMARK(BM_FaceAndTextRatio)->Unit(benchmark::kMicrosecond);
#endif

#if defined(VESK_HAVE_PIXMAN)
// The frame step by step, both sides in the same iteration (each first
// every other time): clearing, the face, the text layer, the three hands. Every step is timed on the
// monotonic clock (a processor-time reading costs more than the short steps
// themselves) and reported as the median over the iterations, so a step
// that the loaded machine happened to interrupt does not count. The text
// layer is painted without following the viewport: inside PaintTo the
// viewport is scale 1 and shift 0, the same identity.
// The steps are functions of their own so that an instruction counter can
// attribute them (bench/count_instructions.sh).
[[gnu::noinline]] void StepOursClear(TOurFrame& f) { f.Composition().Clear(0); }
[[gnu::noinline]] void StepOursFace(TOurFrame& f) { f.Face().DrawTo(f.Composition(), TRect{0, 0, kSide, kSide}); }
[[gnu::noinline]] void StepOursText(TOurFrame& f) { f.TextLayer().PaintLayer(f.Composition()); }
[[gnu::noinline]] void StepOursHands(TOurFrame& f) {
  for (int i = 0; i < 3; ++i) f.Hand(i).PaintLayer(f.Composition());
}
[[gnu::noinline]] void StepPixmanClear(TPixmanFrame& f) { f.Clear(); }
[[gnu::noinline]] void StepPixmanFace(TPixmanFrame& f) { f.Face(); }
[[gnu::noinline]] void StepPixmanText(TPixmanFrame& f) { f.Text(); }
[[gnu::noinline]] void StepPixmanHands(TPixmanFrame& f, const std::array<float, 3>& angles,
                                       const std::array<TRect, 3>& bounds) {
  f.Hands(angles, bounds);
}

double Median(std::vector<double>& v) {
  if (v.empty()) return 0.0;
  const auto mid = v.begin() + static_cast<std::ptrdiff_t>(v.size() / 2);
  std::nth_element(v.begin(), mid, v.end());
  return *mid;
}

void BM_StepsRatio(benchmark::State& state) {
  TOurFrame ours;
  TOurFrame source;
  TPixmanFrame theirs(source);
  const auto& angles = kAngleSets[static_cast<std::size_t>(state.range(0))];
  const auto bounds = HandBounds(source, angles);
  for (int i = 0; i < 3; ++i) ours.Hand(i).SetAngle(angles[static_cast<std::size_t>(i)]);
  ours.TextLayer().SetScaled(false);
  constexpr int kSteps = 4;
  std::array<std::vector<double>, kSteps> our_us;
  std::array<std::vector<double>, kSteps> their_us;
  using Clock = std::chrono::steady_clock;
  auto us = [](Clock::time_point a, Clock::time_point b) {
    return std::chrono::duration<double, std::micro>(b - a).count();
  };
  auto run_ours = [&] {
    Clock::time_point t[kSteps + 1];
    t[0] = Clock::now();
    StepOursClear(ours);
    t[1] = Clock::now();
    StepOursFace(ours);
    t[2] = Clock::now();
    StepOursText(ours);
    t[3] = Clock::now();
    StepOursHands(ours);
    t[4] = Clock::now();
    for (int k = 0; k < kSteps; ++k) our_us[static_cast<std::size_t>(k)].push_back(us(t[k], t[k + 1]));
  };
  auto run_theirs = [&] {
    Clock::time_point t[kSteps + 1];
    t[0] = Clock::now();
    StepPixmanClear(theirs);
    t[1] = Clock::now();
    StepPixmanFace(theirs);
    t[2] = Clock::now();
    StepPixmanText(theirs);
    t[3] = Clock::now();
    StepPixmanHands(theirs, angles, bounds);
    t[4] = Clock::now();
    for (int k = 0; k < kSteps; ++k) their_us[static_cast<std::size_t>(k)].push_back(us(t[k], t[k + 1]));
  };
  // Each side goes first every other frame, so neither always finds the
  // caches as the other left them.
  bool ours_first = true;
  for (auto _ : state) {
    if (ours_first) {
      run_ours();
      run_theirs();
    } else {
      run_theirs();
      run_ours();
    }
    ours_first = !ours_first;
  }
  static constexpr const char* kNames[kSteps] = {"clear", "face", "text", "hands"};
  for (int k = 0; k < kSteps; ++k) {
    const double o = Median(our_us[static_cast<std::size_t>(k)]);
    const double p = Median(their_us[static_cast<std::size_t>(k)]);
    state.counters[std::string(kNames[k]) + "_ours"] = o;
    state.counters[std::string(kNames[k]) + "_pixman"] = p;
  }
}
BENCHMARK(BM_StepsRatio)->DenseRange(0, kLastAngleSet)->Unit(benchmark::kMicrosecond);

// Twenty frames of each angle set, step by step, after one warm-up frame:
// the fixed count lets an instruction counter divide by 20.
void BM_StepsCount(benchmark::State& state) {
  TOurFrame ours;
  TOurFrame source;
  TPixmanFrame theirs(source);
  const auto& angles = kAngleSets[static_cast<std::size_t>(state.range(0))];
  const auto bounds = HandBounds(source, angles);
  // One frame of each outside the counted steps: what is made once per
  // process (the weight rows of every fraction, pixman's filter set-up) is
  // not a frame's work.
  ours.Compose(angles);
  theirs.Compose(angles, bounds);
  ours.TextLayer().SetScaled(false);
  for (auto _ : state) {
    StepOursClear(ours);
    StepOursFace(ours);
    StepOursText(ours);
    StepOursHands(ours);
    StepPixmanClear(theirs);
    StepPixmanFace(theirs);
    StepPixmanText(theirs);
    StepPixmanHands(theirs, angles, bounds);
  }
}
BENCHMARK(BM_StepsCount)->DenseRange(0, kLastAngleSet)->Iterations(20);
#endif

// The kernel resampler alone: one hand rotated into a cleared bitmap.
void BM_RotateSecondHand(benchmark::State& state) {
  TOurFrame frame;
  TRotLayer& hand = frame.Hand(2);
  hand.SetAngle(static_cast<float>(state.range(0)));
  TBitmap32 target;
  target.SetSize(kSide, kSide);
  for (auto _ : state) {
    target.Clear(0);
    hand.PaintLayer(target);
  }
}
BENCHMARK(BM_RotateSecondHand)->Arg(0)->Arg(-90)->Arg(-123)->Unit(benchmark::kMicrosecond);

}  // namespace
