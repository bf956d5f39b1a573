#include "widgets/SliderRules.h"

#include <gtest/gtest.h>

using namespace widgets;

namespace {

// The volume fader: vertical, 0..1000, thumb 30 x 13.
SliderGeometry Fader(int width = 40, int height = 100) {
  SliderGeometry g;
  g.client = {0, 0, width, height};
  g.thumbWidth = 30;
  g.thumbHeight = 13;
  g.maxValue = 1000;
  return g;
}

SliderGeometry Horizontal(TVrSliderStyle style) {
  SliderGeometry g;
  g.client = {0, 0, 100, 30};
  g.thumbWidth = 13;
  g.thumbHeight = 30;
  g.vertical = false;
  g.style = style;
  return g;
}

}  // namespace

TEST(SliderRules, RoundsHalvesToEven) {
  const long long cases[][3] = {{5, 2, 2}, {7, 2, 4}, {1, 3, 0}, {2, 3, 1}, {-5, 2, -2}, {-7, 2, -4}, {10, 5, 2}};
  for (auto& c : cases) EXPECT_EQ(RoundedDiv(c[0], c[1]), c[2]) << c[0] << "/" << c[1];
}

TEST(SliderRules, VerticalFaderHasItsMinimumAtTheBottom) {
  const SliderGeometry g = Fader();
  // Travel: inset by border 1 + indent 2 = 3 → rows 3..97, span 94 - 13 = 81.
  EXPECT_EQ(g.Travel(), (ui::Rect{3, 3, 37, 97}));
  EXPECT_EQ(g.Thumb(0), (ui::Rect{5, 84, 35, 97}));
  EXPECT_EQ(g.Thumb(1000), (ui::Rect{5, 3, 35, 16}));
  EXPECT_EQ(g.Thumb(500).top, 3 + 81 - 40) << "81 x 0.5 = 40.5 rounds to 40";
  EXPECT_EQ(g.PositionAt(84), 0);
  EXPECT_EQ(g.PositionAt(3), 1000);
  EXPECT_EQ(g.PositionAt(500), 0) << "beyond the bottom clamps";
  EXPECT_EQ(g.PositionAt(-50), 1000) << "beyond the top clamps";
}

TEST(SliderRules, ThumbEdgeAndPositionRoundTrip) {
  for (TVrSliderStyle style : {ssBottomLeft, ssTopRight}) {
    for (bool vertical : {true, false}) {
      SliderGeometry g = vertical ? Fader() : Horizontal(style);
      g.style = style;
      g.minValue = -20;
      g.maxValue = 61;  // one step per pixel on the vertical fader
      for (int pos = g.minValue; pos <= g.maxValue; ++pos) {
        const ui::Rect t = g.Thumb(pos);
        const int edge = vertical ? t.top : t.left;
        if (vertical) {
          EXPECT_EQ(g.PositionAt(edge), pos) << "style " << style << " pos " << pos;
        }
        const int back = g.PositionAt(edge);
        EXPECT_EQ(vertical ? g.Thumb(back).top : g.Thumb(back).left, edge) << "pos " << pos;
      }
    }
  }
}

TEST(SliderRules, HorizontalStylesPutTheMinimumLeftOrRight) {
  const SliderGeometry left = Horizontal(ssBottomLeft), right = Horizontal(ssTopRight);
  EXPECT_EQ(left.Thumb(0).left, 3);
  EXPECT_EQ(left.Thumb(100).right, 97);
  EXPECT_EQ(right.Thumb(0).right, 97);
  EXPECT_EQ(right.Thumb(100).left, 3);
  EXPECT_EQ(right.PositionAt(3), 100);
  EXPECT_EQ(left.Thumb(0).top, 0) << "centred across";
}

TEST(SliderRules, DegenerateRangesAndTravelsStayAtTheMinimum) {
  SliderGeometry g = Fader(40, 10);  // travel shorter than the thumb
  EXPECT_EQ(g.PositionAt(5), 0);
  EXPECT_EQ(g.Thumb(700).bottom, 7);
  g = Fader();
  g.maxValue = g.minValue;
  EXPECT_EQ(g.PositionAt(40), 0);
  EXPECT_EQ(g.Thumb(0).bottom, 97);
}

