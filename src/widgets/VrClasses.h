// The look-and-feel objects that every widget shares; here the layered 3-D frame.
#pragma once

#include <functional>
#include <string>

#include "ui/Canvas.h"
#include "widgets/BevelLayers.h"

namespace widgets {

// A frame painted from the outside inwards in nine layers. Every setter that changes a
// value tells the owner through OnChange, unless an update is under way.
class TVrBevel {
 public:
  const BevelSettings& Settings() const { return s_; }
  // Takes every field of another bevel and tells the owner once.
  void Assign(const TVrBevel& other);
  void Set(const BevelSettings& s);
  template <typename Field, typename Value>
  void SetField(Field BevelSettings::*field, Value v) {
    if (s_.*field == v) return;
    s_.*field = v;
    Changed();
  }

  ui::Rect InsetRect(const ui::Rect& r) const { return BevelInset(s_, r); }
  // Draws the bevel into r, leaving r shrunk by the bevel's thickness.
  void Paint(ui::Canvas& canvas, ui::Rect& r) const;

  void BeginUpdate() { ++updating_; }
  void EndUpdate() {
    if (updating_ > 0) --updating_;
  }
  std::function<void()> OnChange;

 private:
  void Changed() {
    if (updating_ == 0 && OnChange) OnChange();
  }
  BevelSettings s_;
  int updating_ = 0;
};

// The "off" and "on" colours of LED-like widgets.
class TVrPalette {
 public:
  ui::Color Low() const { return low_; }
  ui::Color High() const { return high_; }
  void SetLow(ui::Color c);
  void SetHigh(ui::Color c);
  void Assign(const TVrPalette& other);
  ui::Color ColorFor(int level) const { return level <= 0 ? low_ : high_; }
  // Turns every pixel of the low key into Low and of the high key into High, leaving
  // all other pixels as they are.
  void Recolor(ui::Bitmap& bitmap, ui::Color lowKey, ui::Color highKey) const;
  std::function<void()> OnChange;

 private:
  ui::Color low_ = 0x008000;
  ui::Color high_ = 0x00FF00;
};

// Replaces every pixel of the key colour by the fill colour (mask and brush, raster
// operation 0xE20746), as palette recolouring does.
void ReplaceColor(ui::Bitmap& bitmap, ui::Color key, ui::Color fill);

enum TVrFont3DStyle { f3dNone, f3dRaised, f3dSunken, f3dShadow };

// Raised, sunken and shadowed text.
class TVrFont3D {
 public:
  TVrFont3DStyle Style = f3dNone;
  ui::Color HighlightColor = ui::SystemColor(20);
  ui::Color ShadowColor = ui::SystemColor(16);
  int HighlightDepth = 1;
  int ShadowDepth = 1;
  void DrawText3D(ui::Canvas& canvas, const ui::Rect& r, unsigned flags, const std::string& text,
                  const ui::Font& font) const;
};

// Frames `width` one-pixel rectangles, top-left edges in one colour and bottom-right in
// the other, shrinking r by width.
void DrawFrame(ui::Canvas& canvas, ui::Rect& r, ui::Color topLeft, int width, ui::Color bottomRight);

}  // namespace widgets
