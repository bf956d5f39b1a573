#include "widgets/VrControls.h"

namespace widgets {

TVrGraphicImageControl::TVrGraphicImageControl(std::string name) : TVrGraphicControl(std::move(name)) {}

void TVrGraphicImageControl::SetTransparent(bool on) {
  if (on == transparent_) return;
  transparent_ = on;
  snapshotDue_ = true;
  Invalidate();
}

void TVrGraphicImageControl::TakeSnapshot() {
  snapshot_.SetSize(Width(), Height(), color_ == ui::clNone ? ui::clBlack : color_);
  if (!Parent()) return;
  // What the parent paints beneath this control, moved to the control's own origin.
  HDC dc = snapshot_.Dc();
  ui::SavedDc saved(dc);
  SetViewportOrgEx(dc, -Left(), -Top(), nullptr);
  ui::Canvas c(dc);
  Parent()->PaintBackgroundBelow(c, BoundsRect(), this);
}

void TVrGraphicImageControl::Paint(ui::Canvas& canvas) {
  if (buffer_.Width() != Width() || buffer_.Height() != Height()) buffer_.SetSize(Width(), Height(), ui::clNone);
  if (buffer_.Empty()) return;
  ui::Canvas b = buffer_.GetCanvas();
  if (transparent_) {
    if (snapshotDue_ || snapshot_.Width() != Width() || snapshot_.Height() != Height()) TakeSnapshot();
    b.Draw(0, 0, snapshot_);
  } else {
    b.FillRect(ClientRect(), color_);
  }
  DrawContent(b);
  canvas.Draw(0, 0, buffer_);
  // The next paint caused by the parent (a move, a change beneath) takes a new snapshot.
  snapshotDue_ = true;
}

void TVrGraphicImageControl::ContentChanged() {
  // A change of the content alone keeps what lies beneath: the kept snapshot serves.
  if (transparent_ && !snapshot_.Empty()) snapshotDue_ = false;
  Invalidate();
}

void TVrCustomImageControl::PaintWindow(ui::Canvas& canvas, const ui::Rect&) {
  if (buffer_.Width() != Width() || buffer_.Height() != Height()) buffer_.SetSize(Width(), Height(), ui::clNone);
  if (buffer_.Empty()) return;
  ui::Canvas b = buffer_.GetCanvas();
  b.FillRect(ClientRect(), color_);
  DrawContent(b);
  canvas.Draw(0, 0, buffer_);
}

}  // namespace widgets
