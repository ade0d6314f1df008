// The committed skin images and icon: sizes and pixel formats the loader and
// the window rely on, hands that point to twelve about their pivots, a face
// centred on the turning point with dark, opaque ground under the text, and an
// icon file with every size at 32 bits.
#include <gtest/gtest.h>
#include <png.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

std::string AssetPath(const std::string& relative) { return std::string(VESK_ASSETS_DIR) + "/" + relative; }

std::vector<std::uint8_t> ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::uint32_t Be32(const std::uint8_t* p) { return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (p[2] << 8) | p[3]; }
std::uint32_t Le32(const std::uint8_t* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (std::uint32_t{p[3]} << 24); }
std::uint16_t Le16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }

constexpr std::uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

// The IHDR fields and the chunk names of a PNG file, read straight from its bytes.
struct PngHeader {
  std::uint32_t Width = 0, Height = 0;
  int BitDepth = 0, ColourType = -1, Interlace = -1;
  std::vector<std::string> Chunks;
};

PngHeader ReadPngHeader(const std::string& path) {
  const auto bytes = ReadBytes(path);
  PngHeader header;
  if (bytes.size() < 33 || std::memcmp(bytes.data(), kPngSignature, 8) != 0) return header;
  for (std::size_t pos = 8; pos + 8 <= bytes.size();) {
    const std::uint32_t length = Be32(&bytes[pos]);
    const std::string name(reinterpret_cast<const char*>(&bytes[pos + 4]), 4);
    if (pos + 12 + length > bytes.size()) break;
    header.Chunks.push_back(name);
    if (name == "IHDR" && length == 13) {
      const std::uint8_t* d = &bytes[pos + 8];
      header.Width = Be32(d);
      header.Height = Be32(d + 4);
      header.BitDepth = d[8];
      header.ColourType = d[9];
      header.Interlace = d[12];
    }
    pos += 12 + length;
  }
  return header;
}

// Straight (not premultiplied) RGBA pixels, decoded by libpng.
struct RgbaImage {
  int Width = 0, Height = 0;
  std::vector<std::uint8_t> Pixels;
  [[nodiscard]] const std::uint8_t* At(int x, int y) const { return &Pixels[(static_cast<std::size_t>(y) * Width + x) * 4]; }
  [[nodiscard]] int Alpha(int x, int y) const { return At(x, y)[3]; }
  // Rec. 601 luma of the colour, 0..255.
  [[nodiscard]] double Luma(int x, int y) const { return 0.299 * At(x, y)[0] + 0.587 * At(x, y)[1] + 0.114 * At(x, y)[2]; }
};

RgbaImage ReadRgba(const std::string& path) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  RgbaImage out;
  if (png_image_begin_read_from_file(&image, path.c_str()) == 0) return out;
  image.format = PNG_FORMAT_RGBA;
  std::vector<std::uint8_t> pixels(PNG_IMAGE_SIZE(image));
  if (png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr) == 0) {
    png_image_free(&image);
    return out;
  }
  out.Width = static_cast<int>(image.width);
  out.Height = static_cast<int>(image.height);
  out.Pixels = std::move(pixels);
  return out;
}

struct HandImage {
  const char* File;
  int Width, Height;
  double PivotX, PivotY;  // in pixel-centre coordinates, as the program places the hand
};

constexpr HandImage kHands[] = {
    {"face/hours.png", 8, 50, 4.0, 42.5},
    {"face/minutes.png", 5, 58, 2.5, 51.0},
    {"face/seconds.png", 7, 72, 3.5, 61.0},
};

TEST(SkinFilesTest, HaveTheirSizesAsEightBitRgbaWithoutGamma) {
  struct Expected {
    const char* File;
    std::uint32_t Width, Height;
  };
  const Expected files[] = {{"face/clockface.png", 150, 150}, {"face/pma.png", 120, 120}, {"face/hours.png", 8, 50},
                            {"face/minutes.png", 5, 58},      {"face/seconds.png", 7, 72}};
  for (const auto& f : files) {
    SCOPED_TRACE(f.File);
    const PngHeader h = ReadPngHeader(AssetPath(f.File));
    ASSERT_FALSE(h.Chunks.empty()) << "not a readable PNG";
    EXPECT_EQ(h.Chunks.front(), "IHDR");
    EXPECT_EQ(h.Width, f.Width);
    EXPECT_EQ(h.Height, f.Height);
    EXPECT_EQ(h.BitDepth, 8);
    EXPECT_EQ(h.ColourType, 6) << "the loader gives opacity only to images with an alpha channel";
    EXPECT_EQ(h.Interlace, 0);
    // A gAMA chunk would make the loader re-map every colour sample.
    for (const auto& chunk : h.Chunks) EXPECT_NE(chunk, "gAMA");
    const RgbaImage img = ReadRgba(AssetPath(f.File));
    EXPECT_EQ(img.Width, static_cast<int>(f.Width)) << "libpng could not decode it";
  }
}

