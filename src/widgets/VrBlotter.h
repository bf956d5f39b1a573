// The bevelled container panel on which the windows' blocks are built.
#pragma once

#include "ui/WinControl.h"
#include "widgets/VrClasses.h"

namespace widgets {

class TVrBlotter : public ui::WinControl {
 public:
  explicit TVrBlotter(std::string name = {});
  TVrBevel& Bevel() { return bevel_; }
  const ui::Bitmap& BackImage() const { return backImage_; }
  // Keeps a copy of the picture and tiles it over the panel instead of the colour.
  void SetBackImage(const ui::Bitmap& image);
  // The area inside the bevel, where child controls sit.
  ui::Rect ClientArea() const { return bevel_.InsetRect(ClientRect()); }
  // On a size change the whole panel repaints; without, only the bevel's strips along
  // the right and bottom edges that moved.
  bool FullRepaint() const { return fullRepaint_; }
  void SetFullRepaint(bool on) { fullRepaint_ = on; }

 protected:
  void PaintWindow(ui::Canvas& canvas, const ui::Rect& area) override;
  void BoundsChanged() override;

 private:
  TVrBevel bevel_;
  ui::Bitmap backImage_;
  bool fullRepaint_ = true;
  ui::Point size_;  // the size the window had before the latest change
};

}  // namespace widgets
