// The LED dot-matrix display on a form, read from its pixels.
#include <gtest/gtest.h>

#include <string>

#include "ui/Form.h"
#include "support/WindowTesting.h"
#include "widgets/VrMatrix.h"

using namespace testing_support;
using namespace widgets;

namespace {

constexpr ui::Color kLow = ui::clNavy;
constexpr ui::Color kHigh = ui::clYellow;
constexpr ui::Color kBack = ui::clMaroon;

// A display without a frame in colours that tell every kind of pixel apart, on a form.
struct Bench {
  ui::Form form{"MatrixHost"};
  TVrMatrix matrix{"Matrix"};

  explicit Bench(TVrMatrixLedStyle style, int leds) {
    form.SetClientSize(300, 120);
    matrix.SetParent(&form);
    matrix.SetPosition(10, 10);
    BevelSettings none = matrix.Bevel().Settings();
    none.Visible = false;
    matrix.Bevel().Set(none);
    matrix.SetLedStyle(style);
    matrix.SetLeds(leds);
    matrix.SetColor(kBack);
    matrix.Palette().SetLow(kLow);
    matrix.Palette().SetHigh(kHigh);
    form.Show();
  }
  ui::Bitmap Shot() { return CaptureClient(form.Handle()); }
  // The top-left corner of cell k on the form (no frame, no gaps beyond the spacing).
  ui::Point CellOrigin(int k) const {
    const MatrixCell cell = CellOf(matrix.LedStyle());
    if (matrix.Orientation() == voHorizontal) return {10 + k * (cell.width + matrix.Spacing()), 10};
    return {10, 10 + k * (cell.height + matrix.Spacing())};
  }
};

// Whether the pixel (px, py) of a cell belongs to the unlit picture of its dot.
bool UnlitPixel(int dot, int px, int py) {
  switch (dot) {
    case 1:
      return true;
    case 2:
      return px == py;  // the diagonal pair
    default:
      return px == 1 || py == 1;  // the plus sign
  }
}

// Checks every pixel of cell k against the glyph of c in colour `lit`; returns the
// number of wrong pixels.
int WrongPixels(const ui::Bitmap& shot, const Bench& b, int k, unsigned char c, ui::Color lit,
                bool ledsVisible = true) {
  const MatrixCell cell = CellOf(b.matrix.LedStyle());
  const ui::Point at = b.CellOrigin(k);
  const MatrixGlyph& glyph = GlyphOf(c);
  int wrong = 0;
  for (int y = 0; y < cell.height; ++y) {
    for (int x = 0; x < cell.width; ++x) {
      const int column = x / (cell.dot + 1), row = y / (cell.dot + 1);
      const int px = x % (cell.dot + 1), py = y % (cell.dot + 1);
      ui::Color want = kBack;
      if (px < cell.dot && py < cell.dot) {
        if (glyph[row] & (0x10 >> column))
          want = lit;
        else if (ledsVisible && UnlitPixel(cell.dot, px, py))
          want = kLow;
      }
      if (shot.PixelAt(at.x + x, at.y + y) != want) ++wrong;
    }
  }
  return wrong;
}

}  // namespace

TEST(Matrix, TheSizeFollowsTheCellsWhateverIsRequested) {
  TVrMatrix m;
  // 15 cells of 14 x 20, 2 apart, in the default frame 5 thick.
  EXPECT_EQ(m.BoundsRect(), (ui::Rect{0, 0, 248, 30}));
  // A frame 2 thick around 10 cells of 9 x 13.
  BevelSettings thin = m.Bevel().Settings();
  thin.OuterOutline = osNone;
  thin.OuterStyle = bsNone;
  thin.InnerWidth = 1;
  m.Bevel().Set(thin);
  m.SetLedStyle(ls9x13);
  m.SetLeds(10);
  m.SetBounds(327, 16, 500, 500);
  EXPECT_EQ(m.BoundsRect(), (ui::Rect::FromBounds(327, 16, 112, 17)));
  m.SetLeds(20);
  EXPECT_EQ(m.Width(), 222);
  m.SetOrientation(voVertical);
  EXPECT_EQ(m.BoundsRect(), (ui::Rect::FromBounds(327, 16, 13, 13 * 20 + 2 * 19 + 4)));
  // Nonsense is refused rather than giving the display a negative size.
  m.SetLeds(0);
  m.SetSpacing(-5);
  EXPECT_EQ(m.Height(), 13 * 20 + 2 * 19 + 4);
}

