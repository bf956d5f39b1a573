// Texts in the running system's ANSI code page, which may be a double-byte one or UTF-8.
#pragma once

#include <cstddef>
#include <string>

namespace ui {

// The start of text that fits in maxBytes without splitting a character.
std::string CutAnsi(const std::string& text, std::size_t maxBytes);

}  // namespace ui
