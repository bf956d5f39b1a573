#include "ui/TextRules.h"

#include <algorithm>

namespace ui {

namespace {

// Windows-1252 letters: ASCII, the Latin-1 range 0xC0..0xDE (but 0xD7, the multiplication
// sign) and the three extra capitals of the 0x80 row (Š, Œ, Ž).
unsigned char FoldCase(unsigned char c) {
  if (c >= 'A' && c <= 'Z') return static_cast<unsigned char>(c + 32);
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<unsigned char>(c + 32);
  if (c == 0x8A || c == 0x8C || c == 0x8E) return static_cast<unsigned char>(c + 16);
  if (c == 0x9F) return 0xFF;  // Ÿ
  return c;
}

}  // namespace

int CompareTextNoCase(std::string_view a, std::string_view b) {
  const std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    const int ca = FoldCase(static_cast<unsigned char>(a[i]));
    const int cb = FoldCase(static_cast<unsigned char>(b[i]));
    if (ca != cb) return ca - cb;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

std::size_t SortedInsertIndex(const std::vector<std::string>& items, std::string_view item) {
  auto it = std::upper_bound(items.begin(), items.end(), item,
                             [](std::string_view v, const std::string& e) { return CompareTextNoCase(v, e) < 0; });
  return static_cast<std::size_t>(it - items.begin());
}

std::string DialogFilter(std::string_view filter) {
  std::string out(filter);
  std::replace(out.begin(), out.end(), '|', '\0');
  out.push_back('\0');
  out.push_back('\0');
  return out;
}

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

}  // namespace ui
