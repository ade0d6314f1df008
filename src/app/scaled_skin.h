#pragma once
// The skin at a display scale. Beside each 100 % file ("clockface.png") a
// skin may hold the same image drawn for other scales, named as Windows
// names scaled resources ("clockface.scale-200.png"). For a scale the loader
// takes the set made for it; else the nearest larger set, else the largest
// smaller one, else the 100 % file, resampled once, when it is loaded, with
// the Lanczos kernel resampler to the scale. A scaled file that is missing is
// passed over; one that is present but broken raises the loader's error like
// any skin file.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "app/face_geometry.h"
#include "raster/bitmap32.h"

namespace vesk::app {

// The scales, in percent, that scaled skin files may be drawn for.
inline constexpr std::int32_t kSkinSetPercents[] = {125, 150, 175, 200, 250, 300};

// "name.png" -> "name.scale-<percent>.png"; 100 gives the file itself.
[[nodiscard]] std::string ScaledSkinFileName(std::string_view file, std::int32_t percent);

// Where one image comes from: the set of `Percent` (100: the plain file), and
// whether it must be resampled to the scale.
struct TSkinSource {
  std::int32_t Percent = 100;
  bool Resample = false;
  friend bool operator==(const TSkinSource&, const TSkinSource&) = default;
};

// The choice for scale `s`, given which sets hold the file.
[[nodiscard]] TSkinSource ChooseSkinSource(TFaceScale s, const std::function<bool(std::int32_t percent)>& has_set);

// The size a w x h image of the set `percent` takes at scale `s`: w s / set
// scale, rounded up (for the 100 % set, docs/scaling.md's image size).
[[nodiscard]] TPoint ResampledSize(std::int32_t w, std::int32_t h, std::int32_t percent, TFaceScale s);

// Replaces `image` (of the set `percent`) by itself scaled to `s` about its
// top-left corner, each pixel sampled by the Lanczos kernel resampler;
// draw and combine modes are kept.
void ResampleSkinImage(raster::TBitmap32& image, std::int32_t percent, TFaceScale s);

// Loads `file` of the skin folder (ending with a separator) for scale `s`
// into `target` as the skin loader does, and returns where it came from. At
// 100 % this is exactly the plain load.
TSkinSource LoadScaledSkinImage(raster::TBitmap32& target, const std::string& skin_folder, std::string_view file,
                                TFaceScale s);

}  // namespace vesk::app
