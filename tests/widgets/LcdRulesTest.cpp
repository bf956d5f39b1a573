// What the seven-segment number and clock show, and their widths.
#include <gtest/gtest.h>

#include <climits>

#include "widgets/LcdRules.h"

using namespace widgets;

TEST(LcdRules, NumberText) {
  struct Case {
    long long value;
    int digits;
    bool leadingZero, zeroBlank;
    const char* text;
  } cases[] = {
      {7, 3, true, false, "007"},     // the group number
      {100, 3, false, false, "100"},  // the volume
      {7, 3, false, false, "  7"},    // blanks by default
      {-5, 2, false, false, " 5"},    // the sign has its own place
      {-5, 2, true, false, "05"},
      {0, 4, false, true, "    "},  // zero blank: all blank glyphs
      {0, 3, true, true, "000"},    // leading zeros win over zero blank
      {0, 2, false, false, " 0"},
      {12345678, 7, true, false, "12345678"},  // a longer text is not cut
      {LLONG_MIN, 1, false, false, "9223372036854775808"},
      {5, 0, false, false, "5"},  // places clamped to 1..16
      {5, 40, true, false, "0000000000000005"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(NumText(c.value, c.digits, c.leadingZero, c.zeroBlank), c.text);
  }
}

TEST(LcdRules, NumberGlyphsPutTheSignPlaceFirst) {
  EXPECT_EQ(NumGlyphs(-5, 2, false, false, true), (std::vector<int>{kGlyphMinusOn, kGlyphBlank, 5}));
  EXPECT_EQ(NumGlyphs(-5, 2, true, false, true), (std::vector<int>{kGlyphMinusOn, 0, 5}));
  EXPECT_EQ(NumGlyphs(5, 2, false, false, true), (std::vector<int>{kGlyphMinusOff, kGlyphBlank, 5}));
  EXPECT_EQ(NumGlyphs(0, 2, false, true, false), (std::vector<int>{kGlyphBlank, kGlyphBlank}));
  EXPECT_EQ(NumGlyphs(42, 3, true, false, false), (std::vector<int>{0, 4, 2}));
}

TEST(LcdRules, NumberWidthAndPlacement) {
  EXPECT_EQ(NumAutoWidth(3, 7, 2), 25);
  EXPECT_EQ(NumContentWidth(3, 7, 2, false), 25);
  EXPECT_EQ(NumContentWidth(2, 13, 2, true), 43) << "sign place: (digits + 1) glyphs, digits spaces";
  EXPECT_EQ(NumStartX(naLeftJustify, 100, 25), 0);
  EXPECT_EQ(NumStartX(naRightJustify, 100, 25), 75);
  EXPECT_EQ(NumStartX(naCenter, 100, 25), 37);
  EXPECT_EQ(NumStartX(naCenter, 20, 25), -2) << "truncates toward zero";
}

TEST(LcdRules, ImageSets) {
  struct Case {
    TVrNumStyle style;
    int glyph, height;
    const char* strip;
  } cases[] = {{ns13x24, 13, 24, "NUM13x24"},
               {ns11x20, 11, 20, "NUM11x20"},
               {ns7x13, 7, 13, "NUM7x13"},
               {ns12x17, 12, 17, "NUM12x17"},
               {ns5x7, 4, 7, "NUM5x7"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.strip);
    EXPECT_EQ(LcdImagesOf(c.style).GlyphWidth(), c.glyph);
    EXPECT_EQ(LcdImagesOf(c.style).height, c.height);
    EXPECT_STREQ(LcdImagesOf(c.style).strip, c.strip);
  }
}

TEST(LcdRules, ClockWidths) {
  const LcdImageSet& s7 = LcdImagesOf(ns7x13);
  EXPECT_EQ(ClockContentWidth(s7.GlyphWidth(), s7.colonWidth, 2, true, 0), 62) << "the main window's clocks";
  EXPECT_EQ(ClockContentWidth(s7.GlyphWidth(), s7.colonWidth, 2, false, 0), 4 * 7 + 3 + 8);
  EXPECT_EQ(ClockContentWidth(13, 6, 2, false, 20), 4 * 13 + 6 + 8 + 10 + 2) << "half the AM/PM image";
}

TEST(LcdRules, ClockText) {
  EXPECT_EQ(ClockText({9, 5, 3}, true), "09:05:03");
  EXPECT_EQ(ClockText({23, 59, 7}, false), "23:59");
  EXPECT_EQ(ClockText({0, 0, 0}, true), "00:00:00");
}

TEST(LcdRules, TimeOfDayWrapsAroundADay) {
  struct Case {
    long long seconds;
    ClockTime t;
  } cases[] = {{0, {0, 0, 0}},        {1, {0, 0, 1}},
               {36000, {10, 0, 0}},   {25 * 3600, {1, 0, 0}},  // an elapsed time of a day and an hour
               {86399, {23, 59, 59}}, {-1, {23, 59, 59}}};
  for (const Case& c : cases) EXPECT_EQ(TimeOfDay(c.seconds), c.t) << c.seconds;
}

TEST(LcdRules, TwelveHourClock) {
  const int hours[][2] = {{0, 12}, {1, 1}, {11, 11}, {12, 12}, {13, 1}, {23, 11}};
  for (auto [h24, h12] : hours) EXPECT_EQ(Hours12(h24), h12) << h24;
}