TEST(HandImagesTest, PivotLiesOnThePaintedAxis) {
  for (const auto& hand : kHands) {
    SCOPED_TRACE(hand.File);
    const RgbaImage img = ReadRgba(AssetPath(hand.File));
    ASSERT_EQ(img.Width, hand.Width);
    ASSERT_EQ(img.Height, hand.Height);
    double mass = 0, moment = 0;
    for (int y = 0; y < img.Height; ++y) {
      double row_mass = 0, row_moment = 0;
      for (int x = 0; x < img.Width; ++x) {
        row_mass += img.Alpha(x, y);
        row_moment += img.Alpha(x, y) * static_cast<double>(x);
      }
      if (row_mass < 64) continue;  // faint anti-aliasing rows say little about the axis
      EXPECT_NEAR(row_moment / row_mass, hand.PivotX, 0.35) << "row " << y << " leans off the axis";
      mass += row_mass;
      moment += row_moment;
    }
    ASSERT_GT(mass, 0);
    EXPECT_NEAR(moment / mass, hand.PivotX, 0.1);
    // The pivot itself is covered by the hand (its hub).
    const int px = static_cast<int>(std::lround(hand.PivotX - 0.25));
    const int py = static_cast<int>(std::floor(hand.PivotY));
    EXPECT_GE(img.Alpha(px, py), 200);
  }
}

TEST(HandImagesTest, PointToTwelveWithAShortTail) {
  for (const auto& hand : kHands) {
    SCOPED_TRACE(hand.File);
    const RgbaImage img = ReadRgba(AssetPath(hand.File));
    ASSERT_EQ(img.Height, hand.Height);
    int top = img.Height, bottom = -1, widest_row = -1;
    double above = 0, below = 0, widest = 0;
    std::vector<double> row_mass(img.Height, 0.0);
    for (int y = 0; y < img.Height; ++y) {
      for (int x = 0; x < img.Width; ++x) {
        const int a = img.Alpha(x, y);
        if (a >= 16) {
          top = std::min(top, y);
          bottom = std::max(bottom, y);
        }
        row_mass[y] += a;
        (y < hand.PivotY ? above : below) += a;
      }
      if (row_mass[y] > widest) {
        widest = row_mass[y];
        widest_row = y;
      }
    }
    ASSERT_GE(bottom, 0) << "nothing painted";
    EXPECT_LE(top, 2) << "the hand should reach the top of its image";
    const double tail = bottom - hand.PivotY;
    const double length = hand.PivotY - top;
    EXPECT_LE(tail, 11.0);
    EXPECT_GE(length, 4.0 * tail);
    EXPECT_GE(above, 2.0 * below) << "most of the hand lies above the pivot";
    // One unbroken shaft from the tip down to the pivot, and the hub, the
    // widest part, on the pivot: a hand drawn upside down fails here.
    for (int y = top + 1; y < hand.PivotY; ++y) EXPECT_GE(row_mass[y], 128.0) << "gap in the shaft at row " << y;
    EXPECT_NEAR(widest_row, hand.PivotY, 3.0) << "the widest row should be the hub";
  }
}

RgbaImage Face() { return ReadRgba(AssetPath("face/clockface.png")); }

TEST(ClockFaceTest, RimIsCentredOnTheTurningPoint) {
  const RgbaImage face = Face();
  ASSERT_EQ(face.Width, 150);
  double mass = 0, mx = 0, my = 0;
  for (int y = 0; y < face.Height; ++y) {
    for (int x = 0; x < face.Width; ++x) {
      if (std::hypot(x - 75.0, y - 75.0) < 70.5) continue;
      mass += face.Alpha(x, y);
      mx += face.Alpha(x, y) * static_cast<double>(x);
      my += face.Alpha(x, y) * static_cast<double>(y);
    }
  }
  ASSERT_GT(mass, 0);
  EXPECT_NEAR(mx / mass, 75.0, 0.15);
  EXPECT_NEAR(my / mass, 75.0, 0.15);
  for (const auto& [x, y] : {std::pair{0, 0}, {149, 0}, {0, 149}, {149, 149}}) EXPECT_EQ(face.Alpha(x, y), 0) << x << "," << y;
}

