// The looks the dialogs share: an aqua title, teal captions, black fields with aqua
// text in thin framed panels, and black push buttons with silver text.
#pragma once

#include <string>

#include "ui/StdControls.h"
#include "widgets/VrBlotter.h"
#include "widgets/VrButtons.h"

namespace app {

void DialogTitle(ui::Label& label, ui::WinControl* parent, int x, int y, const std::string& text);
void DialogCaption(ui::Label& label, ui::WinControl* parent, int x, int y, const std::string& text);
// A framed panel at (x, y) of the given size.
void FieldFrame(widgets::TVrBlotter& frame, ui::WinControl* parent, int x, int y, int w, int h);
// A borderless black field with aqua text.
void DialogField(ui::WinControl& field, ui::WinControl* parent, int x, int y, int w, int h, int fontPx);
void DialogButton(widgets::TVrDemoButton& b, ui::WinControl* parent, int x, int y, int w, int h,
                  const std::string& caption);

}  // namespace app
