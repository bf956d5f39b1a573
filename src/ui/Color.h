// Colours as the whole program stores them: 0x00BBGGRR, or a system colour with the top
// byte 0xFF and the system colour index in the low byte. Portable.
#pragma once

#include <cstdint>

namespace ui {

using Color = std::uint32_t;

constexpr Color Rgb(int r, int g, int b) {
  return Color(r & 0xFF) | (Color(g & 0xFF) << 8) | (Color(b & 0xFF) << 16);
}
constexpr int RedOf(Color c) { return int(c & 0xFF); }
constexpr int GreenOf(Color c) { return int((c >> 8) & 0xFF); }
constexpr int BlueOf(Color c) { return int((c >> 16) & 0xFF); }
constexpr bool IsSystemColor(Color c) { return (c & 0xFF000000u) == 0xFF000000u; }
constexpr Color SystemColor(int index) { return 0xFF000000u | Color(index & 0xFF); }

constexpr Color clBlack = 0x000000;
constexpr Color clMaroon = 0x000080;
constexpr Color clGreen = 0x008000;
constexpr Color clOlive = 0x008080;
constexpr Color clNavy = 0x800000;
constexpr Color clPurple = 0x800080;
constexpr Color clTeal = 0x808000;
constexpr Color clGray = 0x808080;
constexpr Color clSilver = 0xC0C0C0;
constexpr Color clRed = 0x0000FF;
constexpr Color clLime = 0x00FF00;
constexpr Color clYellow = 0x00FFFF;
constexpr Color clBlue = 0xFF0000;
constexpr Color clFuchsia = 0xFF00FF;
constexpr Color clAqua = 0xFFFF00;
constexpr Color clWhite = 0xFFFFFF;
constexpr Color clBtnFace = SystemColor(15);
constexpr Color clWindow = SystemColor(5);
constexpr Color clWindowText = SystemColor(8);
// No colour at all: a control with this colour paints no background.
constexpr Color clNone = 0x1FFFFFFF;

}  // namespace ui
