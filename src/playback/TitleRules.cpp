#include "playback/TitleRules.h"

#include <algorithm>
#include <array>

namespace playback {

namespace {

// Windows-1252's 0x80..0x9F; 0 where the code page defines no character.
constexpr std::array<char16_t, 32> kCp1252High = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                                  0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                                  0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                                  0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

// Decodes one UTF-8 sequence at bytes[i], advancing i; -1 for a malformed one.
long NextUtf8(std::string_view bytes, std::size_t& i) {
  const auto b = [&](std::size_t k) { return static_cast<unsigned char>(bytes[k]); };
  const unsigned char c = b(i);
  int extra;
  long cp;
  long min;
  if (c < 0x80) {
    ++i;
    return c;
  } else if ((c & 0xE0) == 0xC0) {
    extra = 1, cp = c & 0x1F, min = 0x80;
  } else if ((c & 0xF0) == 0xE0) {
    extra = 2, cp = c & 0x0F, min = 0x800;
  } else if ((c & 0xF8) == 0xF0) {
    extra = 3, cp = c & 0x07, min = 0x10000;
  } else {
    return -1;
  }
  if (i + std::size_t(extra) >= bytes.size()) return -1;
  for (int k = 1; k <= extra; ++k) {
    const unsigned char d = b(i + std::size_t(k));
    if ((d & 0xC0) != 0x80) return -1;
    cp = (cp << 6) | (d & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return -1;
  i += std::size_t(extra) + 1;
  return cp;
}

// Icecast sends the characters a mount's charset lacks as numeric character references
// ("&#1050;", "&#x41A;"). A reference is decoded only when it is whole: "&#", decimal
// digits or 'x' and hex digits, then ';'; anything else stays as the text it is. A
// reference to a surrogate or beyond U+10FFFF stands for no character: U+FFFD. At most
// kMaxReferenceDigits digits (leading zeros included) make a reference.
constexpr std::size_t kMaxReferenceDigits = 10;
constexpr long kBeyondUnicode = 0x110000;

long NextReference(std::string_view bytes, std::size_t& i) {
  std::size_t k = i + 2;
  if (bytes.substr(i, 2) != "&#") return -1;
  const bool hex = k < bytes.size() && (bytes[k] == 'x' || bytes[k] == 'X');
  if (hex) ++k;
  const std::size_t first = k;
  long cp = 0;
  for (; k < bytes.size() && k - first < kMaxReferenceDigits; ++k) {
    const char c = bytes[k];
    int digit;
    if (c >= '0' && c <= '9')
      digit = c - '0';
    else if (hex && c >= 'a' && c <= 'f')
      digit = c - 'a' + 10;
    else if (hex && c >= 'A' && c <= 'F')
      digit = c - 'A' + 10;
    else
      break;
    cp = std::min(cp * (hex ? 16 : 10) + digit, kBeyondUnicode);  // never overflows
  }
  if (k == first || k >= bytes.size() || bytes[k] != ';') return -1;
  i = k + 1;
  return cp >= kBeyondUnicode || (cp >= 0xD800 && cp <= 0xDFFF) ? 0xFFFD : cp;
}

bool IsControl(long cp) {
  return cp < 0x20 || (cp >= 0x7F && cp <= 0x9F);
}
bool IsBreak(long cp) {
  return cp == '\t' || cp == '\n' || cp == '\r' || cp == 0x2028 || cp == 0x2029;
}

}  // namespace

std::optional<std::string> IcyStreamTitle(std::string_view block) {
  // The padding ends the block's text.
  if (const std::size_t nul = block.find('\0'); nul != std::string_view::npos) block = block.substr(0, nul);
  constexpr std::string_view kKey = "StreamTitle=";
  const std::size_t at = block.find(kKey);
  if (at == std::string_view::npos) return std::nullopt;
  std::string_view rest = block.substr(at + kKey.size());
  if (!rest.empty() && (rest.front() == '\'' || rest.front() == '"')) {
    const char quote = rest.front();
    rest.remove_prefix(1);
    // The title ends at the quote that the next field or the block's end follows;
    // failing that, at the first quote and ';' (what follows is not metadata).
    std::size_t end = std::string_view::npos, first = std::string_view::npos;
    for (std::size_t q = rest.find(quote); q != std::string_view::npos; q = rest.find(quote, q + 1)) {
      const std::string_view after = rest.substr(q + 1);
      const bool closes = after.empty() || after == ";" || after.starts_with(";Stream");
      if (closes) {
        end = q;
        break;
      }
      if (first == std::string_view::npos && after.starts_with(";")) first = q;
    }
    if (end == std::string_view::npos) end = first != std::string_view::npos ? first : rest.size();
    return std::string(rest.substr(0, end));
  }
  // No quotes at all: the title runs to the next ';'.
  return std::string(rest.substr(0, rest.find(';')));
}

std::string TitleFromTags(std::string_view artist, std::string_view title, std::string_view streamTitle) {
  if (!streamTitle.empty()) return std::string(streamTitle);
  if (artist.empty()) return std::string(title);
  if (title.empty()) return std::string(artist);
  return std::string(artist) + " - " + std::string(title);
}

bool IsValidUtf8(std::string_view bytes) {
  for (std::size_t i = 0; i < bytes.size();)
    if (NextUtf8(bytes, i) < 0) return false;
  return true;
}

std::u16string DecodeTitle(std::string_view bytes) {
  const bool utf8 = IsValidUtf8(bytes);
  std::u16string out;
  std::size_t chars = 0;
  bool space = false;  // a space waits to be written before the next character
  for (std::size_t i = 0; i < bytes.size() && chars < kMaxTitleChars;) {
    // The reference's bytes are ASCII, the same in UTF-8 and in Windows-1252.
    long cp = bytes[i] == '&' ? NextReference(bytes, i) : -1;
    if (cp < 0 && utf8) {
      cp = NextUtf8(bytes, i);
    } else if (cp < 0) {
      const unsigned char c = static_cast<unsigned char>(bytes[i++]);
      cp = c >= 0x80 && c < 0xA0 ? kCp1252High[c - 0x80] : c;
      if (cp == 0) continue;
    }
    if (cp == ' ' || IsBreak(cp)) {
      space = !out.empty();
      continue;
    }
    if (IsControl(cp)) continue;
    if (space) {
      if (chars + 1 == kMaxTitleChars) break;  // a cut never leaves a blank at the end
      out.push_back(u' ');
      space = false;
      ++chars;
    }
    if (cp > 0xFFFF) {
      out.push_back(char16_t(0xD800 + ((cp - 0x10000) >> 10)));
      out.push_back(char16_t(0xDC00 + ((cp - 0x10000) & 0x3FF)));
    } else {
      out.push_back(char16_t(cp));
    }
    ++chars;
  }
  return out;
}

void NotificationGate::Offer(const std::string& text) {
  waiting_ = text;
}

std::optional<std::string> NotificationGate::Due(unsigned long long now) {
  if (!waiting_) return std::nullopt;
  if (shownAny_ && now - lastShown_ < interval_) return std::nullopt;
  shownAny_ = true;
  lastShown_ = now;
  std::optional<std::string> text = std::move(waiting_);
  waiting_.reset();
  return text;
}

}  // namespace playback
