#include "skins/LayoutRules.h"

#include <algorithm>
#include <array>

namespace skins {

const char* LayoutEntryCaption(int item) {
  static constexpr std::array<const char*, kMovableItems> kCaptions{
      "Drag and Drop Display",          "Drag and Drop Fader Block",       "Drag and Drop Band Block",
      "Drag and Drop Station Block",    "Drag and Drop Record Block",      "Drag and Drop Button Block",
      "Drag and Drop Stop Button",      "Drag and Drop Record Button",     "Drag and Drop Play Button",
      "Drag and Drop Station Button 1", "Drag and Drop Station Button 2 ", "Drag and Drop Station Button 3",
      "Drag and Drop Station Button 4", "Drag and Drop Station Button 5",  "Drag and Drop Station Button 6",
      "Drag and Drop Station Button 7"};
  return item >= 1 && item <= kMovableItems ? kCaptions[std::size_t(item - 1)] : "";
}

std::string PointerCaption(int x, int y) {
  return std::to_string(x) + "x" + std::to_string(y);
}

Position CarriedPosition(int x, int y, int windowWidth) {
  // The pointer comes from a 16-bit mouse message: x + 1 cannot overflow.
  const int left = std::clamp(x + 1, 0, std::max(0, windowWidth));
  const int top = std::max(0, y + 1);
  return {left, std::min(top, kMaxSkinPosition)};
}

}  // namespace skins
