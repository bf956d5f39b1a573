#include "widgets/VrBlotter.h"

namespace widgets {

TVrBlotter::TVrBlotter(std::string name) : WinControl(std::move(name)) {
  color_ = ui::clBlack;
  bounds_ = ui::Rect::FromBounds(0, 0, 185, 75);
  BevelSettings s;
  s.InnerShadow = s.OuterShadow = 0x008000;
  s.InnerHighlight = s.OuterHighlight = 0x00FF00;
  s.InnerColor = ui::clBlack;
  bevel_.Set(s);
  bevel_.OnChange = [this] { Invalidate(); };
}

void TVrBlotter::SetBackImage(const ui::Bitmap& image) {
  backImage_ = ui::Bitmap(image.Width(), image.Height(), ui::clNone);
  if (!image.Empty()) backImage_.GetCanvas().Draw(0, 0, image);
  Invalidate();
}

void TVrBlotter::PaintWindow(ui::Canvas& canvas, const ui::Rect&) {
  const ui::Rect all = ClientRect();
  if (backImage_.Empty()) {
    canvas.FillRect(all, color_);
  } else {
    for (int y = 0; y < all.bottom; y += backImage_.Height())
      for (int x = 0; x < all.right; x += backImage_.Width()) canvas.Draw(x, y, backImage_);
  }
  ui::Rect r = all;
  bevel_.Paint(canvas, r);
}

}  // namespace widgets
