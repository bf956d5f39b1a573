#include "base/TextRules.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace {

int Sign(int v) {
  return (v > 0) - (v < 0);
}

}  // namespace

TEST(TextRules, ComparesWithoutRegardToCase) {
  struct Case {
    const char* a;
    const char* b;
    int expected;
  };
  const Case cases[] = {
      {"Pop-Rock", "pop-rock", 0},
      {"alpha", "Alternative", -1},
      {"Zed", "alpha", 1},
      {"Top", "Top 40", -1},
      {"", "", 0},
      {"", "a", -1},
      {"\xC4rger", "\xE4rger", 0},  // Ä and ä
      {"\x8Akoda", "\x9Akoda", 0},  // Š and š
      {"\xD7", "\xF7", -1},         // × and ÷ are no letters
      {"Blues", "Blues-Jazz", -1},
  };
  for (const Case& c : cases) EXPECT_EQ(Sign(base::CompareTextNoCase(c.a, c.b)), c.expected) << c.a << " vs " << c.b;
}

TEST(TextRules, SortedInsertionGivesTheSameListInAnyOrderOfArrival) {
  const std::vector<std::string> bands{"Alternative",
                                       "Blues-Jazz",
                                       "Christian",
                                       "Classical",
                                       "Country",
                                       "Dance-Techno",
                                       "Folk",
                                       "Heavy Metal",
                                       "News",
                                       "Oldies",
                                       "Others - Favorites",
                                       "Others - New",
                                       "Ovexia Radio Network",
                                       "Police",
                                       "Pop-Rock",
                                       "Reggae",
                                       "Sport",
                                       "Talk",
                                       "Top 40"};
  std::mt19937 rng(7);
  for (int round = 0; round < 20; ++round) {
    std::vector<std::string> arrival = bands;
    std::shuffle(arrival.begin(), arrival.end(), rng);
    std::vector<std::string> list;
    for (const std::string& b : arrival) list.insert(list.begin() + std::ptrdiff_t(base::SortedInsertIndex(list, b)), b);
    EXPECT_EQ(list, bands);
  }
}

TEST(TextRules, EqualItemsKeepTheirOrderOfArrival) {
  std::vector<std::string> list{"a", "b"};
  list.insert(list.begin() + std::ptrdiff_t(base::SortedInsertIndex(list, "B")), "B");
  list.insert(list.begin() + std::ptrdiff_t(base::SortedInsertIndex(list, "")), "");
  EXPECT_EQ(list, (std::vector<std::string>{"", "a", "b", "B"}));
}

TEST(TextRules, DialogFiltersBecomeNulSeparatedPairs) {
  EXPECT_EQ(base::DialogFilter("Windows PCM (*.wav)|*.wav"), std::string("Windows PCM (*.wav)\0*.wav\0\0", 27));
  EXPECT_EQ(base::DialogFilter("Skins|*.skn|All|*.*"), std::string("Skins\0*.skn\0All\0*.*\0\0", 21));
}
