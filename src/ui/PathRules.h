// Which paths the program must never open: those that reach another computer or name a
// device. Opening either can hand the user's credentials to a foreign file server, or
// block the thread on a host or a device that never answers. Portable.
#pragma once

#include <string_view>

namespace ui {

// True for a name that Windows takes as a device whatever folder or extension goes with
// it: CON, PRN, AUX, NUL, COM1-9, LPT1-9 (also with the superscript digits 1, 2, 3),
// CONIN$ and CONOUT$, in any letter case. The name is the part before its first dot,
// blanks at its end left out ("nul .txt" is NUL).
bool IsReservedDeviceName(std::string_view name);

// True for a path that leads to another computer or to a device: one that starts with
// two separators (\\host\share, //host/share, \\?\..., \\.\...), the NT form \??\...,
// and one whose last part is a device name (C:\skins\COM1.bmp).
bool IsNetworkOrDevicePath(std::string_view path);

}  // namespace ui
