#include "base/EncodingRules.h"

namespace base {

std::size_t WholeCharactersCut(std::string_view text, std::size_t maxBytes, const CodePageShape& shape) {
  if (text.size() <= maxBytes) return text.size();
  if (shape.utf8) {
    // Back to the start of the character that the cut falls into.
    std::size_t cut = maxBytes;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
    return cut;
  }
  if (!shape.isLeadByte) return maxBytes;
  std::size_t at = 0;
  while (at < maxBytes) {
    const std::size_t next = at + (shape.isLeadByte(static_cast<unsigned char>(text[at])) ? 2 : 1);
    if (next > maxBytes) break;
    at = next;
  }
  return at;
}

namespace {

// The UTF-16 units of the character that a UTF-8 byte begins; 0 for a byte inside one.
std::size_t UnitsOf(char byte) {
  const auto c = static_cast<unsigned char>(byte);
  return (c & 0xC0) == 0x80 ? 0 : c >= 0xF0 ? 2 : 1;
}

}  // namespace

std::size_t Utf16Units(std::string_view utf8) {
  std::size_t units = 0;
  for (char c : utf8) units += UnitsOf(c);
  return units;
}

std::size_t WholeCharactersCutUtf16(std::string_view utf8, std::size_t maxUnits) {
  std::size_t units = 0;
  for (std::size_t at = 0; at < utf8.size(); ++at) {
    units += UnitsOf(utf8[at]);
    if (units > maxUnits) return at;
  }
  return utf8.size();
}

}  // namespace base
