// What the skin designer needs of the window whose face the skin picture is; the main
// window implements it. The controls that the skin colours come from every window's list
// of skin targets (widgets/SkinTargets.h).
#pragma once

#include <string>

#include "skins/VrFormShape.h"
#include "ui/Form.h"

namespace skins {

class SkinnedWindow {
 public:
  virtual ~SkinnedWindow() = default;

  // The window itself: hidden while a picture loads, moved and shown again.
  virtual ui::Form& Window() = 0;
  // Its outline, cut from the skin picture.
  virtual TVrFormShape& Shape() = 0;
  // The LED display's text.
  virtual void ShowLedText(const std::string& text) = 0;
  // A skin file read into the designer and the window's layout, and written from them.
  virtual void LoadSkinFile(const std::string& fileName) = 0;
  virtual void SaveSkinFile(const std::string& fileName) = 0;
};

}  // namespace skins