TEST(ClockFaceTest, TextLiesOnDarkOpaqueGround) {
  const RgbaImage face = Face();
  ASSERT_EQ(face.Width, 150);
  struct Area {
    const char* What;
    int Left, Top, Right, Bottom;  // inclusive
    int MinAlpha;
    double MaxLuma;
  };
  // The dim segments (luma about 62) must stay visible on the read-out's
  // ground; the label and the date are light text on the dial and the tab.
  const Area areas[] = {
      {"read-out", 41, 86, 121, 104, 255, 30.0},
      {"date", 57, 107, 96, 116, 255, 30.0},
      {"label", 63, 55, 92, 63, 235, 60.0},
  };
  for (const auto& area : areas) {
    SCOPED_TRACE(area.What);
    for (int y = area.Top; y <= area.Bottom; ++y) {
      for (int x = area.Left; x <= area.Right; ++x) {
        ASSERT_GE(face.Alpha(x, y), area.MinAlpha) << "at " << x << "," << y;
        ASSERT_LE(face.Luma(x, y), area.MaxLuma) << "at " << x << "," << y;
      }
    }
  }
}

TEST(ClockFaceTest, DialIsTranslucentTowardsTheRim) {
  const RgbaImage face = Face();
  ASSERT_EQ(face.Width, 150);
  int ring = 0, translucent = 0;
  for (int y = 0; y < face.Height; ++y) {
    for (int x = 0; x < face.Width; ++x) {
      const double r = std::hypot(x - 75.0, y - 75.0);
      if (r < 55 || r > 62) continue;  // between the read-out and the hour marks
      ++ring;
      if (face.Alpha(x, y) > 64 && face.Alpha(x, y) < 240) ++translucent;
    }
  }
  ASSERT_GT(ring, 0);
  EXPECT_GT(translucent, ring * 3 / 4) << "the dial should let the desktop through";
}

TEST(IconFileTest, HoldsEverySmallIconSizeAtThirtyTwoBits) {
  const auto ico = ReadBytes(AssetPath("icon/vesk_clock.ico"));
  ASSERT_GE(ico.size(), 6u);
  EXPECT_EQ(Le16(&ico[0]), 0);
  EXPECT_EQ(Le16(&ico[2]), 1) << "resource type 1 is an icon";
  const int count = Le16(&ico[4]);
  // The small-icon sizes of 100, 125, 150, 200 and 250 %, then the large
  // ones.
  const int sizes[] = {16, 20, 24, 32, 40, 48, 256};
  ASSERT_EQ(count, static_cast<int>(std::size(sizes)));
  ASSERT_GE(ico.size(), 6u + 16u * count);
  std::size_t end_of_previous = 6 + 16 * count;
  for (int i = 0; i < count; ++i) {
    SCOPED_TRACE(sizes[i]);
    const std::uint8_t* e = &ico[6 + 16 * i];
    EXPECT_EQ(e[0] == 0 ? 256 : e[0], sizes[i]);
    EXPECT_EQ(e[1] == 0 ? 256 : e[1], sizes[i]);
    EXPECT_EQ(Le16(e + 4), 1);   // planes
    EXPECT_EQ(Le16(e + 6), 32);  // bits per pixel
    const std::uint32_t length = Le32(e + 8), offset = Le32(e + 12);
    ASSERT_EQ(offset, end_of_previous) << "images follow each other without gaps";
    ASSERT_LE(static_cast<std::size_t>(offset) + length, ico.size());
    end_of_previous = offset + length;
    const std::uint8_t* body = &ico[offset];
    if (sizes[i] == 256) {
      EXPECT_EQ(std::memcmp(body, kPngSignature, 8), 0) << "the 256-pixel image is stored as PNG";
      continue;
    }
    // BITMAPINFOHEADER, BGRA rows bottom-up, then the AND mask.
    const int n = sizes[i];
    ASSERT_EQ(length, 40u + n * n * 4u + ((n + 31) / 32) * 4u * n);
    EXPECT_EQ(Le32(body), 40u);
    EXPECT_EQ(static_cast<int>(Le32(body + 4)), n);
    EXPECT_EQ(static_cast<int>(Le32(body + 8)), 2 * n);
    EXPECT_EQ(Le16(body + 14), 32);
    int clear = 0, opaque = 0;
    for (int p = 0; p < n * n; ++p) {
      const int a = body[40 + p * 4 + 3];
      clear += a == 0;
      opaque += a == 255;
    }
    EXPECT_GT(clear, 0) << "round icon: the corners are transparent";
    EXPECT_GT(opaque, n * n / 3) << "and most of it is solid";
  }
  EXPECT_EQ(end_of_previous, ico.size());
}

}  // namespace

