// Texts between the running system's ANSI code page (which may be a double-byte one, or
// UTF-8), UTF-16 and UTF-8. The program's own texts are ANSI; what shows characters of
// every script (titles, the tray, song files) keeps UTF-8 and meets the system in UTF-16.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "base/EncodingRules.h"

namespace base {

// How the running system's ANSI code page forms its characters.
const CodePageShape& AnsiCodePageShape();

// The start of text that fits in maxBytes without splitting a character.
std::string CutAnsi(const std::string& text, std::size_t maxBytes);

// UTF-8 and UTF-16, both ways; what is not valid UTF-8 becomes U+FFFD.
std::wstring WideFromUtf8(std::string_view utf8);
std::string Utf8FromWide(std::wstring_view wide);
// An ANSI text (a station's name, say) in UTF-8.
std::string Utf8FromAnsi(std::string_view ansi);
// A text in the ANSI code page, '?' for each character the code page lacks (no
// look-alike: a text shows what it says or a '?').
std::string AnsiFromWide(std::wstring_view wide);
std::string AnsiFromUtf8(std::string_view utf8);
// Bytes that are valid UTF-8 read as UTF-8, any others as ANSI (a host name that came
// either from the user or from a server).
std::wstring WideFromUtf8OrAnsi(std::string_view text);
// The start of a UTF-8 text that takes at most maxUnits UTF-16 units, without splitting
// a character.
std::string CutUtf8ToWide(const std::string& utf8, std::size_t maxUnits);

}  // namespace base
