// The numeric scale's labels and where its cells and tick marks lie. Portable.
#pragma once

#include <string>
#include <vector>

#include "ui/Geometry.h"

namespace widgets {

enum TVrTickMarks { tmNone, tmBoth, tmBottomRight, tmTopLeft };

struct ScaleSettings {
  int minValue = 0;
  int maxValue = 100;
  int ticks = 5;  // steps; one label more than steps
  int digits = 3;
  bool leadingZero = false;
  bool showSign = true;
  int peakLevel = 80;
};

struct ScaleLabel {
  int value = 0;
  std::string text;
  bool peak = false;  // drawn in the peak colour
};

// The value between neighbouring labels (an integer division: the last label may lie
// below the maximum).
int ScaleStep(const ScaleSettings& s);
// A label's text: zero-padded to at least `digits` digits after any minus sign with
// leadingZero, and with "+" before a positive value with showSign.
std::string ScaleLabelText(int value, int digits, bool leadingZero, bool showSign);
std::vector<ScaleLabel> ScaleLabels(const ScaleSettings& s);

// Cell i of the scale within a client of the given size: left to right when horizontal,
// bottom to top when vertical.
ui::Rect ScaleCell(int i, int ticks, bool vertical, int clientWidth, int clientHeight);

// The tick marks of cell i, as lines from one end to the other (at most two).
struct TickLine {
  ui::Point from;
  ui::Point to;
  friend bool operator==(const TickLine&, const TickLine&) = default;
};
std::vector<TickLine> ScaleTickLines(const ui::Rect& cell, bool vertical, TVrTickMarks marks, int offset, int length,
                                     int clientWidth, int clientHeight);

}  // namespace widgets
