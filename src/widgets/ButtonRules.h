// The push button's rules: caption placement flags, the accelerator marked in a caption,
// where face, frame and caption go, and the press that pops up when dragged off.
// Portable.
#pragma once

#include <string_view>

#include "ui/Geometry.h"

namespace widgets {

enum TVrTextAlignment {
  vtaLeft,
  vtaCenter,
  vtaRight,
  vtaTopLeft,
  vtaTop,
  vtaTopRight,
  vtaBottomLeft,
  vtaBottom,
  vtaBottomRight
};

// The text-drawing flags of a caption placement, single line included.
unsigned CaptionFlags(TVrTextAlignment a);

// The character marked with '&' in a caption ("&&" is a plain ampersand), or 0.
char AcceleratorOf(std::string_view caption);
// Whether a typed character is the caption's accelerator, regardless of case.
bool IsAccelerator(char typed, std::string_view caption);

// Where the parts of a button go inside its client rectangle.
struct ButtonFace {
  ui::Point tileOrigin;  // first tile of the face image
  ui::Rect bevel;        // inside the outline
  ui::Rect caption;      // inside outline and bevel, shifted when pressed
};
ButtonFace LayOutButton(const ui::Rect& client, int outlineWidth, int bevelWidth, bool down);

// A press by mouse or space bar: the button is drawn down while the pointer stays on it,
// pops up when dragged off and clicks once when released down.
class ButtonPress {
 public:
  bool Tracking() const { return tracking_; }
  bool Down() const { return down_; }
  // A press at a point on the button (inside) or beside it; true when it starts.
  bool Begin(bool inside);
  // The pointer moved; true when the button's look changes.
  bool Move(bool inside);
  // The release; true when a click is due. The press ends either way.
  bool Release();

 private:
  bool tracking_ = false;
  bool down_ = false;
};

}  // namespace widgets
