// The look-and-feel objects that every widget shares; here the layered 3-D frame.
#pragma once

#include <functional>

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

// Frames `width` one-pixel rectangles, top-left edges in one colour and bottom-right in
// the other, shrinking r by width.
void DrawFrame(ui::Canvas& canvas, ui::Rect& r, ui::Color topLeft, int width, ui::Color bottomRight);

}  // namespace widgets
