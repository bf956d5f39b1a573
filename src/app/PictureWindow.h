// The frame shared by the splash window and the message window: a borderless window of
// 492 x 236 holding a panel with a thin grey frame and the program's 488 x 232 picture.
#pragma once

#include "ui/Form.h"
#include "ui/StdControls.h"
#include "widgets/VrBlotter.h"

namespace app {

// Puts the panel and the picture on the form and sizes the form to them.
void BuildPictureWindow(ui::Form& form, widgets::TVrBlotter& panel, ui::Image& picture);

}  // namespace app
