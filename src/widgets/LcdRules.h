// What the seven-segment number and clock show and how wide they are: the digit image
// sets, the glyphs of a number, the text and width of a clock. Portable.
#pragma once

#include <string>
#include <vector>

namespace widgets {

enum TVrNumStyle { ns13x24, ns11x20, ns7x13, ns12x17, ns5x7 };
enum TVrNumAlignment { naLeftJustify, naCenter, naRightJustify };

// One digit image set: a strip of 13 glyphs, a colon and an AM/PM image (two halves).
struct LcdImageSet {
  const char* strip;
  int stripWidth;
  int height;
  const char* colon;
  int colonWidth;
  const char* ampm;
  int ampmWidth;
  int GlyphWidth() const { return stripWidth / kGlyphCount; }
  static constexpr int kGlyphCount = 13;
};

const LcdImageSet& LcdImagesOf(TVrNumStyle style);

// Glyph indices beyond the digits 0..9.
constexpr int kGlyphBlank = 10;     // all segments unlit
constexpr int kGlyphMinusOff = 11;  // the sign place of a number that is not negative
constexpr int kGlyphMinusOn = 12;

constexpr int kMaxNumDigits = 16;

// The digit text of a number: its absolute value padded on the left to `digits` places
// with "0" or blanks; empty before padding for 0 with zeroBlank. Longer texts stay whole.
std::string NumText(long long value, int digits, bool leadingZero, bool zeroBlank);

// The glyphs drawn from left to right, the sign place first when the number is signed.
std::vector<int> NumGlyphs(long long value, int digits, bool leadingZero, bool zeroBlank, bool isSigned);

// The width of `digits` places (plus the sign place of a signed number).
int NumContentWidth(int digits, int glyphWidth, int spacing, bool isSigned);
// The width the number takes when sized to its content (no sign place).
int NumAutoWidth(int digits, int glyphWidth, int spacing);
// The left edge of content `contentWidth` wide placed in a client `clientWidth` wide.
int NumStartX(TVrNumAlignment alignment, int clientWidth, int contentWidth);

struct ClockTime {
  int hours = 0;
  int minutes = 0;
  int seconds = 0;
  friend bool operator==(const ClockTime&, const ClockTime&) = default;
};

// "hh:mm" or "hh:mm:ss", each part with at least two digits.
std::string ClockText(const ClockTime& t, bool showSeconds);
// Splits a count of seconds into its time of day; a day or more wraps around.
ClockTime TimeOfDay(long long seconds);
// The hour a 12-hour clock shows: 1..12.
int Hours12(int hours24);
// The width of the clock's content; ampmWidth is 0 when no AM/PM indicator is shown.
int ClockContentWidth(int glyphWidth, int colonWidth, int spacing, bool showSeconds, int ampmWidth);

}  // namespace widgets
