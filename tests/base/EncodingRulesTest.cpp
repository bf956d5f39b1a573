#include "base/EncodingRules.h"

#include <gtest/gtest.h>

// A cut never splits a character: UTF-8 sequences and the two bytes of a double-byte
// code page (Shift-JIS's lead bytes here) stay whole.
TEST(EncodingRules, CutsEndWhereACharacterEnds) {
  const auto shiftJisLead = [](unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); };
  const base::CodePageShape utf8{true, nullptr}, sjis{false, shiftJisLead}, single{};
  struct Case {
    const char* text;
    std::size_t max;
    const base::CodePageShape& shape;
    std::size_t cut;
  };
  const Case cases[] = {
      {"abc", 5, utf8, 3},
      {"a\xC3\xA9z", 2, utf8, 1},  // é would be split
      {"a\xC3\xA9z", 3, utf8, 3},
      {"\xE6\x97\xA5\xE6\x9C\xAC", 5, utf8, 3},  // 日本
      {"\xF0\x9F\x8E\xB5x", 3, utf8, 0},         // a four-byte character
      {"a\x93\xFA\x96\x7B", 2, sjis, 1},         // 日本 in Shift-JIS, its trail byte 0x7B a letter's
      {"a\x93\xFA\x96\x7B", 4, sjis, 3},
      {"a\x93\xFA\x96\x7B", 5, sjis, 5},
      {"a\xE9z", 2, single, 2},
  };
  for (const Case& c : cases)
    EXPECT_EQ(base::WholeCharactersCut(c.text, c.max, c.shape), c.cut) << c.text << " " << c.max;
}
