// Decoding PNG streams from memory into premultiplied skin pixels.
#include "imaging/png_decoder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "png_builder.h"

namespace vesk::imaging {
namespace {

using testing::Bytes;
using testing::Chunk;
using testing::EncodePng;
using testing::PngImage;

std::string Hex(raster::TColor32 c) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(c));
  return text;
}

SkinImage Decode(const Bytes& bytes, const PngLimits& limits = {}) {
  return DecodeSkinPng(std::span<const std::uint8_t>(bytes), limits);
}

// The message of the EPngError a decode raises ("" if none).
std::string DecodeError(const Bytes& bytes, const PngLimits& limits = {}) {
  try {
    (void)Decode(bytes, limits);
  } catch (const EPngError& e) {
    return e.what();
  }
  return "";
}

PngImage Rgba(std::uint32_t w, std::uint32_t h, Bytes samples) {
  PngImage png;
  png.width = w;
  png.height = h;
  png.color_type = 6;
  png.samples = std::move(samples);
  return png;
}

// A plain restatement of the loader's arithmetic for one channel of an image
// with alpha: drawn over black with rounding up, then scaled by alpha again.
std::uint32_t ExpectedWithAlpha(std::uint32_t c, std::uint32_t a) {
  const std::uint32_t over_black = static_cast<std::uint32_t>(std::floor((c * a + 255) / 256.0));
  return static_cast<std::uint32_t>(std::floor(over_black * a / 255.0));
}

TEST(PngDecoder, WorkedRgbaExamples) {
  struct Row {
    std::uint8_t r, g, b, a;
    raster::TColor32 expected;
  };
  const Row rows[] = {
      {200, 100, 50, 255, 0xFFC86432u},  // opaque keeps its colour
      {255, 255, 255, 128, 0x80404040u},  // alpha applied twice: 64, not 128
      {255, 255, 255, 255, 0xFFFFFFFFu},
      {255, 255, 255, 0, 0x00000000u},  // fully transparent is all zero
      {17, 250, 3, 0, 0x00000000u},
      {0, 0, 0, 255, 0xFF000000u},
  };
  for (const Row& row : rows) {
    const SkinImage image = Decode(EncodePng(Rgba(1, 1, {row.r, row.g, row.b, row.a})));
    ASSERT_EQ(image.Pixels.size(), 1u);
    EXPECT_EQ(Hex(image.Pixels[0]), Hex(row.expected))
        << "rgba " << int(row.r) << "," << int(row.g) << "," << int(row.b) << "," << int(row.a);
  }
}

TEST(PngDecoder, EveryColourAndAlphaPairMatchesThePlainFormula) {
  // Red sweeps the colour, alpha the rows; green and blue hold fixed values.
  Bytes samples;
  for (std::uint32_t a = 0; a < 256; ++a) {
    for (std::uint32_t c = 0; c < 256; ++c) samples.insert(samples.end(), {std::uint8_t(c), 255, 1, std::uint8_t(a)});
  }
  const SkinImage image = Decode(EncodePng(Rgba(256, 256, samples)));
  ASSERT_EQ(image.Width, 256);
  ASSERT_EQ(image.Height, 256);
  int failures = 0;
  for (std::uint32_t a = 0; a < 256 && failures < 5; ++a) {
    for (std::uint32_t c = 0; c < 256 && failures < 5; ++c) {
      const raster::TColor32 expected = raster::Color32Argb(a, ExpectedWithAlpha(c, a), ExpectedWithAlpha(255, a),
                                                            ExpectedWithAlpha(1, a));
      const raster::TColor32 got = image.Pixels[a * 256 + c];
      if (got != expected) {
        ++failures;
        ADD_FAILURE() << "c=" << c << " a=" << a << ": " << Hex(got) << " expected " << Hex(expected);
      }
    }
  }
}

TEST(PngDecoder, PixelsAreRowMajorTopRowFirst) {
  const SkinImage image = Decode(EncodePng(Rgba(2, 2, {1, 0, 0, 255, 2, 0, 0, 255, 3, 0, 0, 255, 4, 0, 0, 255})));
  ASSERT_EQ(image.Pixels.size(), 4u);
  EXPECT_EQ(image.Pixels[0], 0xFF010000u);
  EXPECT_EQ(image.Pixels[1], 0xFF020000u);
  EXPECT_EQ(image.Pixels[2], 0xFF030000u);
  EXPECT_EQ(image.Pixels[3], 0xFF040000u);
}

