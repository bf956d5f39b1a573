#include "widgets/VrBlotter.h"

#include <algorithm>

namespace widgets {

TVrBlotter::TVrBlotter(std::string name) : WinControl(std::move(name)) {
  color_ = ui::clBlack;
  bounds_ = ui::Rect::FromBounds(0, 0, 185, 75);
  size_ = {185, 75};
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

// The window redraws nothing of itself when resized: only an area that grew is painted.
// The bevel along the right and bottom edges moves with the size, so its old and new
// strips are repainted as well (or everything).
void TVrBlotter::BoundsChanged() {
  const ui::Point old = size_;
  size_ = {Width(), Height()};
  if (!Handle() || (old.x == size_.x && old.y == size_.y)) return;
  if (fullRepaint_) {
    Invalidate();
    return;
  }
  const int t = bevel_.InsetRect(ui::Rect{0, 0, 1000, 1000}).left;
  if (t <= 0) return;
  auto invalidate = [this](int left, int top, int right, int bottom) {
    RECT rc{left, top, right, bottom};
    InvalidateRect(Handle(), &rc, FALSE);
  };
  const int tallest = std::max(old.y, size_.y), widest = std::max(old.x, size_.x);
  if (old.x != size_.x) invalidate(std::min(old.x, size_.x) - t - 1, 0, widest, tallest);
  if (old.y != size_.y) invalidate(0, std::min(old.y, size_.y) - t - 1, widest, tallest);
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
