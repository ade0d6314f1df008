// The read-out's and the date's text, and the four text items of the face.
#include <gtest/gtest.h>

#include <clocale>

#include "app/clock_text_format.h"
#include "app/face_text_layout.h"

namespace vesk::app {
namespace {

TLocalTime At(int y, int mo, int d, int h, int mi, int s) { return {y, mo, d, h, mi, s, 0}; }

TEST(FormatClockTime, TwelveHourClockWithLowerCaseMarker) {
  struct Row {
    int h, m, s;
    const char* expected;
  };
  const Row rows[] = {
      {21, 5, 3, "09:05:03 pm"}, {0, 0, 0, "12:00:00 am"},   {12, 0, 0, "12:00:00 pm"},
      {11, 59, 59, "11:59:59 am"}, {13, 30, 0, "01:30:00 pm"}, {1, 2, 3, "01:02:03 am"},
      {23, 59, 59, "11:59:59 pm"},
  };
  for (const Row& r : rows) EXPECT_EQ(FormatClockTime(At(2024, 1, 1, r.h, r.m, r.s)), r.expected);
}

TEST(FormatClockDate, TwoDigitDayAndEnglishMonth) {
  EXPECT_EQ(FormatClockDate(At(2026, 12, 6, 0, 0, 0)), "06 Dec");
  EXPECT_EQ(FormatClockDate(At(2026, 1, 31, 0, 0, 0)), "31 Jan");
  const char* months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  for (int m = 1; m <= 12; ++m) EXPECT_EQ(FormatClockDate(At(2026, m, 10, 0, 0, 0)), std::string("10 ") + months[m - 1]);
}

TEST(FormatClockText, IgnoresTheProcessLocale) {
  // Whatever locale is available here, the text must not change with it.
  const std::string before_time = FormatClockTime(At(2024, 5, 6, 21, 5, 3));
  const std::string before_date = FormatClockDate(At(2024, 5, 6, 21, 5, 3));
  for (const char* name : {"de_DE.UTF-8", "fr_FR.UTF-8", "C.UTF-8", ""}) {
    if (std::setlocale(LC_ALL, name) == nullptr) continue;
    EXPECT_EQ(FormatClockTime(At(2024, 5, 6, 21, 5, 3)), before_time) << name;
    EXPECT_EQ(FormatClockDate(At(2024, 5, 6, 21, 5, 3)), before_date) << name;
  }
  std::setlocale(LC_ALL, "C");
  EXPECT_EQ(before_date, "06 May");
}

TEST(FaceTextLayout, FourItemsInDrawingOrder) {
  std::string measured_text, measured_face;
  int measured_size = 0;
  const TFaceTextLayout items = MakeFaceTextLayout(At(2026, 12, 6, 21, 5, 3), [&](const TFaceTextItem& item) {
    measured_text = item.Text;
    measured_face = item.Font.Name;
    measured_size = item.Font.Size;
    return 35;
  });
  // The date is measured in its own font, the label's.
  EXPECT_EQ(measured_text, "06 Dec");
  EXPECT_EQ(measured_face, "hooge 05_55 Cyr2");
  EXPECT_EQ(measured_size, 7);

  EXPECT_EQ(items[0].Text, "88:88:88");
  EXPECT_EQ(items[0].Font.Name, "Digital");
  EXPECT_EQ(items[0].Font.Size, 14);
  EXPECT_EQ(items[0].Font.Color, 0x473D3E);
  EXPECT_EQ(items[0].Position, (vesk::TPoint{41, 86}));

  EXPECT_EQ(items[1].Text, "09:05:03 pm");
  EXPECT_EQ(items[1].Font.Name, "Digital");
  EXPECT_EQ(items[1].Font.Color, 0xC29CA0);
  EXPECT_EQ(items[1].Position, (vesk::TPoint{41, 86}));

  EXPECT_EQ(items[2].Text, "clock");
  EXPECT_EQ(items[2].Font.Name, "hooge 05_55 Cyr2");
  EXPECT_EQ(items[2].Font.Size, 7);
  EXPECT_EQ(items[2].Font.Color, 0xC29CA0);
  EXPECT_EQ(items[2].Position, (vesk::TPoint{63, 55}));

  EXPECT_EQ(items[3].Text, "06 Dec");
  EXPECT_EQ(items[3].Font.Color, 0xC29CA0);
  EXPECT_EQ(items[3].Position, (vesk::TPoint{59, 107}));
}

TEST(FaceTextLayout, DateIsCentredWithTruncatingHalving) {
  const std::pair<int, int> rows[] = {{33, 60}, {34, 60}, {35, 59}, {36, 59}, {30, 61}, {37, 58}, {0, 76}};
  for (const auto& [width, x] : rows) {
    const TFaceTextLayout items = MakeFaceTextLayout(At(2026, 1, 1, 0, 0, 0), [w = width](const TFaceTextItem&) { return w; });
    EXPECT_EQ(items[3].Position.X, x) << "width " << width;
    EXPECT_EQ(items[3].Position.Y, 107);
  }
}


}  // namespace
}  // namespace vesk::app

#include "app/face_text_runs.h"

namespace vesk::app {
namespace {

TEST(FaceTextRuns, LettersAreDrawnInTheLetterFontWhereTheWholeTextWouldPutThem) {
  platform::FontDesc digits, letters;
  digits.Name = "Seven";
  letters.Name = "Fourteen";
  // Every character 10 px in the digit font, 12 in the letter font.
  auto width = [](const platform::FontDesc& f, std::string_view t) {
    return static_cast<std::int32_t>(t.size()) * (f.Name == "Seven" ? 10 : 12);
  };
  const std::vector<TTextRun> runs = TextRuns("09:15:45 pm", digits, letters, width);
  ASSERT_EQ(runs.size(), 2u);
  EXPECT_EQ(runs[0].Text, "09:15:45 ");
  EXPECT_EQ(runs[0].Font.Name, "Seven");
  EXPECT_EQ(runs[0].X, 0);
  EXPECT_EQ(runs[1].Text, "pm");
  EXPECT_EQ(runs[1].Font.Name, "Fourteen");
  EXPECT_EQ(runs[1].X, 90);
  EXPECT_EQ(TextRuns("a1b", digits, letters, width).back().X, 22);
  // One font for both: the text as one run.
  EXPECT_EQ(TextRuns("09:15:45 pm", digits, digits, width).size(), 1u);
}

}  // namespace
}  // namespace vesk::app
