#include "ui/Control.h"

#include "ui/Form.h"
#include "ui/WinControl.h"

namespace ui {

Control::Control(std::string name) : name_(std::move(name)) {}

Control::~Control() {
  if (parent_) parent_->RemoveChild(this);
}

void Control::SetParent(WinControl* parent) {
  if (parent == parent_) return;
  Invalidate();
  if (parent_) parent_->RemoveChild(this);
  parent_ = parent;
  if (parent_) parent_->AddChild(this);
  Invalidate();
}

Form* Control::ParentForm() {
  Control* c = this;
  while (c->parent_) c = c->parent_;
  return dynamic_cast<Form*>(c);
}

void Control::SetBounds(int left, int top, int width, int height) {
  const Rect r = Rect::FromBounds(left, top, std::max(0, width), std::max(0, height));
  if (r == bounds_) return;
  Invalidate();
  bounds_ = r;
  BoundsChanged();
  Invalidate();
}

void Control::SetVisible(bool visible) {
  if (visible == visible_) return;
  if (!visible && parent_) parent_->ReleaseChildCapture(this);
  visible_ = visible;
  VisibleChanged();
  // A hidden control is no longer drawn: its parent repaints the area.
  if (parent_ && parent_->Handle()) {
    const Rect r = bounds_;
    RECT rc{r.left, r.top, r.right, r.bottom};
    InvalidateRect(parent_->Handle(), &rc, FALSE);
  }
}

bool Control::Showing() const {
  if (!visible_) return false;
  if (parent_) return parent_->Showing();
  return IsWindowed() && static_cast<const WinControl*>(this)->Handle() &&
         IsWindowVisible(static_cast<const WinControl*>(this)->Handle());
}

void Control::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  if (!enabled && parent_) parent_->ReleaseChildCapture(this);
  enabled_ = enabled;
  EnabledChanged();
  Invalidate();
}

void Control::SetCaption(const std::string& caption) {
  if (caption == caption_) return;
  caption_ = caption;
  CaptionChanged();
}

void Control::SetColor(Color c) {
  if (c == color_) return;
  color_ = c;
  ColorChanged();
}

void Control::SetFont(const Font& font) {
  if (font == font_) return;
  font_ = font;
  FontChanged();
}

void Control::Invalidate() {
  if (!parent_ || !parent_->Handle() || !visible_) return;
  RECT rc{bounds_.left, bounds_.top, bounds_.right, bounds_.bottom};
  InvalidateRect(parent_->Handle(), &rc, FALSE);
}

void Control::Repaint() {
  Invalidate();
  if (parent_ && parent_->Handle()) UpdateWindow(parent_->Handle());
}

Point Control::OriginInWindow() const {
  if (IsWindowed()) return {0, 0};
  return {bounds_.left, bounds_.top};
}

WinControl* Control::HostWindow() const {
  if (IsWindowed()) return const_cast<WinControl*>(static_cast<const WinControl*>(this));
  return parent_;
}

Point Control::ClientToScreen(Point p) const {
  WinControl* host = HostWindow();
  const Point o = OriginInWindow();
  POINT pt{p.x + o.x, p.y + o.y};
  if (host && host->Handle()) ::ClientToScreen(host->Handle(), &pt);
  return {pt.x, pt.y};
}

Point Control::ScreenToClient(Point p) const {
  WinControl* host = HostWindow();
  POINT pt{p.x, p.y};
  if (host && host->Handle()) ::ScreenToClient(host->Handle(), &pt);
  const Point o = OriginInWindow();
  return {pt.x - o.x, pt.y - o.y};
}

void Control::SetMouseCapture(bool capture) {
  WinControl* host = HostWindow();
  if (!host || !host->Handle()) return;
  if (capture) {
    if (!IsWindowed()) host->captured_ = this;
    ::SetCapture(host->Handle());
  } else if (MouseCapture()) {
    host->captured_ = nullptr;
    ::ReleaseCapture();
  }
}

bool Control::MouseCapture() const {
  WinControl* host = HostWindow();
  if (!host || !host->Handle() || ::GetCapture() != host->Handle()) return false;
  return IsWindowed() ? host->captured_ == nullptr : host->captured_ == this;
}

void Control::Paint(Canvas&) {}

void Control::MouseDown(MouseButton button, unsigned shift, int x, int y) {
  if (button == MouseButton::Left) leftPressed_ = true;
  if (OnMouseDown) OnMouseDown(*this, button, shift, x, y);
}

void Control::MouseUp(MouseButton button, unsigned shift, int x, int y) {
  if (button == MouseButton::Left && leftPressed_) {
    leftPressed_ = false;
    if (ClientRect().Contains({x, y})) Click();
  }
  if (OnMouseUp) OnMouseUp(*this, button, shift, x, y);
}

void Control::MouseMove(unsigned shift, int x, int y) {
  if (OnMouseMove) OnMouseMove(*this, shift, x, y);
}

void Control::MouseEnter() {
  mouseInside_ = true;
  if (OnMouseEnter) OnMouseEnter(*this);
}

void Control::MouseLeave() {
  mouseInside_ = false;
  if (OnMouseLeave) OnMouseLeave(*this);
}

void Control::MouseCaptureLost() { leftPressed_ = false; }

void Control::Click() {
  if (OnClick) OnClick(*this);
}

}  // namespace ui