TEST(Matrix, GlyphsLightTheirDotsInTheirColoursInEveryStyle) {
  for (TVrMatrixLedStyle style : {ls9x13, ls14x20, ls19x27}) {
    SCOPED_TRACE(int(style));
    Bench b(style, 7);
    const MatrixCell cell = CellOf(style);
    EXPECT_EQ(b.matrix.Width(), 7 * cell.width + 6 * 2);
    EXPECT_EQ(b.matrix.Height(), cell.height);
    b.matrix.SetText("AB%Acd%%%0e");
    ui::Bitmap shot = b.Shot();
    const struct {
      unsigned char c;
      ui::Color lit;
    } cells[] = {{'A', kHigh},     {'B', kHigh}, {'C', ui::clRed}, {'D', ui::clRed},
                 {'%', ui::clRed}, {'E', kHigh}, {' ', kHigh}};
    for (int k = 0; k < 7; ++k) EXPECT_EQ(WrongPixels(shot, b, k, cells[k].c, cells[k].lit), 0) << "cell " << k;
    // The codes 1 to F are the sixteen basic colours in their usual order, 0 the text's own.
    b.matrix.SetText("%8g%Fh%Bi%0j");
    const ui::Bitmap coded = b.Shot();
    const ui::Color codedColours[] = {ui::clGray, ui::clAqua, ui::clLime, kHigh};
    for (int k = 0; k < 4; ++k)
      EXPECT_EQ(WrongPixels(coded, b, k, static_cast<unsigned char>('G' + k), codedColours[k]), 0) << "coded cell " << k;
    b.matrix.SetText("AB%Acd%%%0e");
    shot = b.Shot();
    EXPECT_EQ(shot.PixelAt(10 + cell.width, 10), kBack);  // the spacing
    // Without the unlit dots only the lit ones show on the background.
    b.matrix.SetLedsVisible(false);
    shot = b.Shot();
    EXPECT_EQ(WrongPixels(shot, b, 0, 'A', kHigh, false), 0);
    EXPECT_EQ(WrongPixels(shot, b, 6, ' ', kHigh, false), 0);
  }
}

TEST(Matrix, StillTextIsPlacedByItsAlignment) {
  Bench b(ls9x13, 10);
  b.matrix.SetText("ABC");
  const struct {
    TVrAlignment alignment;
    const char* cells;
  } cases[] = {
      {vaLeftJustify, "ABC       "},
      {vaRightJustify, "       ABC"},
      {vaCenter, "   ABC    "},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.cells);
    b.matrix.SetAlignment(c.alignment);
    const ui::Bitmap shot = b.Shot();
    for (int k = 0; k < 10; ++k) EXPECT_EQ(WrongPixels(shot, b, k, c.cells[k], kHigh), 0) << "cell " << k;
  }
  // A text longer than the cells shows its end.
  b.matrix.SetAlignment(vaRightJustify);
  b.matrix.SetText("0123456789XY");
  const ui::Bitmap shot = b.Shot();
  EXPECT_EQ(WrongPixels(shot, b, 0, '2', kHigh), 0);
  EXPECT_EQ(WrongPixels(shot, b, 9, 'Y', kHigh), 0);
}

