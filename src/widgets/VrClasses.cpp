#include "widgets/VrClasses.h"

#include <windows.h>

namespace widgets {

void TVrBevel::Assign(const TVrBevel& other) {
  BeginUpdate();
  s_ = other.s_;
  EndUpdate();
  Changed();
}

void TVrBevel::Set(const BevelSettings& s) {
  if (s == s_) return;
  s_ = s;
  Changed();
}

void DrawFrame(ui::Canvas& canvas, ui::Rect& r, ui::Color topLeft, int width, ui::Color bottomRight) {
  HDC dc = canvas.Handle();
  r.right -= 1;
  r.bottom -= 1;
  ui::UniqueHandle<HGDIOBJ, ui::GdiObjectTraits> tl(CreatePen(PS_SOLID, 1, ui::ToColorRef(topLeft)));
  ui::UniqueHandle<HGDIOBJ, ui::GdiObjectTraits> br(CreatePen(PS_SOLID, 1, ui::ToColorRef(bottomRight)));
  for (int i = 0; i < width; ++i) {
    {
      ui::SelectGuard sel(dc, tl.Get());
      POINT a[3] = {{r.left, r.bottom}, {r.left, r.top}, {r.right, r.top}};
      Polyline(dc, a, 3);
    }
    {
      ui::SelectGuard sel(dc, br.Get());
      POINT b[3] = {{r.right, r.top}, {r.right, r.bottom}, {r.left - 1, r.bottom}};
      Polyline(dc, b, 3);
    }
    r = {r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
  }
  r.right += 1;
  r.bottom += 1;
}

void TVrBevel::Paint(ui::Canvas& canvas, ui::Rect& r) const {
  if (!s_.Visible) return;
  auto styled = [&](TVrBevelStyle style, int width, ui::Color shadow, ui::Color highlight) {
    if (style == bsLowered) DrawFrame(canvas, r, shadow, width, highlight);
    else if (style == bsRaised) DrawFrame(canvas, r, highlight, width, shadow);
  };
  DrawFrame(canvas, r, s_.BorderColor, s_.BorderWidth, s_.BorderColor);
  if (s_.OuterOutline == osOuter) DrawFrame(canvas, r, ui::clBlack, 1, ui::clBlack);
  styled(s_.OuterStyle, s_.OuterWidth, s_.OuterShadow, s_.OuterHighlight);
  if (s_.OuterOutline == osInner) DrawFrame(canvas, r, ui::clBlack, 1, ui::clBlack);
  DrawFrame(canvas, r, s_.OuterColor, s_.OuterSpace, s_.OuterColor);
  if (s_.InnerOutline == osOuter) DrawFrame(canvas, r, ui::clBlack, 1, ui::clBlack);
  styled(s_.InnerStyle, s_.InnerWidth, s_.InnerShadow, s_.InnerHighlight);
  if (s_.InnerOutline == osInner) DrawFrame(canvas, r, ui::clBlack, 1, ui::clBlack);
  DrawFrame(canvas, r, s_.InnerColor, s_.InnerSpace, s_.InnerColor);
}

}  // namespace widgets
