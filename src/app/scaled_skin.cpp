#include "app/scaled_skin.h"

#include <memory>

#include "imaging/skin_loader.h"
#include "platform/process.h"
#include "raster/affine_transformation.h"
#include "raster/kernel_resampler.h"
#include "raster/kernels.h"
#include "raster/transform.h"

namespace vesk::app {

namespace {

// A length of the set `percent` at scale s: v * ppi * 100 / (96 * percent),
// rounded up.
std::int32_t ResampledLength(std::int32_t v, std::int32_t percent, TFaceScale s) {
  return MulDivCeil(v, s.PixelsPerInch * 100, kBasePixelsPerInch * percent);
}

}  // namespace

std::string ScaledSkinFileName(std::string_view file, std::int32_t percent) {
  std::string name(file);
  if (percent == 100) return name;
  const std::size_t dot = name.rfind('.');
  const std::string suffix = ".scale-" + std::to_string(percent);
  if (dot == std::string::npos) return name + suffix;
  return name.insert(dot, suffix);
}

TSkinSource ChooseSkinSource(TFaceScale s, const std::function<bool(std::int32_t)>& has_set) {
  if (s.IsBase()) return {100, false};
  // The set made for this scale, as it is.
  for (const std::int32_t pct : kSkinSetPercents) {
    if (s.CompareToPercent(pct) == 0 && has_set(pct)) return {pct, false};
  }
  // The nearest larger set: scaling down loses least.
  for (const std::int32_t pct : kSkinSetPercents) {
    if (s.CompareToPercent(pct) < 0 && has_set(pct)) return {pct, true};
  }
  // Above every set: the largest one that is there, else the 100 % file.
  std::int32_t best = 100;
  for (const std::int32_t pct : kSkinSetPercents) {
    if (s.CompareToPercent(pct) > 0 && has_set(pct)) best = pct;
  }
  return {best, true};
}

TPoint ResampledSize(std::int32_t w, std::int32_t h, std::int32_t percent, TFaceScale s) {
  return {ResampledLength(w, percent, s), ResampledLength(h, percent, s)};
}

void ResampleSkinImage(raster::TBitmap32& image, std::int32_t percent, TFaceScale s) {
  const TPoint size = ResampledSize(image.Width(), image.Height(), percent, s);
  const raster::TDrawMode draw_mode = image.DrawMode();
  const raster::TCombineMode combine_mode = image.CombineMode();

  raster::TBitmap32 source;
  source.Assign(&image);
  raster::TKernelResampler::Create(source)->SetKernel(std::make_unique<raster::TLanczosKernel>());
  // The samples are stored as they are, not blended over the cleared target.
  source.SetDrawMode(raster::dmOpaque);

  // q = (p + 0.5) f - 0.5: the image scaled by f about its corner (-0.5, -0.5).
  const float f = static_cast<float>(static_cast<double>(s.PixelsPerInch) * 100 / (kBasePixelsPerInch * percent));
  raster::TAffineTransformation t;
  t.SetSrcRect(TFloatRect{0, 0, static_cast<float>(source.Width()), static_cast<float>(source.Height())});
  t.Translate(0.5f, 0.5f);
  t.Scale(f, f);
  t.Translate(-0.5f, -0.5f);

  image.SetSize(size.X, size.Y);
  image.Clear(0);
  raster::Transform(image, source, t);
  image.SetDrawMode(draw_mode);
  image.SetCombineMode(combine_mode);
}

TSkinSource LoadScaledSkinImage(raster::TBitmap32& target, const std::string& skin_folder, std::string_view file,
                                TFaceScale s) {
  // The folder's name is UTF-8, whatever the system's code page.
  const TSkinSource source = ChooseSkinSource(s, [&](std::int32_t percent) {
    return platform::FileExists(skin_folder + ScaledSkinFileName(file, percent));
  });
  if (!source.Resample) {
    imaging::LoadSkinImageFile(target, skin_folder + ScaledSkinFileName(file, source.Percent));
    return source;
  }
  // Loaded and resampled apart from the target, so that a failure leaves
  // the target as it was.
  raster::TBitmap32 image;
  imaging::LoadSkinImageFile(image, skin_folder + ScaledSkinFileName(file, source.Percent));
  ResampleSkinImage(image, source.Percent, s);
  // Size and pixels, then the loader's modes; the target keeps its own
  // resampler and font.
  image.CopyMapTo(target);
  target.SetDrawMode(image.DrawMode());
  target.SetCombineMode(image.CombineMode());
  target.Changed();
  return source;
}

}  // namespace vesk::app
