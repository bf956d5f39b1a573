#include "widgets/VrMatrix.h"

#include <algorithm>

namespace widgets {

TVrMatrix::TVrMatrix(std::string name) : TVrGraphicImageControl(std::move(name)) {
  color_ = ui::clBlack;
  BevelSettings b = bevel_.Settings();
  b.InnerWidth = 2;
  b.InnerColor = ui::clBlack;
  bevel_.Set(b);
  bevel_.OnChange = [this] { AdjustSize(); };
  palette_.OnChange = [this] { CellImageChanged(); };

  timer_.SetEnabled(false);
  timer_.SetInterval(500);
  timer_.OnTimer = [this](TVrTimer&) { ScrollStep(); };

  PrepareText();
  CellImageChanged();
  Loaded();
}

TVrMatrix::~TVrMatrix() {
  timer_.SetEnabled(false);
  timer_.OnTimer = nullptr;
}

MatrixLayout TVrMatrix::Layout() const {
  return {CellOf(ledStyle_), leds_, spacing_, orientation_ == voHorizontal};
}

MatrixPlacement TVrMatrix::Placement() const {
  switch (alignment_) {
    case vaRightJustify:
      return MatrixPlacement::Right;
    case vaCenter:
      return MatrixPlacement::Center;
    case vaLeftJustify:
      break;
  }
  return MatrixPlacement::Left;
}

void TVrMatrix::SetBounds(int left, int top, int, int) {
  const ui::Point size = MatrixSize(Layout(), bevel_.InsetRect({0, 0, 0, 0}).left);
  TVrGraphicImageControl::SetBounds(left, top, size.x, size.y);
}

void TVrMatrix::AdjustSize() {
  const ui::Rect before = BoundsRect();
  SetBounds(Left(), Top(), Width(), Height());
  if (BoundsRect() == before) Repaint();
}

void TVrMatrix::Loaded() {
  firstCell_ = FirstCellIndex(Placement(), int(text_.shown.size()), leds_);
  AdjustSize();
}

void TVrMatrix::PrepareText() {
  text_ = PrepareMatrixText(Caption(), textStyle_);
}

void TVrMatrix::CaptionChanged() {
  PrepareText();
  Repaint();
}

void TVrMatrix::SetLeds(int leds) {
  if (leds == leds_ || leds < 1) return;
  leds_ = leds;
  PrepareText();
  AdjustSize();
}

void TVrMatrix::SetSpacing(int spacing) {
  if (spacing == spacing_ || spacing < 0) return;
  spacing_ = spacing;
  AdjustSize();
}

void TVrMatrix::SetOrientation(TVrOrientation o) {
  if (o == orientation_) return;
  orientation_ = o;
  AdjustSize();
}

void TVrMatrix::SetLedStyle(TVrMatrixLedStyle style) {
  if (style == ledStyle_) return;
  ledStyle_ = style;
  CellImageChanged();
  AdjustSize();
}

void TVrMatrix::SetTextStyle(TVrMatrixTextStyle style) {
  if (style == textStyle_) return;
  textStyle_ = style;
  PrepareText();
  Repaint();
}

void TVrMatrix::SetAlignment(TVrAlignment a) {
  if (a == alignment_) return;
  alignment_ = a;
  Repaint();
}

void TVrMatrix::SetLedsVisible(bool on) {
  if (on == ledsVisible_) return;
  ledsVisible_ = on;
  Repaint();
}

void TVrMatrix::SetAutoScroll(bool on) {
  if (on == autoScroll_) return;
  autoScroll_ = on;
  timer_.SetEnabled(on);
}

void TVrMatrix::SetTimeInterval(int ms) {
  timer_.SetInterval(unsigned(std::max(ms, 0)));
}

void TVrMatrix::ColorChanged() {
  CellImageChanged();
}

void TVrMatrix::CellImageChanged() {
  cellImage_ = ui::Bitmap();
  CellImage();
  Repaint();
}

const ui::Bitmap& TVrMatrix::CellImage() {
  const COLORREF colors[3] = {ui::ToColorRef(palette_.Low()), ui::ToColorRef(palette_.High()), ui::ToColorRef(color_)};
  if (!cellImage_.Empty() && std::equal(colors, colors + 3, cellColors_)) return cellImage_;
  // Grey dots become Low and the black between them the background, in this order: a
  // Low of black therefore hides the unlit dots in the background too.
  cellImage_ = ui::Bitmap::FromBitmapResource(CellResourceName(ledStyle_));
  palette_.Recolor(cellImage_, ui::clGray, ui::clSilver);
  ReplaceColor(cellImage_, ui::clBlack, color_);
  std::copy(colors, colors + 3, cellColors_);
  return cellImage_;
}

void TVrMatrix::ScrollStep() {
  const int n = int(text_.shown.size());
  const ScrollResult step = widgets::ScrollStep(firstCell_, n, leds_, direction_);
  if (step.passDone) {
    if (OnScrollDone) OnScrollDone(*this);
    // The handler may have put a new text in: the next pass is for that one.
    firstCell_ = ScrollPassStart(int(text_.shown.size()), leds_, direction_);
  } else {
    firstCell_ = step.index;
  }
  Repaint();
}

void TVrMatrix::DrawContent(ui::Canvas& buffer) {
  ui::Rect inside = ClientRect();
  bevel_.Paint(buffer, inside);
  const int n = int(text_.shown.size());
  if (!autoScroll_) firstCell_ = FirstCellIndex(Placement(), n, leds_);

  const MatrixLayout m = Layout();
  const MatrixCell& cell = m.cell;
  const ui::Bitmap& unlit = CellImage();
  ui::Point at = FirstCellOrigin(m, Width(), Height());
  for (int k = 0; k < leds_; ++k) {
    if (ledsVisible_) buffer.Draw(at.x, at.y, unlit);
    const int i = firstCell_ + k;
    if (i >= 1 && i <= n && text_.shown[i - 1] != ' ') {
      const MatrixGlyph& glyph = GlyphOf(static_cast<unsigned char>(text_.shown[i - 1]));
      const ui::Color lit = CodeColor(text_.codes[i - 1], palette_.High());
      for (int row = 0; row < 7; ++row)
        for (int column = 0; column < 5; ++column)
          if (glyph[row] & (0x10 >> column)) Buffer().FillPixels(DotRect(cell, column, row).Offset(at.x, at.y), lit);
    }
    if (m.horizontal)
      at.x += cell.width + spacing_;
    else
      at.y += cell.height + spacing_;
  }
}

}  // namespace widgets
