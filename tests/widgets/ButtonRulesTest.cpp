#include "widgets/ButtonRules.h"

#include <gtest/gtest.h>

using namespace widgets;

TEST(ButtonRules, AcceleratorIsTheCharacterAfterASingleAmpersand) {
  struct Case {
    const char* caption;
    char marked;
  };
  const Case cases[] = {
      {"&Exit", 'E'},
      {"Sa&ve and Exit", 'v'},
      {"Rock && Roll", 0},
      {"Rock && &Roll", 'R'},
      {"&&&x", 'x'},
      {"Trailing&", 0},
      {"", 0},
      {"No mark", 0},
      {"&1 preset", '1'},
      {"two &a &b", 'a'},
  };
  for (const Case& c : cases) EXPECT_EQ(AcceleratorOf(c.caption), c.marked) << c.caption;
}

TEST(ButtonRules, TypedAcceleratorMatchesRegardlessOfCase) {
  EXPECT_TRUE(IsAccelerator('e', "&Exit"));
  EXPECT_TRUE(IsAccelerator('E', "&exit"));
  EXPECT_TRUE(IsAccelerator('\xE4', "&\xC4rger"));  // ä types Ä
  EXPECT_FALSE(IsAccelerator('x', "&Exit"));
  EXPECT_FALSE(IsAccelerator('&', "Rock && Roll"));
  EXPECT_FALSE(IsAccelerator(0, "No mark"));
}

TEST(ButtonRules, LayoutShrinksByOutlineAndBevelAndShiftsWhenDown) {
  struct Case {
    int outline, bevel;
    bool down;
    ui::Point tile;
    ui::Rect bevelRect, caption;
  };
  const ui::Rect client{0, 0, 57, 56};
  const Case cases[] = {
      {2, 0, false, {0, 0}, {2, 2, 55, 54}, {2, 2, 55, 54}},
      {2, 0, true, {1, 1}, {2, 2, 55, 54}, {3, 3, 56, 55}},
      {1, 2, false, {0, 0}, {1, 1, 56, 55}, {3, 3, 54, 53}},
      {0, 0, true, {1, 1}, {0, 0, 57, 56}, {1, 1, 58, 57}},
  };
  for (const Case& c : cases) {
    const ButtonFace f = LayOutButton(client, c.outline, c.bevel, c.down);
    EXPECT_EQ(f.tileOrigin, c.tile);
    EXPECT_EQ(f.bevel, c.bevelRect);
    EXPECT_EQ(f.caption, c.caption);
  }
}

TEST(ButtonRules, PressClicksOnlyWhenReleasedOnTheButton) {
  // Each step: 'b' begin inside, 'o' begin outside, 'i' move in, 'x' move out, 'r' release.
  struct Case {
    const char* steps;
    bool click;
  };
  const Case cases[] = {
      {"br", true}, {"bxr", false}, {"bxir", true}, {"or", false}, {"oir", false}, {"bxixr", false}, {"brr", true},
  };
  for (const Case& c : cases) {
    ButtonPress p;
    int clicks = 0;
    for (const char* s = c.steps; *s; ++s) {
      switch (*s) {
        case 'b':
          p.Begin(true);
          break;
        case 'o':
          p.Begin(false);
          break;
        case 'i':
          p.Move(true);
          break;
        case 'x':
          p.Move(false);
          break;
        case 'r':
          clicks += p.Release();
          break;
      }
    }
    EXPECT_EQ(clicks, c.click ? 1 : 0) << c.steps;
    EXPECT_FALSE(p.Tracking() || p.Down()) << c.steps;
  }
}
