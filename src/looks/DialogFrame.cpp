#include "looks/DialogFrame.h"

namespace looks {

void BuildDialogFrame(ui::Form& form, widgets::TVrBlotter& background, int width, int height) {
  form.SetColor(ui::clBlack);
  form.SetPosition(ui::FormPosition::CenterOnShow);
  form.SetDragByBackground(true);
  background.SetParent(&form);
  background.SetBounds(0, 0, width, height);
  background.SetEnabled(false);
  form.SizeToContent();
}

}  // namespace looks
