// A bevelled windowed panel with a graded shadow inside its frame.
#pragma once

#include "widgets/VrClasses.h"
#include "widgets/VrControls.h"

namespace widgets {

enum TVrShadowLayout { soTopLeft, soTopRight, soBottomLeft, soBottomRight };

class TVrDisplay : public TVrCustomControl {
 public:
  explicit TVrDisplay(std::string name = {});
  TVrBevel& Bevel() { return bevel_; }
  int ShadowWidth() const { return shadowWidth_; }
  void SetShadowWidth(int w);
  ui::Color ShadowColor1() const { return shadow1_; }
  void SetShadowColor1(ui::Color c);
  ui::Color ShadowColor2() const { return shadow2_; }
  void SetShadowColor2(ui::Color c);
  TVrShadowLayout ShadowLayout() const { return layout_; }
  void SetShadowLayout(TVrShadowLayout l);
  // The area inside the bevel, where child controls sit.
  ui::Rect ClientArea() const { return bevel_.InsetRect(ClientRect()); }

 protected:
  void PaintWindow(ui::Canvas& canvas, const ui::Rect& area) override;

 private:
  TVrBevel bevel_;
  int shadowWidth_ = 5;
  ui::Color shadow1_ = 0x5E7766;
  ui::Color shadow2_ = 0x7C9885;
  TVrShadowLayout layout_ = soTopLeft;
};

}  // namespace widgets
