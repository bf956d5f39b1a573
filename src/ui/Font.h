// A font description (name, pixel height, style, colour) and its GDI font.
#pragma once

#include <windows.h>

#include <string>

#include "ui/Color.h"

namespace ui {

struct FontStyle {
  bool bold = false;
  bool italic = false;
  bool underline = false;
  friend bool operator==(const FontStyle&, const FontStyle&) = default;
};

struct Font {
  std::string name = "MS Sans Serif";
  // Character height in pixels (the cell's internal leading excluded).
  int height = 11;
  FontStyle style;
  // Every character as wide as the others (text in columns): where the named font is
  // missing, the system picks another fixed-pitch one.
  bool fixedPitch = false;
  Color color = clWindowText;
  friend bool operator==(const Font&, const Font&) = default;

  // The shared GDI font of this description; it lives until the program ends.
  HFONT Handle() const;
};

Font MakeFont(std::string name, int height, bool bold, Color color);

// 0x00BBGGRR for any colour, system colours looked up.
COLORREF ToColorRef(Color c);

}  // namespace ui