TEST(PngDecoder, GreyWithAlphaFillsAllThreeChannels) {
  PngImage png;
  png.width = 3;
  png.color_type = 4;
  png.samples = {90, 255, 255, 128, 77, 0};
  const SkinImage image = Decode(EncodePng(png));
  EXPECT_EQ(Hex(image.Pixels[0]), Hex(0xFF5A5A5Au));
  EXPECT_EQ(Hex(image.Pixels[1]), Hex(0x80404040u));
  EXPECT_EQ(Hex(image.Pixels[2]), Hex(0u));
}

TEST(PngDecoder, ImagesWithoutAlphaChannelGetAlphaZero) {
  PngImage rgb;
  rgb.width = 2;
  rgb.color_type = 2;
  rgb.samples = {200, 100, 50, 255, 255, 255};
  const SkinImage a = Decode(EncodePng(rgb));
  EXPECT_EQ(Hex(a.Pixels[0]), Hex(0x00C86432u));
  EXPECT_EQ(Hex(a.Pixels[1]), Hex(0x00FFFFFFu));

  PngImage palette;
  palette.width = 3;
  palette.color_type = 3;
  palette.palette = {10, 20, 30, 200, 100, 50};
  palette.samples = {1, 0, 1};
  const SkinImage b = Decode(EncodePng(palette));
  EXPECT_EQ(Hex(b.Pixels[0]), Hex(0x00C86432u));
  EXPECT_EQ(Hex(b.Pixels[1]), Hex(0x000A141Eu));
  EXPECT_EQ(Hex(b.Pixels[2]), Hex(0x00C86432u));

  PngImage grey;
  grey.width = 2;
  grey.color_type = 0;
  grey.samples = {0, 171};
  const SkinImage c = Decode(EncodePng(grey));
  EXPECT_EQ(Hex(c.Pixels[0]), Hex(0x00000000u));
  EXPECT_EQ(Hex(c.Pixels[1]), Hex(0x00ABABABu));
}

TEST(PngDecoder, TransparencyChunkBlackensPixelsButGivesNoAlpha) {
  PngImage rgb;
  rgb.width = 2;
  rgb.color_type = 2;
  rgb.samples = {200, 100, 50, 1, 2, 3};
  rgb.transparency = {0, 200, 0, 100, 0, 50};  // 16-bit sample values of the transparent colour
  const SkinImage a = Decode(EncodePng(rgb));
  EXPECT_EQ(Hex(a.Pixels[0]), Hex(0u));
  EXPECT_EQ(Hex(a.Pixels[1]), Hex(0x00010203u));

  PngImage palette;
  palette.width = 3;
  palette.color_type = 3;
  palette.palette = {255, 255, 255, 200, 100, 50, 9, 9, 9};
  palette.transparency = {0, 128};  // entry 0 transparent, 1 half, 2 opaque (implied)
  palette.samples = {0, 1, 2};
  const SkinImage b = Decode(EncodePng(palette));
  EXPECT_EQ(Hex(b.Pixels[0]), Hex(0u));
  // Drawn over black with its palette alpha, but stored with alpha 0.
  EXPECT_EQ(Hex(b.Pixels[1]), Hex(raster::Color32Argb(0, (200 * 128 + 255) >> 8, (100 * 128 + 255) >> 8,
                                                       (50 * 128 + 255) >> 8)));
  EXPECT_EQ(Hex(b.Pixels[2]), Hex(0x00090909u));

  PngImage grey;
  grey.width = 2;
  grey.color_type = 0;
  grey.samples = {7, 8};
  grey.transparency = {0, 7};
  const SkinImage c = Decode(EncodePng(grey));
  EXPECT_EQ(Hex(c.Pixels[0]), Hex(0u));
  EXPECT_EQ(Hex(c.Pixels[1]), Hex(0x00080808u));
}

