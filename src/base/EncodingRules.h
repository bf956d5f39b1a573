// Cutting texts where a character ends: in the ANSI code page, whatever its shape, and in
// UTF-8 counted in the UTF-16 units that Windows measures names and fields in. Portable.
#pragma once

#include <cstddef>
#include <string_view>

namespace base {

// How the ANSI code page forms its characters, for cutting texts without splitting one.
struct CodePageShape {
  bool utf8 = false;
  // A double-byte code page's lead bytes (nullptr: one byte a character).
  bool (*isLeadByte)(unsigned char) = nullptr;
};

// The length of the longest start of text that is at most maxBytes long and ends where a
// character ends.
std::size_t WholeCharactersCut(std::string_view text, std::size_t maxBytes, const CodePageShape& shape);

// How many UTF-16 units a UTF-8 text takes (Windows counts a path's length in them): two
// for a character outside the Basic Multilingual Plane, one for any other.
std::size_t Utf16Units(std::string_view utf8);
// The length in bytes of the longest start of a UTF-8 text that takes at most maxUnits
// UTF-16 units and ends where a character ends.
std::size_t WholeCharactersCutUtf16(std::string_view utf8, std::size_t maxUnits);

}  // namespace base
