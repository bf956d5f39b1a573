// Moving the main window's parts with the mouse: where a carried part goes for a
// pointer position, and the coordinates caption. Portable.
#pragma once

#include <string>

#include "skins/SkinFileRules.h"

namespace skins {

// The layout menu's entries, by item code 1..16 (index 0 is item 1); the entry of
// station button 2 keeps its trailing blank.
const char* LayoutEntryCaption(int item);

// "120x45" for the pointer at (120, 45).
std::string PointerCaption(int x, int y);

// Where the carried part's top-left corner goes for the pointer at (x, y) over a
// window `windowWidth` wide: one pixel right of and below the pointer, never left of
// or above the window's corner, never right of the window's right edge.
Position CarriedPosition(int x, int y, int windowWidth);

}  // namespace skins
