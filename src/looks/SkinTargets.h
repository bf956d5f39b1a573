// The controls of the windows that a skin colours, each with the colour it takes: every
// window that wears the skin lists its own, and the skin designer pushes its colours
// through the whole list at once.
#pragma once

#include <array>
#include <functional>
#include <initializer_list>
#include <utility>
#include <vector>

#include "ui/Control.h"
#include "looks/SkinColours.h"
#include "widgets/VrButtons.h"
#include "widgets/VrClasses.h"

namespace looks {

using SkinPalette = std::array<ui::Color, kSkinColours>;

class SkinTargets {
 public:
  // The font colour of controls.
  void Font(SkinColour colour, std::initializer_list<ui::Control*> controls);
  // The colour of controls (a dialog's backdrop).
  void Fill(SkinColour colour, std::initializer_list<ui::Control*> controls);
  // A push button's text under the mouse, and away from it.
  void Enter(SkinColour colour, std::initializer_list<widgets::TVrDemoButton*> buttons);
  void Leave(SkinColour colour, std::initializer_list<widgets::TVrDemoButton*> buttons);
  // The lit and the unlit colour of displays.
  void High(SkinColour colour, std::initializer_list<widgets::TVrPalette*> palettes);
  void Low(SkinColour colour, std::initializer_list<widgets::TVrPalette*> palettes);
  // A window's command buttons: their text in the button text colour, under the mouse
  // in the mouse-over colour.
  void CommandButtons(std::initializer_list<widgets::TVrDemoButton*> buttons);

  // Every target, in the order listed, set to its colour.
  void Apply(const SkinPalette& colours) const;
  // The command buttons of every window, in the order listed.
  const std::vector<widgets::TVrDemoButton*>& CommandButtons() const { return commandButtons_; }

 private:
  void Add(SkinColour colour, std::function<void(ui::Color)> set);

  std::vector<std::pair<SkinColour, std::function<void(ui::Color)>>> targets_;
  std::vector<widgets::TVrDemoButton*> commandButtons_;
};

}  // namespace looks
