// The looks the dialogs share: the frames on their background, black fields with aqua
// Arial text, teal bold Arial captions, an aqua 16-pixel bold Arial title, and their
// push buttons (the looks of ButtonLooks).
#pragma once

#include <string>

#include "ui/StdControls.h"
#include "looks/ButtonLooks.h"
#include "widgets/VrBlotter.h"
#include "widgets/VrButtons.h"

namespace looks {

// A frame inside a dialog. Its own surface lets the mouse through to the dialog's
// disabled background, so a press on any free spot drags the dialog, frames included;
// the controls on the frame get the mouse as usual.
class TFramePanel : public widgets::TVrBlotter {
 public:
  using widgets::TVrBlotter::TVrBlotter;

 protected:
  LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;
};

// Puts a control on its parent at the given place.
void Place(ui::Control& control, ui::WinControl& parent, int left, int top, int width, int height);

void StyleTitle(ui::Label& label, const std::string& caption);
void StyleCaption(ui::Label& label, const std::string& caption);
void StyleField(ui::Edit& edit, const std::string& text);
// The same black field with aqua text for a list.
void StyleList(ui::WinControl& list);
// A dialog's command button, 106 x 24 unless told otherwise, in the menu look: silver
// caption, `underMouse` (aqua in most dialogs) while the mouse is over it.
void AddCommandButton(widgets::TVrDemoButton& button, ui::WinControl& parent, int left, int top, const std::string& caption,
                      ui::NotifyEvent onClick, ui::Color underMouse = ui::clAqua, int width = 106, int height = 24);
// An entry button like the main window's presets: teal caption, aqua under the mouse.
void StyleEntryButton(widgets::TVrDemoButton& button, const std::string& caption);

}  // namespace looks
