// Points and rectangles in pixels, and the placement rules of windows. Portable.
#pragma once

#include <algorithm>

namespace ui {

struct Point {
  int x = 0;
  int y = 0;
  friend bool operator==(const Point&, const Point&) = default;
};

// Left/top inclusive, right/bottom exclusive, as GDI counts them.
struct Rect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;

  static Rect FromBounds(int l, int t, int w, int h) { return {l, t, l + w, t + h}; }
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool Empty() const { return right <= left || bottom <= top; }
  bool Contains(Point p) const { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }
  Rect Offset(int dx, int dy) const { return {left + dx, top + dy, right + dx, bottom + dy}; }
  Rect Inflate(int d) const { return {left - d, top - d, right + d, bottom + d}; }
  Rect Intersect(const Rect& o) const {
    Rect r{std::max(left, o.left), std::max(top, o.top), std::min(right, o.right), std::min(bottom, o.bottom)};
    return r.Empty() ? Rect{} : r;
  }
  friend bool operator==(const Rect&, const Rect&) = default;
};

// Top-left corner that centres an outer size of w x h in the area; a window larger than
// the area is pinned to the area's top-left edge so that its top stays reachable.
inline Point CenteredIn(const Rect& area, int w, int h) {
  return {area.left + std::max(0, (area.Width() - w) / 2), area.top + std::max(0, (area.Height() - h) / 2)};
}

// Where a window `size` pixels long along one axis starts when it was left at `start`,
// on a screen that spans [lo, hi) on that axis: where it was while at least `keepShown`
// of its pixels (all of a shorter window) lie on the screen, so that it can still be
// grabbed; otherwise wholly on the screen, pinned to lo when longer than the screen.
// Counted in 64 bits: a stored position near the int limits cannot overflow.
inline int KeptOnScreen(int start, int size, int lo, int hi, int keepShown) {
  const long long s = start, n = std::max(size, 0), first = lo, last = hi;
  const long long shown = std::min(s + n, last) - std::max(s, first);
  if (shown >= std::min<long long>(keepShown, n)) return start;
  return int(std::max(first, std::min(s, last - n)));
}

}  // namespace ui