TEST(Matrix, ColourAndOrientationChangesRedrawTheCells) {
  Bench b(ls14x20, 3);
  b.matrix.SetText("go");
  // A Low of black turns into the background: the unlit dots vanish.
  b.matrix.Palette().SetLow(ui::clBlack);
  ui::Bitmap shot = b.Shot();
  EXPECT_EQ(WrongPixels(shot, b, 2, ' ', kHigh, false), 0);
  // The vertical display stacks the cells.
  b.matrix.Palette().SetLow(kLow);
  b.matrix.SetOrientation(voVertical);
  EXPECT_EQ(b.matrix.Height(), 3 * 20 + 2 * 2);
  shot = b.Shot();
  EXPECT_EQ(WrongPixels(shot, b, 1, 'O', kHigh), 0);
}

TEST(Matrix, ScrollingMovesTheTextOneCellPerStep) {
  Bench b(ls9x13, 3);
  b.matrix.SetText("AB");
  b.matrix.SetTimeInterval(60000);  // the steps below are taken by hand
  b.matrix.SetAutoScroll(true);
  int passes = 0;
  b.matrix.OnScrollDone = [&](ui::Control&) { ++passes; };
  // The pass ends instead of moving B out; the text then enters again from the right.
  const char* frames[] = {"B  ", "   ", "  A", " AB", "AB ", "B  "};
  for (int i = 0; i < 6; ++i) {
    SCOPED_TRACE(frames[i]);
    b.matrix.ScrollStep();
    const ui::Bitmap shot = b.Shot();
    for (int k = 0; k < 3; ++k) EXPECT_EQ(WrongPixels(shot, b, k, frames[i][k], kHigh), 0) << "cell " << k;
  }
  EXPECT_EQ(passes, 1);
  // Scrolling off leaves the text where it is until the next repaint, which aligns it.
  b.matrix.SetAutoScroll(false);
  ui::Bitmap shot = b.Shot();
  EXPECT_EQ(WrongPixels(shot, b, 0, 'B', kHigh), 0);
  b.matrix.Repaint();
  shot = b.Shot();
  EXPECT_EQ(WrongPixels(shot, b, 0, 'A', kHigh), 0);
}

TEST(Matrix, TheTimerScrollsAndEndsPasses) {
  for (bool threaded : {true, false}) {
    SCOPED_TRACE(threaded ? "thread" : "system timer");
    Bench b(ls9x13, 4);
    b.matrix.SetThreaded(threaded);
    b.matrix.SetText("");  // an empty text still ends a pass every 4 steps
    int passes = 0;
    DWORD first = 0, last = 0;
    b.matrix.OnScrollDone = [&](ui::Control&) {
      if (++passes == 1) first = GetTickCount();
      last = GetTickCount();
    };
    b.matrix.SetTimeInterval(25);
    b.matrix.SetAutoScroll(true);
    EXPECT_TRUE(WaitFor([&] { return passes >= 4; }, 5000));
    // Three passes of four 25 ms steps each: far more than one step's time.
    EXPECT_GE(last - first, 3u * 4u * 20u);
    b.matrix.SetAutoScroll(false);
    const int done = passes;
    Pump(150);
    EXPECT_EQ(passes, done);
  }
}

TEST(Matrix, AScrollPassMayChangeTheTimersKind) {
  // The handler runs inside a tick of the display's own timer thread, which the change
  // of kind ends.
  Bench b(ls9x13, 2);
  b.matrix.SetThreaded(true);
  b.matrix.SetText("AB");
  int passes = 0;
  b.matrix.OnScrollDone = [&](ui::Control&) {
    if (++passes == 1) b.matrix.SetThreaded(false);
  };
  b.matrix.SetTimeInterval(20);
  b.matrix.SetAutoScroll(true);
  EXPECT_TRUE(WaitFor([&] { return passes >= 3; }, 5000)) << "it goes on scrolling on the system timer";
  EXPECT_FALSE(b.matrix.Threaded());
  b.matrix.SetAutoScroll(false);
}
