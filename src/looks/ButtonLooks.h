// The five looks of the program's push buttons. Every one has no bevel, a white focus
// outline, captions in Arial without 3-D offsets and the hand cursor; they differ in
// face, outline and caption fonts. The skin later recolours the fonts of the entry,
// menu and link looks only.
#pragma once

#include "widgets/VrButtons.h"

namespace looks {

// A station preset or a history entry: black face, no outline, an 11-pixel bold
// caption, aqua under the mouse and teal otherwise.
void EntryLook(widgets::TVrDemoButton& b);
// REC, STOP and PLAY: a red or green face in a 2-pixel black outline, a 15-pixel bold
// black caption whatever the mouse does.
void TransportLook(widgets::TVrDemoButton& b, ui::Color face);
// The main window's button block and every dialog command: black face in a 1-pixel
// grey outline, an 11-pixel bold silver caption that turns `underMouse` (white on the
// main window and in the skin designer, aqua in the other dialogs).
void MenuLook(widgets::TVrDemoButton& b, ui::Color underMouse);
// A button that reads as a link on its block: black, no outline, an 11-pixel regular
// aqua caption in both states.
void LinkLook(widgets::TVrDemoButton& b);
// The about box's OK: the display's green-grey face in a 1-pixel black outline, an
// 11-pixel bold caption, black, silver under the mouse.
void AboutLook(widgets::TVrDemoButton& b);

}  // namespace looks