// ---- the face and the hands at the display scales ---------------------------

struct ScaledSet {
  int Percent;
  double S;
};
constexpr ScaledSet kScaledSets[] = {{125, 1.25}, {150, 1.5}, {175, 1.75}, {200, 2.0}, {250, 2.5}, {300, 3.0}};

std::string ScaledFile(const char* file, int percent) {
  const std::string f = file;
  return f.substr(0, f.size() - 4) + ".scale-" + std::to_string(percent) + ".png";
}

// The alpha-weighted centre of an image, in pixel-centre coordinates.
std::pair<double, double> Centroid(const RgbaImage& img) {
  double mass = 0, mx = 0, my = 0;
  for (int y = 0; y < img.Height; ++y) {
    for (int x = 0; x < img.Width; ++x) {
      mass += img.Alpha(x, y);
      mx += img.Alpha(x, y) * static_cast<double>(x);
      my += img.Alpha(x, y) * static_cast<double>(y);
    }
  }
  return {mx / mass, my / mass};
}

// Each scaled image is the 100 % drawing zoomed by s about its top-left
// corner: its size is ceil(size x s), and its painted mass has its centre
// where the corner-anchored scaling takes the 100 % image's centre,
// (c + 0.5) s - 0.5. So each pivot, a point of the drawing, lands at
// (p + 0.5) s - 0.5, where the program turns the scaled hand. Across the
// hands' axes this holds to a few hundredths of a pixel; along them the
// anti-aliased points and hairlines of the small 100 % images shift the
// centre by up to about 0.4 s (measured 0.2 to 0.85 px).
TEST(ScaledSkinFilesTest, AreTheDrawingZoomedAboutItsCorner) {
  struct Image {
    const char* File;
    int Width, Height;
  };
  const Image images[] = {{"face/clockface.png", 150, 150},
                          {"face/hours.png", 8, 50},
                          {"face/minutes.png", 5, 58},
                          {"face/seconds.png", 7, 72}};
  for (const Image& image : images) {
    const RgbaImage base = ReadRgba(AssetPath(image.File));
    ASSERT_EQ(base.Width, image.Width);
    const auto [bx, by] = Centroid(base);
    for (const ScaledSet& set : kScaledSets) {
      const std::string file = ScaledFile(image.File, set.Percent);
      SCOPED_TRACE(file);
      const PngHeader h = ReadPngHeader(AssetPath(file));
      ASSERT_FALSE(h.Chunks.empty()) << "not a readable PNG";
      EXPECT_EQ(h.BitDepth, 8);
      EXPECT_EQ(h.ColourType, 6);
      for (const auto& chunk : h.Chunks) EXPECT_NE(chunk, "gAMA");
      const RgbaImage img = ReadRgba(AssetPath(file));
      EXPECT_EQ(img.Width, static_cast<int>(std::ceil(image.Width * set.S)));
      EXPECT_EQ(img.Height, static_cast<int>(std::ceil(image.Height * set.S)));
      const auto [cx, cy] = Centroid(img);
      EXPECT_NEAR(cx, (bx + 0.5) * set.S - 0.5, 0.03 * set.S);
      EXPECT_NEAR(cy, (by + 0.5) * set.S - 0.5, image.Width == 150 ? 0.1 * set.S : 0.45 * set.S);
    }
  }
}

TEST(ScaledSkinFilesTest, HandPivotsLieOnTheScaledAxisAndHub) {
  for (const auto& hand : kHands) {
    for (const ScaledSet& set : kScaledSets) {
      const std::string file = ScaledFile(hand.File, set.Percent);
      SCOPED_TRACE(file);
      const RgbaImage img = ReadRgba(AssetPath(file));
      ASSERT_GT(img.Width, 0);
      const double px = (hand.PivotX + 0.5) * set.S - 0.5;
      const double py = (hand.PivotY + 0.5) * set.S - 0.5;
      EXPECT_NEAR(Centroid(img).first, px, 0.05 * set.S);
      // The pivot is covered by the hub.
      EXPECT_GE(img.Alpha(static_cast<int>(std::lround(px - 0.25)), static_cast<int>(std::floor(py))), 200);
    }
  }
}
