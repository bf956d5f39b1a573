#include "widgets/VrScale.h"

#include <algorithm>

namespace widgets {

TVrScale::TVrScale(std::string name) : TVrGraphicImageControl(std::move(name)) {
  color_ = ui::clBlack;
  font_ = ui::MakeFont("Arial", PointsToPixels(7), false, 0x008000);
  bounds_ = ui::Rect::FromBounds(0, 0, 215, 11);
}

void TVrScale::SetTicks(int v) {
  // A scale has at least one step: its cells and step are divided by it.
  Set(s_.ticks, std::max(1, v));
}

void TVrScale::DrawContent(ui::Canvas& buffer) {
  const bool vertical = orientation_ == voVertical;
  const std::vector<ScaleLabel> labels = ScaleLabels(s_);
  unsigned flags = DT_SINGLELINE | DT_NOCLIP;
  flags |= alignment_ == vaLeftJustify ? DT_LEFT : alignment_ == vaRightJustify ? DT_RIGHT : DT_CENTER;
  flags |= layout_ == tlTop ? DT_TOP : layout_ == tlBottom ? DT_BOTTOM : DT_VCENTER;
  for (std::size_t i = 0; i < labels.size(); ++i) {
    const ui::Rect cell = ScaleCell(static_cast<int>(i), s_.ticks, vertical, Width(), Height());
    ui::Font font = font_;
    if (labels[i].peak) font.color = peakColor_;
    buffer.DrawText(cell, labels[i].text, font, flags);
    for (const TickLine& line :
         ScaleTickLines(cell, vertical, tickMarks_, scaleOffset_, ticksHeight_, Width(), Height()))
      buffer.Line(line.from, line.to, scaleColor_, ticksWidth_);
  }
}

}  // namespace widgets
