// Texts in the running system's ANSI code page, which may be a double-byte one or UTF-8,
// and the UTF-8 and UTF-16 texts of what shows characters of every script.
#pragma once

#include <cstddef>
#include <string>

#include "ui/TextRules.h"

namespace ui {

// How the running system's ANSI code page forms its characters.
const CodePageShape& AnsiCodePageShape();

// The start of text that fits in maxBytes without splitting a character.
std::string CutAnsi(const std::string& text, std::size_t maxBytes);

// UTF-8 and UTF-16, both ways; what is not valid UTF-8 becomes U+FFFD.
std::wstring WideFromUtf8(const std::string& utf8);
std::string Utf8FromWide(const std::wstring& wide);
// An ANSI text (a station's name, say) in UTF-8.
std::string Utf8FromAnsi(const std::string& ansi);
// A UTF-8 text in the ANSI code page, '?' for each character the code page lacks (no
// look-alike: a text shows what it says or a '?').
std::string AnsiFromUtf8(const std::string& utf8);
// The start of a UTF-8 text that takes at most maxUnits UTF-16 units, without splitting
// a character.
std::string CutUtf8ToWide(const std::string& utf8, std::size_t maxUnits);

}  // namespace ui
