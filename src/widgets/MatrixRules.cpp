#include "widgets/MatrixRules.h"

namespace widgets {

namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// The colours that codes 1 to 15 select; white cannot be selected.
constexpr ui::Color kCodeColors[16] = {
    0,          ui::clBlack,  ui::clMaroon, ui::clGreen, ui::clOlive,  ui::clNavy, ui::clPurple,  ui::clTeal,
    ui::clGray, ui::clSilver, ui::clRed,    ui::clLime,  ui::clYellow, ui::clBlue, ui::clFuchsia, ui::clAqua,
};

}  // namespace

// Windows-1252 letters come in pairs: ASCII, the Latin-1 block 0xC0..0xDE with its small
// letters 0x20 higher (but for the multiplication and division signs), S, OE and Z with
// caron or ligature in the 0x80 row (small 0x10 higher) and Y-umlaut, whose capital
// lives at 0x9F. Sharp s and the micro sign have no capital in this code page.
unsigned char AnsiUpper(unsigned char c) {
  if (c >= 'a' && c <= 'z') return static_cast<unsigned char>(c - 32);
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<unsigned char>(c - 32);
  if (c == 0x9A || c == 0x9C || c == 0x9E) return static_cast<unsigned char>(c - 16);
  if (c == 0xFF) return 0x9F;
  return c;
}

unsigned char AnsiLower(unsigned char c) {
  if (c >= 'A' && c <= 'Z') return static_cast<unsigned char>(c + 32);
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<unsigned char>(c + 32);
  if (c == 0x8A || c == 0x8C || c == 0x8E) return static_cast<unsigned char>(c + 16);
  if (c == 0x9F) return 0xFF;
  return c;
}

std::string AnsiUpperCase(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(AnsiUpper(static_cast<unsigned char>(c)));
  return out;
}

std::string AnsiLowerCase(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(AnsiLower(static_cast<unsigned char>(c)));
  return out;
}

std::string ProperCase(std::string_view s) {
  std::string out = AnsiLowerCase(s);
  const std::size_t first = out.find_first_not_of(' ');
  if (first != std::string::npos && out[first] >= 'a' && out[first] <= 'z')
    out[first] = static_cast<char>(out[first] - 32);
  return out;
}

MatrixText PrepareMatrixText(std::string_view raw, TVrMatrixTextStyle style) {
  MatrixText t;
  char code = '-';
  std::size_t i = 0;
  while (i < raw.size()) {
    const char c = raw[i++];
    if (c != '%') {
      t.shown += c;
      t.codes += code;
    } else if (i < raw.size() && raw[i] == '%') {
      ++i;
      t.shown += '%';
      t.codes += code;
    } else {
      // A code character that is no hexadecimal digit is swallowed all the same.
      code = '-';
      if (i < raw.size()) {
        if (HexValue(raw[i]) >= 0) code = raw[i];
        ++i;
      }
    }
  }
  switch (style) {
    case tsUpperCase:
      t.shown = AnsiUpperCase(t.shown);
      break;
    case tsLowerCase:
      t.shown = AnsiLowerCase(t.shown);
      break;
    case tsProperCase:
      t.shown = ProperCase(t.shown);
      break;
    case tsAsIs:
      break;
  }
  return t;
}

ui::Color CodeColor(char code, ui::Color high) {
  const int v = HexValue(code);
  return v > 0 ? kCodeColors[v] : high;
}

int FirstCellIndex(MatrixPlacement placement, int textLength, int leds) {
  switch (placement) {
    case MatrixPlacement::Right:
      return textLength - leds + 1;
    case MatrixPlacement::Center:
      return 1 - (leds - textLength) / 2;  // truncated toward zero either way
    case MatrixPlacement::Left:
      break;
  }
  return 1;
}

int ScrollPassStart(int textLength, int leds, TVrMatrixScrollDirection direction) {
  return direction == msdRightToLeft ? 1 - leds : textLength;
}

ScrollResult ScrollStep(int index, int textLength, int leds, TVrMatrixScrollDirection direction) {
  // The step that would move the last character out of the cells (the first, scrolling
  // to the right) ends the pass instead: the text starts over just outside the cells.
  const bool more = direction == msdRightToLeft ? index < textLength : index > 1 - leds;
  if (!more) return {ScrollPassStart(textLength, leds, direction), true};
  return {direction == msdRightToLeft ? index + 1 : index - 1, false};
}

MatrixCell CellOf(TVrMatrixLedStyle style) {
  const int dot = style == ls9x13 ? 1 : style == ls14x20 ? 2 : 3;
  return {5 * (dot + 1) - 1, 7 * (dot + 1) - 1, dot};
}

const char* CellResourceName(TVrMatrixLedStyle style) {
  switch (style) {
    case ls9x13:
      return "VRMATRIXLED9X13";
    case ls19x27:
      return "VRMATRIXLED19X27";
    case ls14x20:
      break;
  }
  return "VRMATRIXLED14X20";
}

ui::Rect DotRect(const MatrixCell& cell, int column, int row) {
  const int pitch = cell.dot + 1;
  return ui::Rect::FromBounds(column * pitch, row * pitch, cell.dot, cell.dot);
}

namespace {

// The length of the row of cells along its direction.
int RowLength(const MatrixLayout& m) {
  const int along = m.horizontal ? m.cell.width : m.cell.height;
  return along * m.leds + m.spacing * (m.leds - 1);
}

}  // namespace

ui::Point MatrixSize(const MatrixLayout& m, int inset) {
  if (m.horizontal) return {RowLength(m) + 2 * inset, m.cell.height + 2 * inset};
  return {m.cell.width + 2 * inset, RowLength(m) + 2 * inset};
}

ui::Point FirstCellOrigin(const MatrixLayout& m, int width, int height) {
  if (m.horizontal) return {(width - RowLength(m)) / 2, (height - m.cell.height) / 2};
  return {(width - m.cell.width) / 2, (height - RowLength(m)) / 2};
}

}  // namespace widgets
