// Reading a skin picture from a Windows bitmap file.
#pragma once

#include <string>

#include "ui/Canvas.h"

namespace skins {

// The picture of a .bmp file. A file that is not a valid bitmap raises EBitmapError
// ("Bitmap image is not valid"); one that cannot be read raises EInOutError.
ui::Bitmap LoadSkinImage(const std::string& path);

}  // namespace skins
