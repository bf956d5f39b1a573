// The eight colours of a skin, by what they paint. Portable.
#pragma once

namespace looks {

// In the order of their preview panels in the skin designer and of the skin file:
// the main window's bright and dim parts, the dialogs' bright and dim texts, the
// dialogs' backdrop, the push buttons' text away from and under the mouse, and the
// colour of the skin picture that is cut out of the main window.
enum SkinColour { scWActive, scWPassive, scActive, scPassive, scPopup, scButtonText, scMouseOver, scTrans };
constexpr int kSkinColours = 8;

}  // namespace looks
