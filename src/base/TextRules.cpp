#include "base/TextRules.h"

#include <algorithm>

namespace base {

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

}  // namespace base
