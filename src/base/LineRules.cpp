#include "base/LineRules.h"

#include <charconv>

namespace base {

std::vector<std::string> SplitLines(std::string_view text) {
  text = text.substr(0, text.find('\0'));
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) {
      lines.emplace_back(text.substr(start));
      break;
    }
    lines.emplace_back(text.substr(start, end - start));
    start = end + 1;
    if (text[end] == '\r' && start < text.size() && text[start] == '\n') ++start;
  }
  return lines;
}

std::string JoinLines(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) {
    for (char c : line) text += (c == '\r' || c == '\n' || c == '\0') ? ' ' : c;
    text += "\r\n";
  }
  return text;
}

int ParseSettingsInteger(const std::string& text) {
  const auto isBlank = [](char c) { return c == ' ' || c == '\t'; };
  std::size_t begin = 0, end = text.size();
  while (begin < end && isBlank(text[begin])) ++begin;
  while (end > begin && isBlank(text[end - 1])) --end;
  const char* first = text.data() + begin;
  const char* last = text.data() + end;
  // from_chars takes a minus sign but no plus sign; a sign must be followed by a digit.
  if (first != last && *first == '+' && last - first > 1 && first[1] != '-') ++first;
  int value = 0;
  const auto [ptr, ec] = std::from_chars(first, last, value, 10);
  if (first == last || ec != std::errc() || ptr != last)
    throw EConvertError("'" + text + "' is not a valid integer value");
  return value;
}

}  // namespace base
