// Which paths the program must never open: those that reach another computer or name a
// device. Opening either can hand the user's credentials to a foreign file server, or
// block a thread on a host or a port that never answers, where no interruption reaches
// it. One rule for every path that comes from outside: skin pictures, station addresses,
// playlist and HLS entries, band and song names. Portable.
#pragma once

#include <string_view>

namespace base {

// True for a name that Windows takes as a device whatever folder or extension goes with
// it: CON, PRN, AUX, NUL, COM0-9, LPT0-9 (also with the superscript digits 1, 2, 3, as
// the bytes B9, B2, B3 of the ANSI code page or in UTF-8), CONIN$ and CONOUT$, in any
// letter case. The name is the part before its first dot, blanks at its end left out
// ("nul .txt" is NUL).
bool IsReservedDeviceName(std::string_view name);

// How long the device name at the start of `name` is (its part before the first dot,
// without blanks at its end), or 0 when `name` is no device name.
std::size_t ReservedDeviceNameLength(std::string_view name);

// True for a path that leads to another computer or to a device: one that starts with
// two separators (\\host\share, //host/share, \\?\..., \\.\...), the NT form \??\...,
// and one whose last part is a device name (C:\skins\COM1.bmp).
bool IsNetworkOrDevicePath(std::string_view path);

}  // namespace base
