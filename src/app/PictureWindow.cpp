#include "app/PictureWindow.h"

namespace app {

void BuildPictureWindow(ui::Form& form, widgets::TVrBlotter& panel, ui::Image& picture) {
  form.SetPosition(ui::FormPosition::CenterOnShow);
  form.SetClientSize(492, 236);
  panel.SetParent(&form);
  panel.SetBounds(0, 0, 492, 236);
  widgets::BevelSettings b = panel.Bevel().Settings();
  b.InnerShadow = b.InnerHighlight = ui::clGray;
  b.InnerStyle = widgets::bsLowered;
  b.InnerWidth = 1;
  b.InnerSpace = 1;
  b.InnerColor = ui::clBlack;
  b.InnerOutline = widgets::osNone;
  b.OuterStyle = widgets::bsNone;
  b.OuterOutline = widgets::osNone;
  b.OuterSpace = 0;
  panel.Bevel().Set(b);
  picture.SetParent(&panel);
  picture.SetPicture(ui::Bitmap::FromJpegResource("SPLASH"));
  picture.SetBounds(2, 2, 488, 232);
  picture.SetAutoSize(true);
  form.SizeToContent();
}

}  // namespace app
