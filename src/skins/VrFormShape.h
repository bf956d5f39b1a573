// The surface and outline of a frameless window: it fills its form from the top-left
// corner beneath every other control, shows the skin picture, cuts every pixel of the
// mask colour out of the window, and moves the window when its bare background is
// dragged with the left button.
#pragma once

#include <string>

#include "skins/RegionRules.h"
#include "ui/Canvas.h"
#include "ui/Menus.h"
#include "widgets/VrControls.h"

namespace skins {

class TVrFormShape : public widgets::TVrGraphicControl {
 public:
  static constexpr const char* kNeedsFormMessage = "VrFormShape requires a FORM as parent!";

  explicit TVrFormShape(std::string name = {});

  // Only a form is taken (or none); any other parent raises an error and changes nothing.
  void SetParent(ui::WinControl* parent) override;

  // Raises EBitmapError ("The picture is too large: ...") when the outline of the
  // picture for the mask colour would need more than kMaxOutlineRects rectangles.
  static void CheckOutline(const ui::Bitmap& picture, ui::Color colour);

  const ui::Bitmap& Mask() const { return mask_; }
  // Keeps a copy of the picture, rebuilds the outline and repaints. A picture whose
  // outline is too large (CheckOutline) is refused and changes nothing.
  void SetMask(const ui::Bitmap& picture);
  ui::Color MaskColor() const { return color_; }
  // A new colour rebuilds the outline, unless the outline would be too large (refused as
  // above); the present one changes nothing.
  void SetMaskColor(ui::Color colour);
  TVrRgnData& RgnData() { return rgnData_; }

  // The design has been read: from now on changes rebuild the outline, and the stored
  // one is set at once.
  void Loaded();
  // Sets the held outline as the form's window region (nothing while the form has no
  // window or the data is empty).
  void ApplyOutline();
  // How many times the mask has been scanned.
  int ScanCount() const { return scans_; }

  // Opened by a right click on the background.
  ui::PopupMenu* PopupMenu = nullptr;

  void Paint(ui::Canvas& canvas) override;
  void MouseDown(ui::MouseButton button, unsigned shift, int x, int y) override;
  void MouseUp(ui::MouseButton button, unsigned shift, int x, int y) override;

 protected:
  void ColorChanged() override { Invalidate(); }

 private:
  void RebuildOutline();

  ui::Bitmap mask_;
  TVrRgnData rgnData_;
  bool loading_ = true;
  int scans_ = 0;
};

}  // namespace skins
