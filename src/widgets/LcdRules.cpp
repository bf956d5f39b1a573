#include "widgets/LcdRules.h"

#include <algorithm>
#include <cstdio>
#include <iterator>

namespace widgets {

namespace {

constexpr LcdImageSet kSets[] = {
    {"NUM13x24", 169, 24, "CLOCKSEP1", 6, "AMPM13x24", 20}, {"NUM11x20", 143, 20, "CLOCKSEP2", 6, "AMPM11x20", 20},
    {"NUM7x13", 91, 13, "CLOCKSEP3", 3, "AMPM7x13", 14},    {"NUM12x17", 156, 17, "CLOCKSEP4", 7, "AMPM12x17", 20},
    {"NUM5x7", 52, 7, "CLOCKSEP5", 3, "AMPM5x7", 12},
};

}  // namespace

const LcdImageSet& LcdImagesOf(TVrNumStyle style) {
  const int i = std::clamp(static_cast<int>(style), 0, static_cast<int>(std::size(kSets)) - 1);
  return kSets[i];
}

std::string NumText(long long value, int digits, bool leadingZero, bool zeroBlank) {
  std::string text;
  if (value != 0 || !zeroBlank) {
    // The magnitude as unsigned, so that the most negative value has one too.
    unsigned long long magnitude = value < 0 ? 0ull - static_cast<unsigned long long>(value) : value;
    text = std::to_string(magnitude);
  }
  const std::size_t places = static_cast<std::size_t>(std::clamp(digits, 1, kMaxNumDigits));
  if (text.size() < places) text.insert(0, places - text.size(), leadingZero ? '0' : ' ');
  return text;
}

std::vector<int> NumGlyphs(long long value, int digits, bool leadingZero, bool zeroBlank, bool isSigned) {
  std::vector<int> glyphs;
  if (isSigned) glyphs.push_back(value < 0 ? kGlyphMinusOn : kGlyphMinusOff);
  for (char c : NumText(value, digits, leadingZero, zeroBlank)) glyphs.push_back(c == ' ' ? kGlyphBlank : c - '0');
  return glyphs;
}

int NumContentWidth(int digits, int glyphWidth, int spacing, bool isSigned) {
  return isSigned ? (digits + 1) * glyphWidth + digits * spacing : NumAutoWidth(digits, glyphWidth, spacing);
}

int NumAutoWidth(int digits, int glyphWidth, int spacing) {
  return digits * glyphWidth + (digits - 1) * spacing;
}

int NumStartX(TVrNumAlignment alignment, int clientWidth, int contentWidth) {
  switch (alignment) {
    case naLeftJustify:
      return 0;
    case naRightJustify:
      return clientWidth - contentWidth;
    case naCenter:
      break;
  }
  return (clientWidth - contentWidth) / 2;
}

std::string ClockText(const ClockTime& t, bool showSeconds) {
  char text[40];
  if (showSeconds)
    std::snprintf(text, sizeof text, "%.2d:%.2d:%.2d", t.hours, t.minutes, t.seconds);
  else
    std::snprintf(text, sizeof text, "%.2d:%.2d", t.hours, t.minutes);
  return text;
}

ClockTime TimeOfDay(long long seconds) {
  constexpr long long kDay = 24 * 60 * 60;
  long long s = seconds % kDay;
  if (s < 0) s += kDay;  // a clock set back before the start shows the time of day before
  return {static_cast<int>(s / 3600), static_cast<int>(s / 60 % 60), static_cast<int>(s % 60)};
}

int Hours12(int hours24) {
  const int h = hours24 % 12;
  return h == 0 ? 12 : h;
}

int ClockContentWidth(int glyphWidth, int colonWidth, int spacing, bool showSeconds, int ampmWidth) {
  int w = showSeconds ? 6 * glyphWidth + 2 * colonWidth + 7 * spacing : 4 * glyphWidth + colonWidth + 4 * spacing;
  if (ampmWidth > 0) w += ampmWidth / 2 + spacing;
  return w;
}

}  // namespace widgets
