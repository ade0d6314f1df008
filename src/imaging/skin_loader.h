#pragma once
// Loads a skin PNG that lies beside the executable into a TBitmap32 as
// premultiplied 32-bit pixels, drawn in blend mode and merged when drawn onto
// another bitmap.
#include <string>
#include <string_view>

#include "raster/bitmap32.h"
#include "base/errors.h"

namespace vesk::imaging {

// A skin file that could not be opened. The message names the absolute path
// and the system's reason.
class EFileOpenError : public Exception {
 public:
  using Exception::Exception;
};

// Loads the PNG at relative_path (relative to the executable's folder, with
// backslash separators) into target: its size becomes the image's, its pixels
// the premultiplied image, its draw mode dmBlend and its combine mode cmMerge.
// Raises EFileOpenError when the file cannot be opened and EPngError when the
// decoder refuses it; the target is then left as it was.
void LoadSkinImage(raster::TBitmap32& target, std::string_view relative_path);

// The same for a file named by its own path (absolute, or relative to the
// current directory); the error message names the absolute path.
void LoadSkinImageFile(raster::TBitmap32& target, const std::string& path);

// The path of a skin file: the executable's folder followed by the relative
// path with every backslash turned into the platform's separator.
[[nodiscard]] std::string SkinFilePath(std::string_view relative_path);

// "Cannot open file "<path>". <reason>" with the reason's trailing control
// characters, spaces and full stops removed.
[[nodiscard]] std::string CannotOpenFileMessage(std::string_view absolute_path, std::string_view reason);

}  // namespace vesk::imaging
