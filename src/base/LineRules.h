// Text files as lines, and the integers written on them: what the settings, the
// station groups, the band list and the skin files share. Portable.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace base {

// Lines end at CR, LF or CR LF. An empty line in the middle is an item, a break at the
// very end adds none, and reading stops at a NUL character.
std::vector<std::string> SplitLines(std::string_view text);

// Every line, the last one too, ended by CR LF. A line break or NUL inside a value
// becomes a blank: a value can never push the lines after it out of their positions.
std::string JoinLines(const std::vector<std::string>& lines);

// A line that should hold an integer and does not: "'%s' is not a valid integer value".
class EConvertError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A decimal integer with an optional sign; blanks (spaces, tabs) around it are allowed.
// Anything else, or a value outside the 32-bit range, raises EConvertError naming text.
int ParseSettingsInteger(const std::string& text);

}  // namespace base
