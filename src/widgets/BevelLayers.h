// The layered 3-D frame's arithmetic: its settings and how far it insets a rectangle.
// Portable.
#pragma once

#include "ui/Color.h"
#include "ui/Geometry.h"

namespace widgets {

enum TVrBevelStyle { bsNone, bsLowered, bsRaised };
enum TVrBevelOutlineStyle { osOuter, osInner, osNone };

struct BevelSettings {
  int BorderWidth = 0;
  ui::Color BorderColor = ui::clBtnFace;
  ui::Color InnerShadow = ui::SystemColor(16);
  ui::Color InnerHighlight = ui::SystemColor(20);
  int InnerWidth = 1;
  TVrBevelStyle InnerStyle = bsLowered;
  TVrBevelOutlineStyle InnerOutline = osNone;
  int InnerSpace = 1;
  ui::Color InnerColor = ui::clBtnFace;
  ui::Color OuterShadow = ui::SystemColor(16);
  ui::Color OuterHighlight = ui::SystemColor(20);
  int OuterWidth = 1;
  TVrBevelStyle OuterStyle = bsRaised;
  TVrBevelOutlineStyle OuterOutline = osOuter;
  int OuterSpace = 0;
  ui::Color OuterColor = ui::clBtnFace;
  bool Visible = true;
  friend bool operator==(const BevelSettings&, const BevelSettings&) = default;
};

// The bevel's total thickness on each side.
inline int BevelThickness(const BevelSettings& b) {
  if (!b.Visible) return 0;
  int t = b.BorderWidth + b.InnerSpace + b.OuterSpace;
  if (b.InnerOutline != osNone) ++t;
  if (b.OuterOutline != osNone) ++t;
  if (b.InnerStyle != bsNone) t += b.InnerWidth;
  if (b.OuterStyle != bsNone) t += b.OuterWidth;
  return t;
}

inline ui::Rect BevelInset(const BevelSettings& b, const ui::Rect& r) {
  const int t = BevelThickness(b);
  return {r.left + t, r.top + t, r.right - t, r.bottom - t};
}

}  // namespace widgets
