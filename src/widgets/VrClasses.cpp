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

void TVrPalette::SetLow(ui::Color c) {
  if (c == low_) return;
  low_ = c;
  if (OnChange) OnChange();
}

void TVrPalette::SetHigh(ui::Color c) {
  if (c == high_) return;
  high_ = c;
  if (OnChange) OnChange();
}

void TVrPalette::Assign(const TVrPalette& other) {
  low_ = other.low_;
  high_ = other.high_;
  if (OnChange) OnChange();
}

void ReplaceColor(ui::Bitmap& bitmap, ui::Color key, ui::Color fill) {
  if (bitmap.Empty()) return;
  const int w = bitmap.Width(), h = bitmap.Height();
  HDC dc = bitmap.Dc();
  // The mask: 1 where the bitmap has the key colour.
  ui::UniqueMemoryDc maskDc(CreateCompatibleDC(dc));
  ui::UniqueBitmap mask(CreateBitmap(w, h, 1, 1, nullptr));
  ui::SelectGuard selMask(maskDc.Get(), mask.Get());
  const COLORREF oldBk = SetBkColor(dc, ui::ToColorRef(key));
  BitBlt(maskDc.Get(), 0, 0, w, h, dc, 0, 0, SRCCOPY);
  // The brush where the mask is 1, the bitmap elsewhere: D ^ ((D ^ P) & S).
  ui::UniqueBrush brush(CreateSolidBrush(ui::ToColorRef(fill)));
  ui::SelectGuard selBrush(dc, brush.Get());
  SetBkColor(dc, RGB(255, 255, 255));
  const COLORREF oldText = SetTextColor(dc, RGB(0, 0, 0));
  BitBlt(dc, 0, 0, w, h, maskDc.Get(), 0, 0, 0xE20746);
  SetTextColor(dc, oldText);
  SetBkColor(dc, oldBk);
}

void TVrPalette::Recolor(ui::Bitmap& bitmap, ui::Color lowKey, ui::Color highKey) const {
  ReplaceColor(bitmap, lowKey, low_);
  ReplaceColor(bitmap, highKey, high_);
}

void TVrFont3D::DrawText3D(ui::Canvas& canvas, const ui::Rect& r, unsigned flags, const std::string& text,
                           const ui::Font& font) const {
  ui::Font f = font;
  auto at = [&](int dx, int dy, ui::Color c) {
    f.color = c;
    canvas.DrawText(r.Offset(dx, dy), text, f, flags);
  };
  switch (Style) {
    case f3dRaised:
      at(ShadowDepth, ShadowDepth, ShadowColor);
      at(-HighlightDepth, -HighlightDepth, HighlightColor);
      break;
    case f3dSunken:
      at(HighlightDepth, HighlightDepth, HighlightColor);
      at(-ShadowDepth, -ShadowDepth, ShadowColor);
      break;
    case f3dShadow:
      at(ShadowDepth, ShadowDepth, ShadowColor);
      break;
    case f3dNone:
      break;
  }
  at(0, 0, font.color);
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
