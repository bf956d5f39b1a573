// Text rules shared by the list controls, dialogs and the texts the program shows.
// Portable.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace ui {

// Compares two texts of the ANSI code page (Windows-1252) without regard to case:
// negative, zero or positive. Accented capitals fold to their small letters.
int CompareTextNoCase(std::string_view a, std::string_view b);

// Where a sorted list places a new item: after every item that compares equal or less,
// so that equal items keep the order in which they came.
std::size_t SortedInsertIndex(const std::vector<std::string>& items, std::string_view item);

// Turns a filter written as "Description|*.ext|Other|*.x;*.y" into the common dialogs'
// form: pairs separated by NUL characters, ending with two NULs.
std::string DialogFilter(std::string_view filter);

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

}  // namespace ui
