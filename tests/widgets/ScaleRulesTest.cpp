// The scale's labels and layout, the animation's stepping and the panel's shadow shades.
#include <gtest/gtest.h>

#include <climits>

#include "widgets/AnimateRules.h"
#include "widgets/ScaleRules.h"

using namespace widgets;

TEST(ScaleRules, DecibelScaleReadsFromMinusFortyToZero) {
  ScaleSettings s;
  s.minValue = -40;
  s.maxValue = 0;
  s.leadingZero = true;
  s.digits = 2;
  std::vector<std::string> texts;
  for (const ScaleLabel& l : ScaleLabels(s)) texts.push_back(l.text);
  EXPECT_EQ(texts, (std::vector<std::string>{"-40", "-32", "-24", "-16", "-08", "00"}));
}

TEST(ScaleRules, LabelText) {
  struct Case {
    int value, digits;
    bool leadingZero, showSign;
    const char* text;
  } cases[] = {
      {-8, 2, true, true, "-08"}, {0, 2, true, true, "00"},
      {5, 3, true, true, "+005"}, {5, 3, false, true, "+5"},
      {5, 3, false, false, "5"},  {-120, 2, true, false, "-120"},
      {0, 1, false, true, "0"},   {INT_MIN, 1, false, false, "-2147483648"},
  };
  for (const Case& c : cases) EXPECT_EQ(ScaleLabelText(c.value, c.digits, c.leadingZero, c.showSign), c.text);
}

TEST(ScaleRules, StepIsAnIntegerDivision) {
  ScaleSettings s;
  s.maxValue = 99;
  s.ticks = 5;
  const auto labels = ScaleLabels(s);
  ASSERT_EQ(labels.size(), 6u);
  EXPECT_EQ(labels.back().value, 95) << "ends below the maximum";
  EXPECT_FALSE(labels[4].peak);  // 76 < 80
  EXPECT_TRUE(labels[5].peak);
  s.ticks = 0;  // no steps would divide by zero: one step is taken
  EXPECT_EQ(ScaleLabels(s).size(), 2u);
}

TEST(ScaleRules, CellsAndTickMarks) {
  EXPECT_EQ(ScaleCell(0, 5, false, 215, 11), (ui::Rect{0, 0, 35, 11}));
  EXPECT_EQ(ScaleCell(2, 5, false, 215, 11), (ui::Rect{70, 0, 105, 11}));
  EXPECT_EQ(ScaleCell(0, 5, true, 20, 60), (ui::Rect{0, 50, 20, 60})) << "vertical: cell 0 at the bottom";
  EXPECT_EQ(ScaleCell(5, 5, true, 20, 60), (ui::Rect{0, 0, 20, 10}));
  const ui::Rect cell{0, 0, 35, 11};
  EXPECT_TRUE(ScaleTickLines(cell, false, tmNone, 4, 5, 215, 30).empty());
  EXPECT_EQ(ScaleTickLines(cell, false, tmTopLeft, 4, 5, 215, 30), (std::vector<TickLine>{{{17, 4}, {17, 9}}}));
  EXPECT_EQ(ScaleTickLines(cell, false, tmBoth, 4, 5, 215, 30),
            (std::vector<TickLine>{{{17, 4}, {17, 9}}, {{17, 21}, {17, 26}}}));
  EXPECT_EQ(ScaleTickLines({0, 50, 20, 60}, true, tmBottomRight, 2, 3, 20, 60),
            (std::vector<TickLine>{{{15, 55}, {18, 55}}}));
}

TEST(AnimateRules, Stepping) {
  struct Case {
    int frame, frames;
    bool loop;
    FrameStep next;
  } cases[] = {{0, 3, true, {1, false}}, {2, 3, true, {0, false}}, {2, 3, false, {2, true}},
               {0, 1, false, {0, true}}, {0, 1, true, {0, false}}, {1, 3, false, {2, false}}};
  for (const Case& c : cases) EXPECT_EQ(NextFrame(c.frame, c.frames, c.loop), c.next) << c.frame << "/" << c.frames;
}

TEST(AnimateRules, FrameRectangles) {
  EXPECT_EQ(FrameSource(5, 4, 10, 8), (ui::Rect{10, 8, 20, 16})) << "column 1, row 1";
  EXPECT_EQ(FrameDest(50, 50, 32, 32, false), (ui::Rect{9, 9, 41, 41}));
  EXPECT_EQ(FrameDest(50, 50, 32, 32, true), (ui::Rect{0, 0, 50, 50}));
  EXPECT_EQ(FrameDest(20, 20, 31, 31, false).left, -5) << "truncates toward zero";
}

TEST(DisplayRules, ShadeRunsFromTheFirstColourTowardTheSecond) {
  EXPECT_EQ(ShadeColor(0x5E7766, 0x7C9885, 0, 5), 0x5E7766u);
  EXPECT_EQ(ShadeColor(0x000000, 0x0A0A0A, 3, 5), 0x060606u);
  EXPECT_EQ(ShadeColor(0x0A0A0A, 0x000000, 3, 5), 0x040404u) << "toward a darker colour";
  EXPECT_EQ(ShadeColor(0x123456, 0xFFFFFF, 0, 0), 0x123456u);
}