TEST(PngDecoder, SixteenBitSamplesKeepTheirHighByte) {
  PngImage png = Rgba(2, 1, {0xC8, 0xFF, 0x64, 0x01, 0x32, 0x80, 0xFF, 0x00,  //
                             0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x80, 0xFF});
  png.bit_depth = 16;
  const SkinImage image = Decode(EncodePng(png));
  // Alpha 0xFF00 keeps 0xFF; rounding would have given 0xFE or 0xFF for the
  // colours, truncation gives exactly the high bytes.
  EXPECT_EQ(Hex(image.Pixels[0]), Hex(0xFFC86432u));
  EXPECT_EQ(Hex(image.Pixels[1]), Hex(0x80404040u));

  PngImage rgb;
  rgb.width = 1;
  rgb.color_type = 2;
  rgb.bit_depth = 16;
  rgb.samples = {0x12, 0xFF, 0x34, 0x80, 0x56, 0x7F};
  EXPECT_EQ(Hex(Decode(EncodePng(rgb)).Pixels[0]), Hex(0x00123456u));
}

TEST(PngDecoder, LowBitDepthGreyAndPaletteAreExpanded) {
  PngImage grey;
  grey.width = 4;
  grey.color_type = 0;
  grey.bit_depth = 2;
  grey.samples = {0b00011011};  // 0, 1, 2, 3
  const SkinImage a = Decode(EncodePng(grey));
  EXPECT_EQ(Hex(a.Pixels[0]), Hex(0x00000000u));
  EXPECT_EQ(Hex(a.Pixels[1]), Hex(0x00555555u));
  EXPECT_EQ(Hex(a.Pixels[2]), Hex(0x00AAAAAAu));
  EXPECT_EQ(Hex(a.Pixels[3]), Hex(0x00FFFFFFu));

  PngImage palette;
  palette.width = 3;
  palette.color_type = 3;
  palette.bit_depth = 1;
  palette.palette = {1, 2, 3, 4, 5, 6};
  palette.samples = {0b01000000};
  const SkinImage b = Decode(EncodePng(palette));
  EXPECT_EQ(Hex(b.Pixels[0]), Hex(0x00010203u));
  EXPECT_EQ(Hex(b.Pixels[1]), Hex(0x00040506u));
  EXPECT_EQ(Hex(b.Pixels[2]), Hex(0x00010203u));
}

TEST(PngDecoder, InterlacedImagesDecodeLikeProgressiveOnes) {
  Bytes samples;
  for (std::uint32_t i = 0; i < 11 * 9; ++i) {
    samples.insert(samples.end(), {std::uint8_t(i * 7), std::uint8_t(i * 13), std::uint8_t(255 - i), std::uint8_t(i * 29)});
  }
  PngImage plain = Rgba(11, 9, samples);
  PngImage interlaced = plain;
  interlaced.interlace = 1;
  const SkinImage a = Decode(EncodePng(plain));
  const SkinImage b = Decode(EncodePng(interlaced));
  EXPECT_EQ(a.Pixels, b.Pixels);
}

// 255 * (s / 255) ^ (1 / (g / 100000 * 2.2)), rounded half to even.
std::uint32_t GammaCorrected(std::uint32_t s, std::uint32_t g) {
  const long double gamma = static_cast<long double>(g) / 100000.0L * 2.2L;
  return static_cast<std::uint32_t>(std::nearbyint(255.0L * std::pow(s / 255.0L, 1.0L / gamma)));
}

PngImage WithGama(PngImage png, std::uint32_t g) {
  png.before_data.emplace_back("gAMA", testing::BigEndian32(g));
  return png;
}

TEST(PngDecoder, GammaChunkCorrectsColourSamplesOfTrueColourImages) {
  Bytes rgb_samples;
  for (std::uint32_t s = 0; s < 256; ++s) rgb_samples.insert(rgb_samples.end(), {std::uint8_t(s), std::uint8_t(255 - s), 128});
  PngImage rgb;
  rgb.width = 256;
  rgb.color_type = 2;
  rgb.samples = rgb_samples;
  for (const std::uint32_t g : {45455u, 100000u, 220000u, 30000u, 1u}) {
    const SkinImage image = Decode(EncodePng(WithGama(rgb, g)));
    for (std::uint32_t s = 0; s < 256; ++s) {
      const raster::TColor32 expected = raster::Color32Argb(0, GammaCorrected(s, g), GammaCorrected(255 - s, g),
                                                            GammaCorrected(128, g));
      ASSERT_EQ(Hex(image.Pixels[s]), Hex(expected)) << "g=" << g << " s=" << s;
    }
  }
  // g = 100000 brightens mid grey visibly: 128 -> 186.
  EXPECT_EQ(GammaCorrected(128, 100000), 186u);
}

