#include "imaging/skin_loader.h"

#include <cstring>

#include "base/scope_exit.h"
#include "imaging/png_decoder.h"
#include "platform/process.h"
#include "raster/modes.h"

namespace vesk::imaging {
namespace {

// Feeds the decoder from an open file.
class FileByteSource final : public PngByteSource {
 public:
  explicit FileByteSource(platform::SharedReadFile& file) noexcept : file_(file) {}

  bool Read(std::uint8_t* buffer, std::size_t size, std::size_t& got) noexcept override {
    platform::OsErrorCode error = 0;
    got = file_.Read(buffer, size, error);
    if (error == 0) return true;
    try {
      failure_ = "Read error. " + platform::SystemErrorText(error);
    } catch (...) {
      failure_.clear();
    }
    return false;
  }

  [[nodiscard]] const char* FailureText() const noexcept override {
    return failure_.empty() ? "Read error" : failure_.c_str();
  }

 private:
  platform::SharedReadFile& file_;
  std::string failure_;
};

}  // namespace

std::string SkinFilePath(std::string_view relative_path) {
  return platform::JoinAppPath(platform::ExecutableFolder(), relative_path);
}

std::string CannotOpenFileMessage(std::string_view absolute_path, std::string_view reason) {
  std::size_t end = reason.size();
  while (end > 0) {
    const auto c = static_cast<unsigned char>(reason[end - 1]);
    if (c > ' ' && c != '.' && c != 0x7F) break;
    --end;
  }
  std::string message = "Cannot open file \"";
  message += absolute_path;
  message += "\". ";
  message += reason.substr(0, end);
  return message;
}

void LoadSkinImage(raster::TBitmap32& target, std::string_view relative_path) {
  LoadSkinImageFile(target, SkinFilePath(relative_path));
}

void LoadSkinImageFile(raster::TBitmap32& target, const std::string& path) {
  platform::SharedReadFile file;
  if (const platform::OsErrorCode error = file.Open(path); error != 0) {
    throw EFileOpenError(CannotOpenFileMessage(platform::AbsolutePath(path), platform::SystemErrorText(error)));
  }
  FileByteSource source(file);
  SkinImage image;
  try {
    image = DecodeSkinPng(source, kSkinImageLimits);
  } catch (const EImageTooLarge& error) {
    throw EImageTooLarge("The skin image \"" + platform::AbsolutePath(path) + "\" is " +
                             std::to_string(error.Width()) + " x " + std::to_string(error.Height()) +
                             " pixels; a skin image may be at most " + std::to_string(kSkinImageLimits.max_width) +
                             " x " + std::to_string(kSkinImageLimits.max_height) + " pixels",
                         error.Width(), error.Height());
  }
  file.Close();

  // Only now is the target touched: resized to the image and overwritten
  // with its pixels, all four bytes as they stand. The copy is bracketed like
  // an assignment: one report at the end, also when resizing fails.
  {
    const TUpdateScope bracket(target, crChanged);
    target.SetSize(image.Width, image.Height);
    if (!target.Empty()) {
      std::memcpy(target.Bits(), image.Pixels.data(), image.Pixels.size() * sizeof(raster::TColor32));
    }
  }
  target.SetDrawMode(raster::dmBlend);
  target.SetCombineMode(raster::cmMerge);
}

}  // namespace vesk::imaging
