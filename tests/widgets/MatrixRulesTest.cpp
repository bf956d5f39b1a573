// The LED dot-matrix display's rules: colour codes, case, placement, scrolling, geometry
// and the font.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "widgets/MatrixRules.h"

using namespace widgets;

TEST(MatrixText, ColourCodesAreTakenOut) {
  struct Case {
    const char* raw;
    TVrMatrixTextStyle style;
    const char* shown;
    const char* codes;
  } cases[] = {
      {"AB%Acd%%%0e", tsUpperCase, "ABCD%E", "--AAA0"},
      {"%%", tsAsIs, "%", "-"},
      {"ab%", tsAsIs, "ab", "--"},   // a percent sign at the end is dropped
      {"a%xb", tsAsIs, "ab", "--"},  // %x swallows the x and resets the colour
      {"%3a%zb%fc%-d", tsAsIs, "abcd", "3-f-"},
      {"%9%%", tsAsIs, "%", "9"},  // a literal percent takes the current colour
      {"%%9", tsAsIs, "%9", "--"},
      {"", tsUpperCase, "", ""},
      {"%", tsUpperCase, "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.raw);
    const MatrixText t = PrepareMatrixText(c.raw, c.style);
    EXPECT_EQ(t.shown, c.shown);
    EXPECT_EQ(t.codes, c.codes);
  }
}

TEST(MatrixText, TextStylesConvertTheWindows1252Letters) {
  struct Case {
    std::string raw;
    TVrMatrixTextStyle style;
    std::string shown;
  } cases[] = {
      {"Radio \xe9t\xe9 \xff", tsUpperCase, "RADIO \xc9T\xc9 \x9f"},
      {"\xdf\xb5\xf7", tsUpperCase, "\xdf\xb5\xf7"},  // no capitals; the division sign stays
      {"\x8a\x8c\x8e\x9f\xd7", tsLowerCase, "\x9a\x9c\x9e\xff\xd7"},
      {"MiXeD 12", tsAsIs, "MiXeD 12"},
      {"  hello WORLD", tsProperCase, "  Hello world"},
      {"x", tsProperCase, "X"},
      {"   z", tsProperCase, "   Z"},
      {"\xc9"
       "COLE",
       tsProperCase,
       "\xe9"
       "cole"},  // only an ASCII letter becomes a capital
      {"   ", tsProperCase, "   "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.raw);
    EXPECT_EQ(PrepareMatrixText(c.raw, c.style).shown, c.shown);
  }
}

TEST(MatrixPlacement, FirstCellByAlignment) {
  struct Case {
    MatrixPlacement placement;
    int length, leds, first;
  } cases[] = {
      {MatrixPlacement::Left, 3, 10, 1},    {MatrixPlacement::Left, 30, 10, 1},
      {MatrixPlacement::Right, 3, 10, -6},  {MatrixPlacement::Right, 25, 10, 16},  // shows the last 10
      {MatrixPlacement::Center, 3, 10, -2},  // 3 cells empty on the left, 4 on the right
      {MatrixPlacement::Center, 14, 10, 3},  // an odd excess is truncated toward zero
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << int(c.placement) << " n=" << c.length);
    EXPECT_EQ(FirstCellIndex(c.placement, c.length, c.leds), c.first);
  }
}

namespace {

// Runs scroll steps from `index` until a pass ends; returns the number of steps it took.
int StepsToPassEnd(int& index, int n, int leds, TVrMatrixScrollDirection d) {
  for (int steps = 1; steps < 10000; ++steps) {
    const ScrollResult r = ScrollStep(index, n, leds, d);
    index = r.index;
    if (r.passDone) return steps;
  }
  return -1;
}

}  // namespace

