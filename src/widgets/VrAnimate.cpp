#include "widgets/VrAnimate.h"

#include <algorithm>

#include "widgets/AnimateRules.h"

namespace widgets {

TVrAnimate::TVrAnimate(std::string name) : TVrGraphicImageControl(std::move(name)) {
  bounds_ = ui::Rect::FromBounds(0, 0, 50, 50);
  timer_ = std::make_unique<TVrTimer>();
  timer_->SetEnabled(false);
  timer_->SetInterval(150);
  timer_->OnTimer = [this](TVrTimer&) { Step(); };
  timer_->Apply();
}

TVrAnimate::~TVrAnimate() {
  // The timer goes first, so that no tick reaches a widget being torn down.
  timer_.reset();
}

void TVrAnimate::SetBitmap(const ui::Bitmap& bitmap) {
  bitmap_ = ui::Bitmap(bitmap.Width(), bitmap.Height(), ui::clNone);
  if (!bitmap.Empty()) bitmap_.GetCanvas().Draw(0, 0, bitmap);
  GridChanged();
}

void TVrAnimate::SetFrameCols(int cols) {
  cols = std::max(1, cols);
  if (cols == cols_) return;
  cols_ = cols;
  GridChanged();
}

void TVrAnimate::SetFrameRows(int rows) {
  rows = std::max(1, rows);
  if (rows == rows_) return;
  rows_ = rows;
  GridChanged();
}

void TVrAnimate::SetStretch(bool on) {
  if (on == stretch_) return;
  stretch_ = on;
  ContentChanged();
}

void TVrAnimate::SetAutoSize(bool on) {
  if (on == autoSize_) return;
  autoSize_ = on;
  GridChanged();
}

void TVrAnimate::GridChanged() {
  frame_ = 0;
  if (autoSize_ && (FrameWidth() != Width() || FrameHeight() != Height())) SetSize(FrameWidth(), FrameHeight());
  ContentChanged();
}

void TVrAnimate::SetActive(bool on) {
  if (on == active_) return;
  active_ = on;
  timer_->SetEnabled(on);
}

void TVrAnimate::Step() {
  const FrameStep next = NextFrame(frame_, Frames(), loop_);
  frame_ = next.frame;
  if (next.finished) {
    SetActive(false);
    if (OnNotify) OnNotify(*this);
  }
  ContentChanged();
}

void TVrAnimate::DrawContent(ui::Canvas& buffer) {
  if (bitmap_.Empty()) return;
  const int fw = FrameWidth(), fh = FrameHeight();
  if (fw <= 0 || fh <= 0) return;
  const ui::Rect src = FrameSource(frame_, cols_, fw, fh);
  const ui::Rect dest = FrameDest(Width(), Height(), fw, fh, stretch_);
  if (Transparent())
    buffer.DrawTransparent(dest, bitmap_, src, color_);
  else
    buffer.Draw(dest, bitmap_, src);
}

}  // namespace widgets
