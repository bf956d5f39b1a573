#include "base/PathRules.h"

namespace base {

namespace {

bool IsSeparator(char c) {
  return c == '\\' || c == '/';
}

char Upper(char c) {
  return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c;
}

bool SameNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (Upper(a[i]) != Upper(b[i])) return false;
  return true;
}

// A port's number: 0 to 9, or the superscripts 1, 2 and 3, which Windows also takes
// (Windows-1252's bytes, or their UTF-8 form where the ANSI code page is UTF-8).
bool IsPortNumber(std::string_view digit) {
  if (digit.size() == 1) {
    const unsigned char c = static_cast<unsigned char>(digit[0]);
    return (c >= '0' && c <= '9') || c == 0xB9 || c == 0xB2 || c == 0xB3;
  }
  return digit == "\xC2\xB9" || digit == "\xC2\xB2" || digit == "\xC2\xB3";
}

}  // namespace

std::size_t ReservedDeviceNameLength(std::string_view name) {
  name = name.substr(0, name.find('.'));
  while (!name.empty() && name.back() == ' ') name.remove_suffix(1);
  for (std::string_view device : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"})
    if (SameNoCase(name, device)) return name.size();
  const bool port = name.size() >= 4 && (SameNoCase(name.substr(0, 3), "COM") || SameNoCase(name.substr(0, 3), "LPT"));
  return port && IsPortNumber(name.substr(3)) ? name.size() : 0;
}

bool IsReservedDeviceName(std::string_view name) {
  return ReservedDeviceNameLength(name) > 0;
}

bool IsNetworkOrDevicePath(std::string_view path) {
  if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1])) return true;
  // \??\ with either separator: the NT name space, which reaches every device and share.
  if (path.size() >= 4 && IsSeparator(path[0]) && path.substr(1, 2) == "??" && IsSeparator(path[3])) return true;
  // "COM1:" names the port as well as "COM1" does.
  if (!path.empty() && path.back() == ':') path.remove_suffix(1);
  const std::size_t sep = path.find_last_of("\\/:");
  return IsReservedDeviceName(sep == std::string_view::npos ? path : path.substr(sep + 1));
}

}  // namespace base
