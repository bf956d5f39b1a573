// The frame every dialog of the program shares: borderless, centred when shown, moved by
// dragging its background, which is a disabled panel covering the whole window.
#pragma once

#include "ui/Form.h"
#include "widgets/VrBlotter.h"

namespace looks {

void BuildDialogFrame(ui::Form& form, widgets::TVrBlotter& background, int width, int height);

}  // namespace looks
