#include "widgets/VrSpinner.h"

namespace widgets {

namespace {

const char* ResourceOf(TVrSpinButtonType kind) {
  switch (kind) {
    case sbUp:
      return "ARROWS_UP";
    case sbDown:
      return "ARROWS_DOWN";
    case sbLeft:
      return "ARROWS_LEFT";
    default:
      return "ARROWS_RIGHT";
  }
}

constexpr ui::Color kLowKey = 0x008000;
constexpr ui::Color kHighKey = 0x00FF00;
constexpr unsigned kFirstDelay = 400;
constexpr unsigned kRepeatDelay = 100;
// Posted to the spinner to free the buttons an orientation change took out of use.
constexpr UINT kFreeRetiredButtons = WM_APP + 0x60;

bool CanTakeFocus(const ui::WinControl* c) {
  return c && c->Handle() && IsWindowVisible(c->Handle()) && IsWindowEnabled(c->Handle());
}

}  // namespace

TVrSpinButton::TVrSpinButton(TVrSpinButtonType kind, std::string name)
    : TVrGraphicControl(std::move(name)), kind_(kind) {
  SetPalette(TVrPalette());
}

void TVrSpinButton::SetPalette(const TVrPalette& palette) {
  image_ = ui::Bitmap::FromBitmapResource(ResourceOf(kind_));
  palette.Recolor(image_, kLowKey, kHighKey);
  Invalidate();
}

void TVrSpinButton::SetFocusMark(bool on) {
  if (on == focusMark_) return;
  focusMark_ = on;
  Invalidate();
}

ui::Rect TVrSpinButton::ImageRect() const {
  const int w = image_.Width() / 3, h = image_.Height();
  return ui::Rect::FromBounds((Width() - w) / 2, (Height() - h) / 2, w, h);
}

bool TVrSpinButton::OnArrow(int x, int y) const {
  // On the arrow: inside the image and not on its transparent surround.
  const ui::Rect r = ImageRect();
  if (!r.Contains({x, y}) || image_.Empty()) return false;
  const ui::Color transparent = image_.PixelAt(0, image_.Height() - 1);
  return image_.PixelAt(r.Width() + x - r.left, y - r.top) != transparent;
}

void TVrSpinButton::Paint(ui::Canvas& canvas) {
  canvas.FillRect(ClientRect(), Parent() ? Parent()->GetColor() : color_);
  const ui::Rect r = ImageRect();
  const int index = !enabled_ ? 0 : pressed_ ? 2 : 1;
  if (!image_.Empty())
    canvas.DrawTransparent(r, image_, r.Offset(index * r.Width() - r.left, -r.top),
                           image_.PixelAt(0, image_.Height() - 1));
  if (focusMark_) canvas.FrameRect(ClientRect().Inflate(-3), ui::clBlack);
}

void TVrSpinButton::MouseDown(ui::MouseButton button, unsigned shift, int x, int y) {
  Control::MouseDown(button, shift, x, y);
  if (button != ui::MouseButton::Left || !enabled_) return;
  // The button keeps the mouse until the release, wherever the press began on it.
  held_ = true;
  if (!MouseCapture()) SetMouseCapture(true);
  if (!OnArrow(x, y)) return;
  pressed_ = true;
  Invalidate();
  PressStarted();
}

void TVrSpinButton::MouseUp(ui::MouseButton button, unsigned shift, int x, int y) {
  if (button == ui::MouseButton::Left && held_) {
    held_ = false;
    SetMouseCapture(false);
    if (pressed_) {
      pressed_ = false;
      Invalidate();
      PressEnded();
    }
    // A release on the arrow clicks once more, also after a press beside it.
    if (enabled_ && OnArrow(x, y)) Click();
  }
  if (OnMouseUp) OnMouseUp(*this, button, shift, x, y);
}

void TVrSpinButton::CancelPress() {
  held_ = false;
  if (MouseCapture()) SetMouseCapture(false);
  if (!pressed_) return;
  pressed_ = false;
  Invalidate();
  PressEnded();
}

void TVrSpinButton::MouseCaptureLost() {
  Control::MouseCaptureLost();
  // Another window took the mouse while the button was held: the repeat ends, no click.
  CancelPress();
}

void TVrSpinButton::EnabledChanged() {
  // A button disabled while held lets go: no pressed face, no repeat, no click.
  if (!enabled_) CancelPress();
}

TVrTimerSpinButton::TVrTimerSpinButton(TVrSpinButtonType kind, std::string name)
    : TVrSpinButton(kind, std::move(name)) {
  timer_.OnTimer = [this](TVrTimer&) { Repeat(); };
  timer_.SetEnabled(false);
  timer_.SetTimerType(ttSystem);
}

void TVrTimerSpinButton::PressStarted() {
  timer_.SetEnabled(false);
  timer_.SetInterval(kFirstDelay);
  timer_.SetEnabled(true);
}

void TVrTimerSpinButton::PressEnded() {
  timer_.SetEnabled(false);
  timer_.Apply();  // stops the system timer itself, not only its ticks
}

void TVrTimerSpinButton::Repeat() {
  timer_.SetInterval(kRepeatDelay);
  if (!pressed_ || !MouseCapture()) return;
  try {
    Click();
  } catch (...) {
    // The press ends here, the mouse is free for the error report.
    CancelPress();
    throw;
  }
}

TVrSpinner::TVrSpinner(std::string name) : TVrCustomControl(std::move(name)) {
  bounds_ = ui::Rect::FromBounds(0, 0, 20, 40);
  palette_.OnChange = [this] {
    first_->SetPalette(palette_);
    second_->SetPalette(palette_);
  };
  MakeButtons();
}

TVrSpinner::~TVrSpinner() {
  marked_ = nullptr;
}

void TVrSpinner::MakeButtons() {
  const bool vertical = orientation_ == voVertical;
  const bool wasSecond = marked_ && marked_ == second_.get();
  for (std::unique_ptr<TVrTimerSpinButton>* old : {&first_, &second_}) {
    if (!*old) continue;
    (*old)->CancelPress();
    (*old)->SetParent(nullptr);
    retired_.push_back(std::move(*old));
  }
  if (!retired_.empty() && Handle()) PostMessageA(Handle(), kFreeRetiredButtons, 0, 0);
  first_ = std::make_unique<TVrTimerSpinButton>(vertical ? sbUp : sbLeft, Name() + "First");
  second_ = std::make_unique<TVrTimerSpinButton>(vertical ? sbDown : sbRight, Name() + "Second");
  for (TVrTimerSpinButton* b : {first_.get(), second_.get()}) {
    b->SetPalette(palette_);
    b->SetEnabled(enabled_);
    b->SetParent(this);
    b->OnMouseDown = [this, b](ui::Control&, ui::MouseButton button, unsigned, int, int) {
      if (button == ui::MouseButton::Left) ButtonPressed(*b);
    };
  }
  // A button taken out of use clicks no more.
  first_->OnClick = [this](ui::Control& b) {
    if (&b == first_.get() && OnUpClick) OnUpClick(*this);
  };
  second_->OnClick = [this](ui::Control& b) {
    if (&b == second_.get() && OnDownClick) OnDownClick(*this);
  };
  marked_ = nullptr;
  Mark(wasSecond ? second_.get() : first_.get());
  PlaceButtons();
}

void TVrSpinner::PlaceButtons() {
  if (!first_ || !second_) return;
  const SpinnerHalves h = SplitSpinner(Width(), Height(), orientation_ == voVertical);
  first_->SetBounds(h.first.left, h.first.top, h.first.Width(), h.first.Height());
  second_->SetBounds(h.second.left, h.second.top, h.second.Width(), h.second.Height());
}

void TVrSpinner::BoundsChanged() {
  if (Width() < SpinnerWidth(Width())) {
    SetBounds(Left(), Top(), SpinnerWidth(Width()), Height());
    return;
  }
  PlaceButtons();
}

void TVrSpinner::SetOrientation(TVrOrientation o) {
  if (o == orientation_) return;
  orientation_ = o;
  MakeButtons();
  Invalidate();
}

void TVrSpinner::EnabledChanged() {
  first_->SetEnabled(enabled_);
  second_->SetEnabled(enabled_);
}

void TVrSpinner::ColorChanged() {
  TVrCustomControl::ColorChanged();
  first_->Invalidate();
  second_->Invalidate();
}

void TVrSpinner::Mark(TVrSpinButton* b) {
  if (marked_ && marked_ != b) marked_->SetFocusMark(false);
  marked_ = b;
  marked_->SetFocusMark(Focused());
}

void TVrSpinner::ButtonPressed(TVrSpinButton& b) {
  Mark(&b);
  if (FocusControl && CanTakeFocus(FocusControl)) {
    if (!FocusControl->Focused()) FocusControl->SetFocus();
  } else if (CanTakeFocus(this) && !Focused()) {
    SetFocus();
  }
}

void TVrSpinner::KeyDown(unsigned& key, unsigned shift) {
  TVrCustomControl::KeyDown(key, shift);
  const bool vertical = orientation_ == voVertical;
  TVrSpinButton* target = nullptr;
  switch (key) {
    case VK_SPACE:
      target = marked_;
      break;
    case VK_UP:
      target = vertical ? first_.get() : nullptr;
      break;
    case VK_DOWN:
      target = vertical ? second_.get() : nullptr;
      break;
    case VK_LEFT:
      target = vertical ? nullptr : first_.get();
      break;
    case VK_RIGHT:
      target = vertical ? nullptr : second_.get();
      break;
    default:
      break;
  }
  if (!target) return;
  Mark(target);
  target->Click();
}

LRESULT TVrSpinner::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_GETDLGCODE:
      return DLGC_WANTARROWS;
    case kFreeRetiredButtons:
      retired_.clear();
      return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      if (marked_) marked_->SetFocusMark(msg == WM_SETFOCUS);
      break;
    default:
      break;
  }
  return TVrCustomControl::WndProc(msg, wp, lp);
}

}  // namespace widgets
