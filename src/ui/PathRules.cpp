#include "ui/PathRules.h"

namespace ui {

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

}  // namespace

bool IsReservedDeviceName(std::string_view name) {
  name = name.substr(0, name.find('.'));
  while (!name.empty() && name.back() == ' ') name.remove_suffix(1);
  for (std::string_view device : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"})
    if (SameNoCase(name, device)) return true;
  if (name.size() != 4 || !(SameNoCase(name.substr(0, 3), "COM") || SameNoCase(name.substr(0, 3), "LPT"))) return false;
  // Digits 1 to 9, and the superscripts 1, 2 and 3 of the ANSI code page.
  const unsigned char digit = static_cast<unsigned char>(name[3]);
  return (digit >= '1' && digit <= '9') || digit == 0xB9 || digit == 0xB2 || digit == 0xB3;
}

bool IsNetworkOrDevicePath(std::string_view path) {
  if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1])) return true;
  if (path.substr(0, 4) == "\\??\\") return true;
  // "COM1:" names the port as well as "COM1" does.
  if (!path.empty() && path.back() == ':') path.remove_suffix(1);
  const std::size_t sep = path.find_last_of("\\/:");
  return IsReservedDeviceName(sep == std::string_view::npos ? path : path.substr(sep + 1));
}

}  // namespace ui
