// Which font the face's text is drawn with: the face asked for when the
// system has it, else the bundled substitute at its own size (condensed to
// fit where it must), else a system font fitted to the face.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>

#include "app/font_substitution.h"

namespace vesk::app {
namespace {

using platform::FontDesc;

FontDesc Font(const std::string& name, int size, std::int32_t color = 0x473D3E) {
  FontDesc f;
  f.Name = name;
  f.Size = size;
  f.Color = color;
  return f;
}

// A system with a set of installed families; any other name is matched to
// "Arial". Text is measured as (characters x em width) / 2, the em width
// being the em height when not set.
struct FakeSystem {
  std::set<std::string> installed;
  int face_queries = 0;
  int width_queries = 0;

  TFontQueries Queries() {
    TFontQueries q;
    q.FaceOf = [this](const FontDesc& f) {
      ++face_queries;
      for (const std::string& family : installed) {
        if (SameFaceName(family, f.Name)) return family;
      }
      return std::string("Arial");
    };
    q.TextWidth = [this](const FontDesc& f, std::string_view text) {
      ++width_queries;
      const int em = f.EmWidth > 0 ? f.EmWidth : platform::FontEmHeight(f);
      return static_cast<std::int32_t>(text.size()) * em / 2;
    };
    return q;
  }
};

TEST(FontSubstitution, RequestedSizesAreTakenAtNinetySixPixelsPerInch) {
  EXPECT_EQ(platform::FontEmHeight(Font("Digital", 14)), 19);
  EXPECT_EQ(platform::FontEmHeight(Font("hooge 05_55 Cyr2", 7)), 9);
  FontDesc pixel = Font("x", 7);
  pixel.PixelHeight = 16;
  EXPECT_EQ(platform::FontEmHeight(pixel), 16);
}

TEST(FontSubstitution, AnInstalledFaceIsUsedAsAsked) {
  FakeSystem system;
  system.installed = {"digital", "DSEG7 Classic"};  // the system's own spelling
  const FontDesc asked = Font("Digital", 14);
  EXPECT_EQ(ResolveFont(asked, system.Queries()), asked);
  EXPECT_EQ(system.width_queries, 0);
}

TEST(FontSubstitution, AMissingFaceTakesTheBundledFontAtItsOwnSize) {
  FakeSystem system;
  system.installed = {"ProggyTinyTT"};
  const FontDesc label = ResolveFont(Font("hooge 05_55 Cyr2", 7, 0xC29CA0), system.Queries());
  EXPECT_EQ(label.Name, "ProggyTinyTT");
  EXPECT_EQ(label.PixelHeight, 16);
  EXPECT_EQ(label.EmWidth, 0);
  EXPECT_EQ(label.Style, 0);
  EXPECT_EQ(label.Quality, platform::FontQuality::NonAntialiased);
  EXPECT_EQ(label.Color, 0xC29CA0);
  EXPECT_EQ(label.Size, 7);
}

TEST(FontSubstitution, TheSegmentFontIsCondensedToTheWidestEmThatFits) {
  FakeSystem system;
  system.installed = {"DSEG7 Classic"};
  // "88:88:88 am" is 11 characters: 11 x em / 2 <= 82 for em <= 15.
  const FontDesc digital = ResolveFont(Font("Digital", 14), system.Queries());
  EXPECT_EQ(digital.Name, "DSEG7 Classic");
  EXPECT_EQ(digital.PixelHeight, 19);
  EXPECT_EQ(digital.EmWidth, 15);
  EXPECT_EQ(digital.Style, platform::kFontBold);
  EXPECT_EQ(digital.Quality, platform::FontQuality::Antialiased);
}

TEST(FontSubstitution, FittingStopsAtHalfTheHeightAndKeepsNaturalProportionsWhenTheyFit) {
  // A renderer that measures every sample far too wide: nothing fits, so the
  // font is made half as wide as high (10 of 19). One that measures narrow:
  // the natural width fits and the font keeps its proportions (0).
  for (const auto& [percent, expected] : {std::pair{100, 10}, std::pair{1, 0}}) {
    TFontQueries q;
    q.FaceOf = [](const FontDesc& f) { return f.Name == "DSEG7 Classic" ? f.Name : std::string("Arial"); };
    q.TextWidth = [percent](const FontDesc& f, std::string_view text) {
      const int em = f.EmWidth > 0 ? f.EmWidth : platform::FontEmHeight(f);
      return static_cast<std::int32_t>(text.size()) * em * percent / 100;
    };
    EXPECT_EQ(ResolveFont(Font("Digital", 14), q).EmWidth, expected) << percent;
  }
}

// Neither the face asked for nor its bundled substitute: a system font at
// the size asked for, condensed until the samples fit, so the read-out stays
// in its window and the label and date on their ground. A face that is none
// of the clock's stays as asked.
TEST(FontSubstitution, WithoutTheBundledFontASystemFontFittedToTheFace) {
  struct Case {
    const char* what;
    std::set<std::string> installed;
    FontDesc asked;
    std::int32_t ppi;
    std::string face;
    std::int32_t height, em_width;
  };
  const Case cases[] = {
      // "88:88:88 pm" is 11 characters: 11 x em / 2 <= 82 from em 15 down.
      {"read-out, no font at all", {}, Font("Digital", 14), 96, "Arial", 19, 15},
      {"read-out at 200 %", {}, Font("Digital", 14), 192, "Arial", 37, 29},
      {"label, the system's first choice there", {"Tahoma"}, Font("hooge 05_55 Cyr2", 7), 96, "Tahoma", 9, 0},
      {"the bundled seven segments only (unusable letters too)", {"DSEG14 Classic"}, Font("Digital", 14), 96,
       "Arial", 19, 15},
  };
  for (const Case& c : cases) {
    FakeSystem system;
    system.installed = c.installed;
    const FontDesc f = ResolveFont(c.asked, system.Queries(), FaceScaleFor(c.ppi));
    EXPECT_EQ(f.Name, c.face) << c.what;
    EXPECT_EQ(f.PixelHeight, c.height) << c.what;
    EXPECT_EQ(f.EmWidth, c.em_width) << c.what;
    EXPECT_EQ(f.Quality, platform::FontQuality::Antialiased) << c.what;
    EXPECT_EQ(f.Color, c.asked.Color) << c.what;
  }
  FakeSystem none;
  const FontDesc other = Font("Tahoma", 8);
  EXPECT_EQ(ResolveFont(other, none.Queries()), other);
  EXPECT_EQ(FindFontSubstitute("Tahoma"), nullptr);
  EXPECT_NE(FindFontSubstitute("HOOGE 05_55 cyr2"), nullptr);
}

TEST(FontSubstitution, FaceNamesCompareWithoutLetterCase) {
  EXPECT_TRUE(SameFaceName("DSEG7 Classic", "dseg7 CLASSIC"));
  EXPECT_FALSE(SameFaceName("DSEG7 Classic", "DSEG7 Classi"));
  EXPECT_FALSE(SameFaceName("Digital", "Digita1"));
  EXPECT_TRUE(SameFaceName("", ""));
}

TEST(FontResolver, AsksTheSystemOncePerFontAndKeepsEachColour) {
  FakeSystem system;
  system.installed = {"DSEG7 Classic", "ProggyTinyTT"};
  TFontResolver resolver(system.Queries());
  const FontDesc ghost = resolver.Resolve(Font("Digital", 14, 0x473D3E));
  const int faces = system.face_queries;
  const int widths = system.width_queries;
  const FontDesc lit = resolver.Resolve(Font("Digital", 14, 0xC29CA0));
  EXPECT_EQ(system.face_queries, faces);
  EXPECT_EQ(system.width_queries, widths);
  EXPECT_EQ(ghost.Color, 0x473D3E);
  EXPECT_EQ(lit.Color, 0xC29CA0);
  EXPECT_EQ(lit.Name, ghost.Name);
  EXPECT_EQ(lit.EmWidth, ghost.EmWidth);
  // Another size is another question.
  static_cast<void>(resolver.Resolve(Font("Digital", 20)));
  EXPECT_GT(system.face_queries, faces);
}

}  // namespace
}  // namespace vesk::app
