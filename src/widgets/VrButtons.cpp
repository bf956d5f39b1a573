#include "widgets/VrButtons.h"

#include <algorithm>
#include <vector>

#include "ui/Application.h"

namespace widgets {

namespace {

ui::Font ArialBold12(ui::Color c) {
  return ui::MakeFont("Arial", PointsToPixels(12), true, c);
}

}  // namespace

TVrDemoButton::TVrDemoButton(std::string name)
    : TVrCustomImageControl(std::move(name)), fontEnter_(ArialBold12(ui::clRed)), fontLeave_(ArialBold12(ui::clBlack)) {
  bounds_ = ui::Rect::FromBounds(0, 0, 150, 25);
  color_ = ui::clBtnFace;
}

TVrDemoButton::~TVrDemoButton() = default;

// A character typed in the window that matches the caption's marked character clicks
// the button; it is not taken away, so other buttons with the same accelerator react
// as well.
bool TVrDemoButton::DialogChar(char ch) {
  if (Showing() && Enabled() && IsAccelerator(ch, Caption())) Click();
  return false;
}

void TVrDemoButton::SetBitmap(const ui::Bitmap& image) {
  bitmap_ = ui::Bitmap(image.Width(), image.Height(), ui::clNone);
  if (!image.Empty()) bitmap_.GetCanvas().Draw(0, 0, image);
  Invalidate();
}

void TVrDemoButton::SetBevelWidth(int w) {
  if (w < 0 || w > 255) return;
  Store(bevelWidth_, static_cast<std::uint8_t>(w));
}

void TVrDemoButton::SetFont3D(const TVrFont3D& f) {
  if (f.Style == font3D_.Style && f.HighlightColor == font3D_.HighlightColor && f.ShadowColor == font3D_.ShadowColor &&
      f.HighlightDepth == font3D_.HighlightDepth && f.ShadowDepth == font3D_.ShadowDepth)
    return;
  font3D_ = f;
  Invalidate();
}

void TVrDemoButton::DrawContent(ui::Canvas& c) {
  ++paintCount_;
  const bool down = press_.Down();
  const ui::Rect client = ClientRect();
  const ButtonFace face = LayOutButton(client, outlineWidth_, bevelWidth_, down);
  // The buffer already holds the face colour; an image is tiled over it, one pixel
  // further right and down while pressed.
  if (!bitmap_.Empty())
    for (int y = face.tileOrigin.y; y < client.bottom; y += bitmap_.Height())
      for (int x = face.tileOrigin.x; x < client.right; x += bitmap_.Width()) c.Draw(x, y, bitmap_);

  ui::Rect r = client;
  const ui::Color outline = focused_ ? focusColor_ : outlineColor_;
  DrawFrame(c, r, outline, outlineWidth_, outline);
  if (down)
    DrawFrame(c, r, shadowColor_, bevelWidth_, highlightColor_);
  else if (!flat_ || MouseInside())
    DrawFrame(c, r, highlightColor_, bevelWidth_, shadowColor_);

  ui::Font font = MouseInside() && enabled_ ? fontEnter_ : fontLeave_;
  if (!enabled_) font.color = disabledTextColor_;
  font3D_.DrawText3D(c, face.caption, CaptionFlags(textAlignment_), caption_, font);
}

void TVrDemoButton::BeginPress(int x, int y) {
  if (!press_.Begin(ClientRect().Contains({x, y}))) return;
  SetMouseCapture(true);
  if (tabStop_) SetFocus();
  Invalidate();
}

void TVrDemoButton::MouseDown(ui::MouseButton button, unsigned shift, int x, int y) {
  Control::MouseDown(button, shift, x, y);
  if (button == ui::MouseButton::Left) BeginPress(x, y);
}

void TVrDemoButton::MouseMove(unsigned shift, int x, int y) {
  Control::MouseMove(shift, x, y);
  if (press_.Move(ClientRect().Contains({x, y}))) Invalidate();
}

void TVrDemoButton::MouseUp(ui::MouseButton button, unsigned shift, int x, int y) {
  // The base's own click on release is left out: a click comes only from a completed
  // press (or the accelerator), never twice.
  if (button == ui::MouseButton::Left) {
    SetMouseCapture(false);
    if (press_.Release()) {
      Invalidate();
      Click();
    }
  }
  if (OnMouseUp) OnMouseUp(*this, button, shift, x, y);
}

void TVrDemoButton::MouseEnter() {
  Control::MouseEnter();
  Invalidate();
}

void TVrDemoButton::MouseLeave() {
  Control::MouseLeave();
  Invalidate();
}

void TVrDemoButton::KeyDown(unsigned& key, unsigned shift) {
  WinControl::KeyDown(key, shift);
  if (key == VK_SPACE && !press_.Down()) BeginPress(0, 0);
}

void TVrDemoButton::KeyUp(unsigned& key, unsigned shift) {
  WinControl::KeyUp(key, shift);
  if (key != VK_SPACE) return;
  const bool due = press_.Tracking() && press_.Down();
  SetMouseCapture(false);
  press_.Release();
  if (due) {
    Invalidate();
    Click();
  }
}

LRESULT TVrDemoButton::WndProc(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_SETFOCUS || msg == WM_KILLFOCUS) {
    const bool now = msg == WM_SETFOCUS;
    if (now != focused_) {
      focused_ = now;
      Invalidate();
    }
  }
  // Another window took the mouse away (not a release of our own): the press ends
  // without a click.
  if (msg == WM_CAPTURECHANGED && lp != 0 && reinterpret_cast<HWND>(lp) != Handle() && press_.Tracking()) {
    press_.Release();
    Invalidate();
  }
  return TVrCustomImageControl::WndProc(msg, wp, lp);
}

}  // namespace widgets
