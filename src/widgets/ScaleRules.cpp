#include "widgets/ScaleRules.h"

#include <algorithm>
#include <cstdlib>

namespace widgets {

int ScaleStep(const ScaleSettings& s) {
  return (s.maxValue - s.minValue) / std::max(1, s.ticks);
}

std::string ScaleLabelText(int value, int digits, bool leadingZero, bool showSign) {
  // The magnitude in a wider type, so that the most negative value has one too.
  const long long v = value;
  std::string text = std::to_string(std::llabs(v));
  if (leadingZero && static_cast<int>(text.size()) < digits) text.insert(0, digits - text.size(), '0');
  if (v < 0) text.insert(0, 1, '-');
  if (showSign && v > 0) text.insert(0, 1, '+');
  return text;
}

std::vector<ScaleLabel> ScaleLabels(const ScaleSettings& s) {
  const int step = ScaleStep(s);
  const int ticks = std::max(1, s.ticks);
  std::vector<ScaleLabel> labels;
  for (int i = 0; i <= ticks; ++i) {
    const int value = s.minValue + i * step;
    labels.push_back({value, ScaleLabelText(value, s.digits, s.leadingZero, s.showSign), value >= s.peakLevel});
  }
  return labels;
}

ui::Rect ScaleCell(int i, int ticks, bool vertical, int clientWidth, int clientHeight) {
  const int labels = std::max(1, ticks) + 1;
  if (!vertical) {
    const int cell = clientWidth / labels;
    return {i * cell, 0, (i + 1) * cell, clientHeight};
  }
  const int cell = clientHeight / labels;
  const int top = clientHeight - (i + 1) * cell;
  return {0, top, clientWidth, top + cell};
}

std::vector<TickLine> ScaleTickLines(const ui::Rect& cell, bool vertical, TVrTickMarks marks, int offset, int length,
                                     int clientWidth, int clientHeight) {
  std::vector<TickLine> lines;
  if (marks == tmNone) return lines;
  const bool nearEdge = marks == tmBoth || marks == tmTopLeft;
  const bool farEdge = marks == tmBoth || marks == tmBottomRight;
  if (!vertical) {
    const int x = cell.left + cell.Width() / 2;
    if (nearEdge) lines.push_back({{x, offset}, {x, offset + length}});
    if (farEdge) lines.push_back({{x, clientHeight - offset - length}, {x, clientHeight - offset}});
  } else {
    const int y = cell.top + cell.Height() / 2;
    if (nearEdge) lines.push_back({{offset, y}, {offset + length, y}});
    if (farEdge) lines.push_back({{clientWidth - offset - length, y}, {clientWidth - offset, y}});
  }
  return lines;
}

}  // namespace widgets
