// The rules of the LED dot-matrix display: its 5 x 7 font, the text with colour codes,
// case conversion in the ANSI code page, placement and scrolling of the text, and the
// geometry of the cells. Portable.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "ui/Color.h"
#include "ui/Geometry.h"

namespace widgets {

enum TVrMatrixLedStyle { ls9x13, ls14x20, ls19x27 };
enum TVrMatrixTextStyle { tsUpperCase, tsLowerCase, tsAsIs, tsProperCase };
enum TVrMatrixScrollDirection { msdRightToLeft, msdLeftToRight };

// Where a still text sits in the row of cells (the widgets' alignment, without its
// Win32 header).
enum class MatrixPlacement { Left, Right, Center };

// One glyph: row 0 at the top; bit 4 is the leftmost dot, bit 0 the rightmost.
using MatrixGlyph = std::array<std::uint8_t, 7>;
const MatrixGlyph& GlyphOf(unsigned char c);

// Windows-1252 case conversion, as the system's ANSI conversion does it.
unsigned char AnsiUpper(unsigned char c);
unsigned char AnsiLower(unsigned char c);
std::string AnsiUpperCase(std::string_view s);
std::string AnsiLowerCase(std::string_view s);
// Lower case, then the first non-blank character in ASCII upper case.
std::string ProperCase(std::string_view s);

// The text as shown and one colour code per shown character.
struct MatrixText {
  std::string shown;
  std::string codes;
};
// Takes out the colour codes: "%%" is a literal percent sign, "%x" selects colour x (a
// hexadecimal digit) or, for any other x, the default colour; then applies the style.
MatrixText PrepareMatrixText(std::string_view raw, TVrMatrixTextStyle style);
// The colour of a lit dot for a colour code: "1" to "F" pick the 15 basic colours,
// every other code the palette's high colour.
ui::Color CodeColor(char code, ui::Color high);

// The 1-based index into the shown text of the character in the first cell; an index
// outside 1..n leaves a cell empty.
int FirstCellIndex(MatrixPlacement placement, int textLength, int leds);

// One scroll step from `index`; passDone tells that a pass ended and the text starts over.
struct ScrollResult {
  int index;
  bool passDone;
};
ScrollResult ScrollStep(int index, int textLength, int leds, TVrMatrixScrollDirection direction);
// Where a new pass starts: just outside the cells, on the side the text enters from.
int ScrollPassStart(int textLength, int leds, TVrMatrixScrollDirection direction);

struct MatrixCell {
  int width;
  int height;
  int dot;  // a lit dot is a dot x dot square, one pixel apart from its neighbours
};
MatrixCell CellOf(TVrMatrixLedStyle style);
// The name of the resource bitmap that shows one unlit cell of the style.
const char* CellResourceName(TVrMatrixLedStyle style);
// The square of dot (column, row) within its cell.
ui::Rect DotRect(const MatrixCell& cell, int column, int row);

struct MatrixLayout {
  MatrixCell cell;
  int leds;
  int spacing;
  bool horizontal;
};
// The size of the whole display: the row of cells and the frame around it.
ui::Point MatrixSize(const MatrixLayout& m, int inset);
// The top-left corner of the first cell, the row of cells centred in the given size.
ui::Point FirstCellOrigin(const MatrixLayout& m, int width, int height);

}  // namespace widgets
