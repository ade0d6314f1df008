// Loading skin files that lie beside the executable into TBitmap32 targets.
#include "imaging/skin_loader.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>

#include "imaging/png_decoder.h"
#include "platform/process.h"
#include "png_builder.h"

namespace vesk::imaging {
namespace {

using raster::TBitmap32;
using testing::Bytes;
using testing::EncodePng;
using testing::PngImage;
using testing::WriteBesideExecutable;

constexpr char kFolder[] = "skin_loader_test";

PngImage Rgba(std::uint32_t w, std::uint32_t h, raster::TColor32 argb) {
  PngImage png;
  png.width = w;
  png.height = h;
  png.color_type = 6;
  png.samples.reserve(std::size_t{w} * h * 4);
  for (std::uint32_t i = 0; i < w * h; ++i) {
    png.samples.push_back(static_cast<std::uint8_t>(raster::RedOf(argb)));
    png.samples.push_back(static_cast<std::uint8_t>(raster::GreenOf(argb)));
    png.samples.push_back(static_cast<std::uint8_t>(raster::BlueOf(argb)));
    png.samples.push_back(static_cast<std::uint8_t>(raster::AlphaOf(argb)));
  }
  return png;
}

// A 600 x 400 target filled with one colour, in the default modes.
void FillTarget(TBitmap32& target) {
  target.SetSize(600, 400);
  target.Clear(0xFF123456u);
}

void ExpectUntouched(const TBitmap32& target) {
  EXPECT_EQ(target.Width(), 600);
  EXPECT_EQ(target.Height(), 400);
  EXPECT_EQ(target.Pixel(0, 0), 0xFF123456u);
  EXPECT_EQ(target.Pixel(599, 399), 0xFF123456u);
  EXPECT_EQ(target.DrawMode(), raster::dmOpaque);
  EXPECT_EQ(target.CombineMode(), raster::cmBlend);
}

// A skin image beyond the limit is refused from its header, with the file
// and the limit in the message; the target stays as it was.
TEST(SkinLoader, AnAbsurdlyLargeImageIsRefusedFromItsHeader) {
  const std::string path = WriteBesideExecutable(kFolder, "huge.png", testing::HeaderOnlyPng(8192, 8192));
  TBitmap32 target;
  FillTarget(target);
  try {
    LoadSkinImage(target, path);
    FAIL() << "no error";
  } catch (const EImageTooLarge& e) {
    const std::string message = e.what();
    EXPECT_NE(message.find("huge.png\" is 8192 x 8192 pixels; a skin image may be at most 2048 x 2048 pixels"),
              std::string::npos)
        << message;
  }
  ExpectUntouched(target);
}

TEST(SkinLoader, LoadReplacesSizePixelsAndModes) {
  PngImage png = Rgba(150, 150, 0xFFC86432u);
  // One half-transparent white pixel at (149, 0) and a transparent one at (0, 149).
  const std::size_t a = 149 * 4, b = std::size_t{149} * 150 * 4;
  png.samples[a] = png.samples[a + 1] = png.samples[a + 2] = 255;
  png.samples[a + 3] = 128;
  png.samples[b + 3] = 0;
  const std::string path = WriteBesideExecutable(kFolder, "face150.png", EncodePng(png));

  TBitmap32 target;
  FillTarget(target);
  LoadSkinImage(target, path);
  ASSERT_EQ(target.Width(), 150);
  ASSERT_EQ(target.Height(), 150);
  EXPECT_EQ(target.Pixel(0, 0), 0xFFC86432u);
  EXPECT_EQ(target.Pixel(75, 75), 0xFFC86432u);
  EXPECT_EQ(target.Pixel(149, 0), 0x80404040u);
  EXPECT_EQ(target.Pixel(0, 149), 0u);
  EXPECT_EQ(target.DrawMode(), raster::dmBlend);
  EXPECT_EQ(target.CombineMode(), raster::cmMerge);
}

TEST(SkinLoader, LoadingReportsTheChangeToListeners) {
  const std::string path = WriteBesideExecutable(kFolder, "notify.png", EncodePng(Rgba(3, 2, 0xFF000000u)));
  TBitmap32 target;
  int changes = 0, resizes = 0;
  target.OnChange = [&](raster::TObject*) { ++changes; };
  target.OnResize = [&](raster::TObject*) { ++resizes; };
  LoadSkinImage(target, path);
  EXPECT_EQ(resizes, 1);
  // One report for the new pixels, then one per mode that changed.
  EXPECT_EQ(changes, 3);
}

TEST(SkinLoader, RgbFileLoadsWithAlphaZero) {
  PngImage png;
  png.width = 2;
  png.color_type = 2;
  png.samples = {1, 2, 3, 250, 251, 252};
  const std::string path = WriteBesideExecutable(kFolder, "rgb.png", EncodePng(png));
  TBitmap32 target;
  LoadSkinImage(target, path);
  EXPECT_EQ(target.Pixel(0, 0), 0x00010203u);
  EXPECT_EQ(target.Pixel(1, 0), 0x00FAFBFCu);
}

TEST(SkinLoader, MissingFileNamesTheAbsolutePathAndTheSystemsReason) {
  TBitmap32 target;
  FillTarget(target);
  const std::string relative = std::string(kFolder) + "\\missing\\pma.png";
  try {
    LoadSkinImage(target, relative);
    FAIL() << "no error";
  } catch (const EFileOpenError& e) {
    const std::string expected_path = platform::AbsolutePath(SkinFilePath(relative));
    const std::string message = e.what();
    EXPECT_EQ(message.rfind("Cannot open file \"" + expected_path + "\". ", 0), 0u) << message;
    EXPECT_GT(message.size(), expected_path.size() + 21);
    const char last = message.back();
    EXPECT_TRUE(last != '.' && last != ' ' && static_cast<unsigned char>(last) >= 0x20) << message;
  }
  ExpectUntouched(target);
}

TEST(SkinLoader, AFolderCannotBeOpenedAsASkin) {
  WriteBesideExecutable(kFolder, "placeholder.png", EncodePng(Rgba(1, 1, 0)));
  TBitmap32 target;
  FillTarget(target);
  EXPECT_THROW(LoadSkinImage(target, kFolder), EFileOpenError);
  ExpectUntouched(target);
}

TEST(SkinLoader, InvalidFilesRaiseTheDecodersErrorAndLeaveTheTarget) {
  const Bytes whole = EncodePng(Rgba(20, 20, 0xFF00FF00u));
  const std::string truncated =
      WriteBesideExecutable(kFolder, "truncated.png", Bytes(whole.begin(), whole.begin() + 60));
  const std::string text = WriteBesideExecutable(kFolder, "text.png", Bytes{'h', 'e', 'l', 'l', 'o', '\n'});
  const std::string empty = WriteBesideExecutable(kFolder, "empty.png", Bytes{});

  TBitmap32 target;
  FillTarget(target);
  try {
    LoadSkinImage(target, truncated);
    FAIL() << "no error";
  } catch (const EPngError& e) {
    EXPECT_STREQ(e.what(), "Unexpected end of PNG data");
  }
  ExpectUntouched(target);
  EXPECT_THROW(LoadSkinImage(target, text), EPngError);
  ExpectUntouched(target);
  EXPECT_THROW(LoadSkinImage(target, empty), EPngError);
  ExpectUntouched(target);
}

TEST(SkinLoader, PathsAreResolvedBesideTheExecutableWithTheSystemsSeparator) {
  const std::string folder = platform::ExecutableFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_EQ(folder.back(), platform::kPathSeparator);
  const std::string sep(1, platform::kPathSeparator);
  EXPECT_EQ(SkinFilePath("face\\clockface.png"), folder + "face" + sep + "clockface.png");
  EXPECT_EQ(SkinFilePath("sound\\a\\b.mp3"), folder + "sound" + sep + "a" + sep + "b.mp3");
}

TEST(SkinLoader, OpenErrorMessageDropsTrailingStopsSpacesAndControls) {
  EXPECT_EQ(CannotOpenFileMessage("C:\\x\\face\\pma.png", "The system cannot find the file specified.\r\n"),
            "Cannot open file \"C:\\x\\face\\pma.png\". The system cannot find the file specified");
  EXPECT_EQ(CannotOpenFileMessage("/a b.png", "No such file or directory"),
            "Cannot open file \"/a b.png\". No such file or directory");
  EXPECT_EQ(CannotOpenFileMessage("p", "Odd ... \t. \x7f"), "Cannot open file \"p\". Odd");
  EXPECT_EQ(CannotOpenFileMessage("p", ". . ."), "Cannot open file \"p\". ");
  // Non-ASCII text keeps its last character.
  EXPECT_EQ(CannotOpenFileMessage("p", "Fichier introuvable\xC3\xA9."), "Cannot open file \"p\". Fichier introuvable\xC3\xA9");
}

}  // namespace
}  // namespace vesk::imaging
