// The push button of every window: a coloured or image-tiled face, an outline, a bevel
// and a one-line caption whose font shows whether the mouse is over the button.
#pragma once

#include <cstdint>

#include "widgets/ButtonRules.h"
#include "widgets/VrClasses.h"
#include "widgets/VrControls.h"

namespace widgets {

class TVrDemoButton : public TVrCustomImageControl {
 public:
  explicit TVrDemoButton(std::string name = {});
  ~TVrDemoButton() override;

  const ui::Font& FontEnter() const { return fontEnter_; }
  void SetFontEnter(const ui::Font& f) { Store(fontEnter_, f); }
  const ui::Font& FontLeave() const { return fontLeave_; }
  void SetFontLeave(const ui::Font& f) { Store(fontLeave_, f); }
  const ui::Bitmap& Bitmap() const { return bitmap_; }
  // Keeps a copy of the image; an empty one shows the plain colour.
  void SetBitmap(const ui::Bitmap& image);
  ui::Color OutlineColor() const { return outlineColor_; }
  void SetOutlineColor(ui::Color c) { Store(outlineColor_, c); }
  ui::Color ShadowColor() const { return shadowColor_; }
  void SetShadowColor(ui::Color c) { Store(shadowColor_, c); }
  ui::Color HighlightColor() const { return highlightColor_; }
  void SetHighlightColor(ui::Color c) { Store(highlightColor_, c); }
  int BevelWidth() const { return bevelWidth_; }
  // 0 to 255; other values are ignored.
  void SetBevelWidth(int w);
  int OutlineWidth() const { return outlineWidth_; }
  void SetOutlineWidth(int w) { Store(outlineWidth_, w); }
  TVrTextAlignment TextAlignment() const { return textAlignment_; }
  void SetTextAlignment(TVrTextAlignment a) { Store(textAlignment_, a); }
  ui::Color DisabledTextColor() const { return disabledTextColor_; }
  void SetDisabledTextColor(ui::Color c) { Store(disabledTextColor_, c); }
  ui::Color FocusColor() const { return focusColor_; }
  void SetFocusColor(ui::Color c) { Store(focusColor_, c); }
  const TVrFont3D& Font3D() const { return font3D_; }
  void SetFont3D(const TVrFont3D& f);
  bool Flat() const { return flat_; }
  void SetFlat(bool on) { Store(flat_, on); }
  bool TabStop() const { return tabStop_; }
  void SetTabStop(bool on) { tabStop_ = on; }

  // The state the face shows.
  bool IsDown() const { return press_.Down(); }
  bool IsFocused() const { return focused_; }
  // How many times the button has been painted (repaints are asked for only on changes).
  int PaintCount() const { return paintCount_; }

  void MouseDown(ui::MouseButton button, unsigned shift, int x, int y) override;
  void MouseUp(ui::MouseButton button, unsigned shift, int x, int y) override;
  void MouseMove(unsigned shift, int x, int y) override;
  void MouseEnter() override;
  void MouseLeave() override;
  void KeyDown(unsigned& key, unsigned shift) override;
  void KeyUp(unsigned& key, unsigned shift) override;

 protected:
  void DrawContent(ui::Canvas& buffer) override;
  bool DialogChar(char ch) override;
  LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
  void EnabledChanged() override { Invalidate(); }
  void CaptionChanged() override { Invalidate(); }

 private:
  template <typename T>
  void Store(T& field, const T& value) {
    if (field == value) return;
    field = value;
    Invalidate();
  }
  void BeginPress(int x, int y);

  ui::Font fontEnter_;
  ui::Font fontLeave_;
  ui::Bitmap bitmap_;
  ui::Color outlineColor_ = ui::clBlack;
  ui::Color shadowColor_ = ui::SystemColor(16);
  ui::Color highlightColor_ = ui::SystemColor(20);
  std::uint8_t bevelWidth_ = 2;
  int outlineWidth_ = 1;
  TVrTextAlignment textAlignment_ = vtaCenter;
  ui::Color disabledTextColor_ = ui::SystemColor(3);
  ui::Color focusColor_ = ui::clBlue;
  TVrFont3D font3D_;
  bool flat_ = false;
  bool tabStop_ = false;

  ButtonPress press_;
  bool focused_ = false;
  int paintCount_ = 0;
};

}  // namespace widgets