TEST(SliderRules, LitPartRunsFromTheMinimumToTheThumbCentre) {
  const ui::Rect track{2, 2, 38, 98};
  SliderGeometry g = Fader();
  const ui::Rect thumb{5, 40, 35, 53};
  EXPECT_EQ(g.LitPart(track, thumb), (ui::Rect{2, 46, 38, 98}));
  g.style = ssTopRight;
  EXPECT_EQ(g.LitPart(track, thumb), (ui::Rect{2, 2, 38, 47}));
  SliderGeometry h = Horizontal(ssBottomLeft);
  const ui::Rect hthumb{20, 0, 33, 30};
  EXPECT_EQ(h.LitPart({2, 2, 98, 28}, hthumb), (ui::Rect{2, 2, 26, 28}));
  h.style = ssTopRight;
  EXPECT_EQ(h.LitPart({2, 2, 98, 28}, hthumb), (ui::Rect{27, 2, 98, 28}));
}

TEST(SliderRules, TicksStartAtTheMinimumEnd) {
  struct Case {
    bool vertical;
    TVrSliderStyle style;
    int width, tick, spacing;
    ui::Rect first, second;
    std::size_t count;
  };
  const Case cases[] = {
      {true, ssBottomLeft, 4, 1, 1, {0, 9, 4, 10}, {0, 7, 4, 8}, 7},
      {true, ssTopRight, 4, 1, 1, {0, 0, 4, 1}, {0, 2, 4, 3}, 7},
      {false, ssBottomLeft, 10, 2, 1, {0, 0, 2, 10}, {3, 0, 5, 10}, 5},
      {false, ssTopRight, 4, 2, 1, {2, 0, 4, 10}, {-1, 0, 1, 10}, 3},
  };
  for (const Case& c : cases) {
    const auto ticks = TrackTicks(c.width, 10, c.vertical, c.style, c.tick, c.spacing);
    ASSERT_EQ(ticks.size(), c.count);
    EXPECT_EQ(ticks[0], c.first);
    EXPECT_EQ(ticks[1], c.second);
  }
  EXPECT_TRUE(TrackTicks(10, 10, true, ssBottomLeft, 0, 1).empty()) << "a zero tick never loops";
}

TEST(SliderRules, ArrowKeysStepAlongTheTravel) {
  struct Case {
    bool vertical;
    TVrSliderStyle style;
    SliderKey key;
    int from;
    std::optional<int> to;
  };
  const Case cases[] = {
      {true, ssBottomLeft, SliderKey::Up, 500, 501},     {true, ssBottomLeft, SliderKey::Down, 500, 499},
      {true, ssBottomLeft, SliderKey::Left, 500, {}},    {true, ssBottomLeft, SliderKey::Home, 500, 0},
      {true, ssBottomLeft, SliderKey::End, 500, 1000},   {true, ssTopRight, SliderKey::Up, 500, 499},
      {false, ssBottomLeft, SliderKey::Right, 500, 501}, {false, ssTopRight, SliderKey::Right, 500, 499},
      {false, ssBottomLeft, SliderKey::Up, 500, {}},     {true, ssBottomLeft, SliderKey::Up, 1000, 1000},
      {true, ssBottomLeft, SliderKey::Down, 0, 0},
  };
  for (const Case& c : cases) {
    SliderGeometry g = Fader();
    g.vertical = c.vertical;
    g.style = c.style;
    EXPECT_EQ(PositionAfterKey(c.key, c.from, g, 1), c.to) << int(c.key) << " from " << c.from;
  }
}

TEST(SliderRules, SpinnerSplitsIntoTwoButtons) {
  SpinnerHalves v = SplitSpinner(20, 41, true);
  EXPECT_EQ(v.first, (ui::Rect{0, 0, 20, 20}));
  EXPECT_EQ(v.second, (ui::Rect{0, 19, 20, 41})) << "one shared row";
  SpinnerHalves h = SplitSpinner(10, 21, false);
  EXPECT_EQ(h.first, (ui::Rect{0, 0, 7, 21})) << "widened to 15";
  EXPECT_EQ(h.second, (ui::Rect{7, 0, 14, 21}));
}