TEST(MatrixScroll, APassTakesTextLengthPlusCellsSteps) {
  for (TVrMatrixScrollDirection d : {msdRightToLeft, msdLeftToRight}) {
    for (int n : {0, 1, 5, 20}) {
      SCOPED_TRACE(::testing::Message() << "direction " << int(d) << " n=" << n);
      const int leds = 10;
      int index = 1;
      StepsToPassEnd(index, n, leds, d);
      EXPECT_EQ(index, d == msdRightToLeft ? 1 - leds : n);
      // Every full pass from then on.
      EXPECT_EQ(StepsToPassEnd(index, n, leds, d), n + leds);
      EXPECT_EQ(StepsToPassEnd(index, n, leds, d), n + leds);
    }
  }
}

TEST(MatrixScroll, AShorterTextEndsThePassAtTheNextStep) {
  EXPECT_TRUE(ScrollStep(12, 5, 10, msdRightToLeft).passDone);
  EXPECT_EQ(ScrollStep(12, 5, 10, msdRightToLeft).index, -9);
}

TEST(MatrixGeometry, DisplaySizes) {
  struct Size {
    MatrixLayout layout;
    int inset;
    ui::Point size;
  } sizes[] = {
      {{CellOf(ls9x13), 10, 2, true}, 2, {112, 17}},  // the main window's connection display
      {{CellOf(ls9x13), 20, 2, true}, 2, {222, 17}}, {{CellOf(ls14x20), 15, 2, true}, 5, {248, 30}},
      {{CellOf(ls19x27), 3, 0, false}, 0, {19, 81}}, {{CellOf(ls9x13), 1, 7, true}, 1, {11, 15}},
  };
  for (const Size& s : sizes) {
    EXPECT_EQ(MatrixSize(s.layout, s.inset), s.size);
    // The cells sit centred: the frame is on every side.
    const ui::Point at = FirstCellOrigin(s.layout, s.size.x, s.size.y);
    EXPECT_EQ(at, (ui::Point{s.inset, s.inset}));
  }
}

namespace {

std::vector<int> Rows(unsigned char c) {
  const MatrixGlyph& g = GlyphOf(c);
  return {g.begin(), g.end()};
}

// The glyph as it lights on the display, row by row: '#' a lit dot, '.' an unlit one.
std::vector<std::string> Picture(unsigned char c) {
  std::vector<std::string> picture;
  for (int row : Rows(c)) {
    std::string line;
    for (int bit = 0x10; bit; bit >>= 1) line += (row & bit) ? '#' : '.';
    picture.push_back(line);
  }
  return picture;
}

}  // namespace

TEST(MatrixFont, GlyphsReadAsTheirLetters) {
  struct Case {
    unsigned char code;
    std::vector<std::string> picture;
  } cases[] = {
      {'A', {".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"}},
      {'g', {".....", ".....", ".####", "#...#", ".####", "....#", "..##."}},
      {196, {".#.#.", ".....", ".###.", "#...#", "#####", "#...#", "#...#"}},  // A with umlaut
      {233, {"...#.", "..#..", ".###.", "#...#", "####.", "#....", ".###."}},  // e with acute
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(int(c.code));
    EXPECT_EQ(Picture(c.code), c.picture);
  }
}

TEST(MatrixFont, EveryGlyphFitsFiveColumnsAndTheDrawnRangesAreNotBlank) {
  for (int c = 0; c < 256; ++c) {
    SCOPED_TRACE(c);
    int dots = 0;
    for (int row : Rows(static_cast<unsigned char>(c))) {
      EXPECT_EQ(row & ~0x1f, 0);
      dots += row;
    }
    const bool drawn = c < 32 || (c > 32 && c < 128) || c == 138 || c == 154 || (c >= 192 && c != 247);
    EXPECT_EQ(dots != 0, drawn);
  }
  // Each case pair of Windows-1252 letters is told apart.
  for (int c = 192; c < 223; ++c) {
    if (c == 215) continue;  // the multiplication sign has no small letter
    EXPECT_NE(Rows(static_cast<unsigned char>(c)), Rows(static_cast<unsigned char>(c + 32))) << c;
  }
}