TEST(PngDecoder, GammaLeavesAlphaAloneAndComesBeforePremultiplication) {
  const std::uint32_t g = 100000;
  const SkinImage image = Decode(EncodePng(WithGama(Rgba(1, 1, {128, 64, 0, 128}), g)));
  const std::uint32_t r = GammaCorrected(128, g), gr = GammaCorrected(64, g);
  EXPECT_EQ(Hex(image.Pixels[0]), Hex(raster::Color32Argb(128, ExpectedWithAlpha(r, 128), ExpectedWithAlpha(gr, 128), 0)));
}

TEST(PngDecoder, GammaIsIgnoredWhenZeroAbsentOrNotForTrueColour) {
  const PngImage rgba = Rgba(1, 1, {128, 128, 128, 255});
  EXPECT_EQ(Hex(Decode(EncodePng(WithGama(rgba, 0))).Pixels[0]), Hex(0xFF808080u));
  // An sRGB chunk alone is not a gAMA chunk.
  PngImage srgb = rgba;
  srgb.before_data.emplace_back("sRGB", Bytes{0});
  EXPECT_EQ(Hex(Decode(EncodePng(srgb)).Pixels[0]), Hex(0xFF808080u));
  // A gAMA chunk after the image data comes too late to count.
  PngImage late = rgba;
  late.after_data.emplace_back("gAMA", testing::BigEndian32(100000));
  EXPECT_EQ(Hex(Decode(EncodePng(late)).Pixels[0]), Hex(0xFF808080u));
  // A gAMA chunk of the wrong length is ignored.
  PngImage broken = rgba;
  broken.before_data.emplace_back("gAMA", Bytes{0, 1, 0x86});
  EXPECT_EQ(Hex(Decode(EncodePng(broken)).Pixels[0]), Hex(0xFF808080u));

  // Grey images are not corrected, with or without alpha.
  PngImage grey_alpha;
  grey_alpha.color_type = 4;
  grey_alpha.samples = {128, 255};
  EXPECT_EQ(Hex(Decode(EncodePng(WithGama(grey_alpha, 100000))).Pixels[0]), Hex(0xFF808080u));
  PngImage grey;
  grey.color_type = 0;
  grey.samples = {128};
  EXPECT_EQ(Hex(Decode(EncodePng(WithGama(grey, 100000))).Pixels[0]), Hex(0x00808080u));
}

TEST(PngDecoder, AncillaryChunksThatTheSkinDoesNotUseAreSkipped) {
  PngImage png = Rgba(1, 1, {1, 2, 3, 255});
  png.before_data.emplace_back("tEXt", Bytes{'k', 0, 'v'});
  png.before_data.emplace_back("iCCP", Bytes{'x', 0, 0, 1, 2, 3});  // damaged profile
  png.before_data.emplace_back("prVt", Bytes{1, 2, 3});              // unknown, safe to skip
  EXPECT_EQ(Hex(Decode(EncodePng(png)).Pixels[0]), Hex(0xFF010203u));
}

// ---- refused streams ------------------------------------------------------

TEST(PngDecoder, NonPngDataIsRefusedWithTheDecodersMessage) {
  EXPECT_NE(DecodeError(Bytes{}), "");
  EXPECT_EQ(DecodeError(Bytes{'G', 'I', 'F', '8', '9', 'a', 0, 0, 0, 0, 0, 0}), "Not a PNG file");
  Bytes bmp(64, 0x42);
  EXPECT_EQ(DecodeError(bmp), "Not a PNG file");
}

TEST(PngDecoder, EveryTruncationIsRefusedCleanly) {
  const Bytes whole = EncodePng(Rgba(3, 2, Bytes(24, 0x5A)));
  ASSERT_EQ(DecodeError(whole), "");
  for (std::size_t n = 0; n < whole.size(); ++n) {
    const Bytes cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(n));
    EXPECT_NE(DecodeError(cut), "") << "prefix of " << n << " bytes was accepted";
  }
  const Bytes cut(whole.begin(), whole.begin() + 40);
  EXPECT_EQ(DecodeError(cut), "Unexpected end of PNG data");
}

