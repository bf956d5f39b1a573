#include "widgets/SliderRules.h"

#include <algorithm>

namespace widgets {

long long RoundedDiv(long long a, long long b) {
  long long q = a / b, r = a % b;
  if (r < 0) {  // floor division
    --q;
    r += b;
  }
  if (2 * r > b || (2 * r == b && (q & 1) != 0)) ++q;
  return q;
}

ui::Rect SliderGeometry::Travel() const {
  return client.Inflate(-(borderWidth + thumbIndent));
}

int SliderGeometry::Base() const {
  return std::max(0, vertical ? Travel().top : Travel().left);
}

int SliderGeometry::Span() const {
  const ui::Rect t = Travel();
  return vertical ? t.Height() - thumbHeight : t.Width() - thumbWidth;
}

ui::Rect SliderGeometry::Thumb(int position) const {
  const ui::Rect t = Travel();
  const long long range = static_cast<long long>(maxValue) - minValue;
  // An empty range or a travel shorter than the thumb keeps the thumb at the minimum end.
  const long long along =
      range > 0 && Span() > 0
          ? RoundedDiv(static_cast<long long>(Span()) * (static_cast<long long>(position) - minValue), range)
          : 0;
  const int offset = Base() + static_cast<int>(along);
  if (vertical) {
    const int top = style == ssBottomLeft ? t.top + t.bottom - offset - thumbHeight : offset;
    const int left = (client.Width() - thumbWidth) / 2;
    return ui::Rect::FromBounds(left, top, thumbWidth, thumbHeight);
  }
  const int left = style == ssTopRight ? t.left + t.right - offset - thumbWidth : offset;
  const int top = (client.Height() - thumbHeight) / 2;
  return ui::Rect::FromBounds(left, top, thumbWidth, thumbHeight);
}

int SliderGeometry::PositionAt(int p) const {
  const int base = Base(), span = Span();
  if (span <= 0 || maxValue <= minValue) return minValue;
  p = std::clamp(p, base, base + span);
  if (vertical) p = client.Height() - p - thumbHeight;
  const long long range = static_cast<long long>(maxValue) - minValue;
  const long long value = std::max(0LL, RoundedDiv((static_cast<long long>(p) - base) * range, span));
  int result = static_cast<int>(std::min(value + minValue, static_cast<long long>(maxValue)));
  if (style == ssTopRight) result = maxValue + minValue - result;
  return result;
}

ui::Rect SliderGeometry::LitPart(const ui::Rect& track, const ui::Rect& thumb) const {
  ui::Rect lit = track;
  if (vertical) {
    if (style == ssBottomLeft)
      lit.top = thumb.top + thumb.Height() / 2;
    else
      lit.bottom = thumb.bottom - thumb.Height() / 2;
  } else {
    if (style == ssBottomLeft)
      lit.right = thumb.left + thumb.Width() / 2;
    else
      lit.left = thumb.right - thumb.Width() / 2;
  }
  return lit.Intersect(track);
}

std::vector<ui::Rect> TrackTicks(int width, int height, bool vertical, TVrSliderStyle style, int tickWidth,
                                 int spacing) {
  std::vector<ui::Rect> ticks;
  const int step = tickWidth + spacing;
  if (tickWidth <= 0 || spacing < 0 || width <= 0 || height <= 0) return ticks;
  const int length = vertical ? height : width;
  const int n = length / step + 2;
  for (int i = 0; i < n; ++i) {
    const int near = i * step;  // distance of the tick from the minimum end
    if (vertical) {
      const int top = style == ssBottomLeft ? height - near - tickWidth : near;
      ticks.push_back({0, top, width, top + tickWidth});
    } else {
      const int left = style == ssBottomLeft ? near : width - near - tickWidth;
      ticks.push_back({left, 0, left + tickWidth, height});
    }
  }
  return ticks;
}

std::optional<int> PositionAfterKey(SliderKey key, int position, const SliderGeometry& g, int increment) {
  int step = 0;
  switch (key) {
    case SliderKey::Home:
      return g.minValue;
    case SliderKey::End:
      return g.maxValue;
    case SliderKey::Left:
      step = g.vertical ? 0 : -increment;
      break;
    case SliderKey::Right:
      step = g.vertical ? 0 : increment;
      break;
    case SliderKey::Up:
      step = g.vertical ? increment : 0;
      break;
    case SliderKey::Down:
      step = g.vertical ? -increment : 0;
      break;
  }
  if (step == 0) return std::nullopt;
  if (g.style == ssTopRight) step = -step;
  const long long moved = static_cast<long long>(position) + step;
  return static_cast<int>(std::clamp<long long>(moved, g.minValue, g.maxValue));
}

int ThumbState(bool hovered, bool dragging, bool enabled, int states) {
  int state = 0;
  if (hovered && !dragging)
    state = 3;
  else if (dragging)
    state = 2;
  else if (!enabled)
    state = 1;
  return state < states ? state : 0;
}

int SpinnerWidth(int width) {
  return std::max(15, width);
}

SpinnerHalves SplitSpinner(int width, int height, bool vertical) {
  width = SpinnerWidth(width);
  if (vertical) {
    const int half = height / 2;
    return {{0, 0, width, half}, {0, half - 1, width, height}};
  }
  const int half = width / 2;
  return {{0, 0, half, height}, {half, 0, 2 * half, height}};
}

}  // namespace widgets
