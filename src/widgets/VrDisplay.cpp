#include "widgets/VrDisplay.h"

#include <algorithm>

#include "widgets/AnimateRules.h"

namespace widgets {

TVrDisplay::TVrDisplay(std::string name) : TVrCustomControl(std::move(name)) {
  color_ = 0x7C9885;
  bounds_ = ui::Rect::FromBounds(0, 0, 150, 100);
  BevelSettings s;
  s.InnerShadow = s.InnerHighlight = ui::clBlack;
  s.InnerWidth = 4;
  s.InnerStyle = bsLowered;
  s.InnerSpace = 1;
  s.InnerColor = ui::clBlack;
  s.OuterShadow = 0xC0C0C0;
  s.OuterHighlight = 0x808080;
  s.OuterWidth = 4;
  s.OuterStyle = bsLowered;
  s.OuterOutline = osOuter;
  s.OuterSpace = 1;
  s.OuterColor = 0xC0C0C0;
  bevel_.Set(s);
  bevel_.OnChange = [this] { Invalidate(); };
}

void TVrDisplay::SetShadowWidth(int w) {
  w = std::max(0, w);
  if (w == shadowWidth_) return;
  shadowWidth_ = w;
  Invalidate();
}

void TVrDisplay::SetShadowColor1(ui::Color c) {
  if (c == shadow1_) return;
  shadow1_ = c;
  Invalidate();
}

void TVrDisplay::SetShadowColor2(ui::Color c) {
  if (c == shadow2_) return;
  shadow2_ = c;
  Invalidate();
}

void TVrDisplay::SetShadowLayout(TVrShadowLayout l) {
  if (l == layout_) return;
  layout_ = l;
  Invalidate();
}

void TVrDisplay::PaintWindow(ui::Canvas& canvas, const ui::Rect&) {
  ui::Rect r = ClientRect();
  canvas.FillRect(r, color_);
  bevel_.Paint(canvas, r);
  // Each shadow line starts at the current corner and runs to the far ends of the
  // rectangle the shadow began with, never past them into the bevel. A line leaves out
  // its end point.
  const ui::Rect outer = r;
  const ui::Color c1 = ui::ToColorRef(shadow1_), c2 = ui::ToColorRef(shadow2_);
  for (int i = 0; i < shadowWidth_ && !r.Empty(); ++i) {
    const ui::Color c = ShadeColor(c1, c2, i, shadowWidth_);
    const int l = r.left, t = r.top, rr = r.right - 1, b = r.bottom - 1;
    switch (layout_) {
      case soTopLeft:
        canvas.Line({l, outer.bottom - 1}, {l, t}, c);
        canvas.Line({l, t}, {outer.right, t}, c);
        break;
      case soTopRight:
        canvas.Line({outer.left, t}, {rr, t}, c);
        canvas.Line({rr, t}, {rr, outer.bottom}, c);
        break;
      case soBottomLeft:
        canvas.Line({l, outer.top}, {l, b}, c);
        canvas.Line({l, b}, {outer.right, b}, c);
        break;
      case soBottomRight:
        canvas.Line({outer.left, b}, {rr, b}, c);
        canvas.Line({rr, b}, {rr, outer.top - 1}, c);
        break;
    }
    r = r.Inflate(-1);
  }
}

}  // namespace widgets