TEST(PngDecoder, CorruptChunksAreRefused) {
  Bytes bad_crc = EncodePng(Rgba(1, 1, {1, 2, 3, 4}));
  bad_crc[8 + 8 + 13] ^= 0xFF;  // first byte of the IHDR CRC
  EXPECT_NE(DecodeError(bad_crc).find("CRC"), std::string::npos) << DecodeError(bad_crc);

  // Image data that is not a zlib stream.
  Bytes garbage = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  const Bytes ihdr = Chunk("IHDR", testing::HeaderData(4, 4, 8, 6, 0));
  const Bytes idat = Chunk("IDAT", Bytes{1, 2, 3, 4, 5, 6, 7, 8});
  const Bytes iend = Chunk("IEND", {});
  garbage.insert(garbage.end(), ihdr.begin(), ihdr.end());
  garbage.insert(garbage.end(), idat.begin(), idat.end());
  garbage.insert(garbage.end(), iend.begin(), iend.end());
  EXPECT_NE(DecodeError(garbage), "");

  // An unknown critical chunk cannot be skipped.
  PngImage critical = Rgba(1, 1, {1, 2, 3, 4});
  critical.before_data.emplace_back("ZZZZ", Bytes{1});
  EXPECT_NE(DecodeError(EncodePng(critical)), "");

  // A palette image without its palette.
  PngImage no_palette;
  no_palette.color_type = 3;
  no_palette.samples = {0};
  EXPECT_NE(DecodeError(EncodePng(no_palette)), "");

  // A bit depth the colour type does not allow.
  PngImage bad_depth = Rgba(1, 1, {0});
  bad_depth.bit_depth = 4;
  EXPECT_NE(DecodeError(EncodePng(bad_depth)).find("Invalid IHDR data"), std::string::npos);
}

Bytes HeaderOnly(std::uint32_t w, std::uint32_t h) { return testing::HeaderOnlyPng(w, h); }

TEST(PngDecoder, HugeDimensionsAreRefusedBeforeAnyPixelMemory) {
  EXPECT_EQ(DecodeError(HeaderOnly(100000, 100000)),
            "Invalid IHDR data: Image width exceeds user limit in IHDR; "
            "Image height exceeds user limit in IHDR");
  EXPECT_EQ(DecodeError(HeaderOnly(1, 0x7FFFFFFF)), "Invalid IHDR data: Image height exceeds user limit in IHDR");
  EXPECT_EQ(DecodeError(HeaderOnly(0xFFFFFFFF, 1)), "PNG unsigned integer out of range");
  // Both sides within the limit, the area beyond it.
  EXPECT_EQ(DecodeError(HeaderOnly(16384, 16384)),
            "Image too large: 16384 x 16384 pixels (at most 16384 x 16384 and 67108864 pixels)");
  // Within every limit: the header is accepted, the missing data is not.
  EXPECT_NE(DecodeError(HeaderOnly(64, 64)), "");
  EXPECT_EQ(DecodeError(HeaderOnly(64, 64)).find("too large"), std::string::npos);
}

TEST(PngDecoder, LimitsCanBeTightened) {
  const Bytes image = EncodePng(Rgba(4, 4, Bytes(64, 9)));
  EXPECT_EQ(DecodeError(image, PngLimits{4, 4, 16}), "");
  EXPECT_NE(DecodeError(image, PngLimits{3, 4, 16}), "");
  EXPECT_EQ(DecodeError(image, PngLimits{4, 4, 15}),
            "Image too large: 4 x 4 pixels (at most 4 x 4 and 15 pixels)");
}

// A source that fails part way through, like a file on a vanishing drive.
class FailingSource final : public PngByteSource {
 public:
  explicit FailingSource(Bytes bytes) : bytes_(std::move(bytes)) {}
  bool Read(std::uint8_t* buffer, std::size_t size, std::size_t& got) noexcept override {
    got = 0;
    if (position_ + size > 20) return false;
    std::copy_n(bytes_.begin() + static_cast<std::ptrdiff_t>(position_), size, buffer);
    position_ += size;
    got = size;
    return true;
  }
  const char* FailureText() const noexcept override { return "Read error. The device is not ready"; }

 private:
  Bytes bytes_;
  std::size_t position_ = 0;
};

TEST(PngDecoder, ReadFailuresOfTheSourceAreReported) {
  FailingSource source(EncodePng(Rgba(2, 2, Bytes(16, 1))));
  try {
    (void)DecodeSkinPng(source);
    FAIL() << "no error";
  } catch (const EPngError& e) {
    EXPECT_STREQ(e.what(), "Read error. The device is not ready");
  }
}

}  // namespace
}  // namespace vesk::imaging
