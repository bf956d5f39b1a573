// Text rules shared by the list controls, dialogs and the texts the program shows.
// Portable.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace base {

// Compares two texts of the ANSI code page (Windows-1252) without regard to case:
// negative, zero or positive. Accented capitals fold to their small letters.
int CompareTextNoCase(std::string_view a, std::string_view b);

// Where a sorted list places a new item: after every item that compares equal or less,
// so that equal items keep the order in which they came.
std::size_t SortedInsertIndex(const std::vector<std::string>& items, std::string_view item);

// Turns a filter written as "Description|*.ext|Other|*.x;*.y" into the common dialogs'
// form: pairs separated by NUL characters, ending with two NULs.
std::string DialogFilter(std::string_view filter);

}  // namespace base
