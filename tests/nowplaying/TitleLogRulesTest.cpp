// The title log's lines and its size rule.
#include <gtest/gtest.h>

#include "nowplaying/TitleLogRules.h"

using namespace nowplaying;

namespace {

TEST(TitleLog, LineFormat) {
  EXPECT_EQ(TitleLogLine({2026, 3, 4, 5, 6, 7}, "Radio One", "Artist - Song"),
            "2026-03-04 05:06:07\tRadio One\tArtist - Song\r\n");
  EXPECT_EQ(TitleLogLine({2026, 12, 31, 23, 59, 59}, "Tab\tName", "Two\r\nlines"),
            "2026-12-31 23:59:59\tTab Name\tTwo  lines\r\n");
  EXPECT_EQ(TitleLogLine({2026, 1, 1, 0, 0, 0}, "", "\xE9"), "2026-01-01 00:00:00\t\t\xE9\r\n");
}

TEST(TitleLog, PassingTheLimitKeepsTheNewerHalfInWholeLines) {
  EXPECT_FALSE(TitleLogTooLong(1024 * 1024));
  EXPECT_TRUE(TitleLogTooLong(1024 * 1024 + 1));
  std::string log;
  int lines = 0;
  while (!TitleLogTooLong(log.size())) {
    ++lines;
    log += TitleLogLine({2026, 1, 1, 0, 0, lines % 60}, "Station", "Title " + std::to_string(lines));
  }
  const std::string kept = TitleLogNewerHalf(log);
  EXPECT_LE(kept.size(), log.size() / 2);
  EXPECT_GT(kept.size(), log.size() / 2 - 100);
  EXPECT_EQ(kept.substr(0, 20), "2026-01-01 00:00:" + kept.substr(17, 2) + "\t");
  EXPECT_TRUE(log.ends_with(kept));
  EXPECT_TRUE(kept.ends_with("Title " + std::to_string(lines) + "\r\n"));
  // A cut that falls on a line's start keeps that line; a log of one line keeps nothing
  // of a half line.
  EXPECT_EQ(TitleLogNewerHalf("ab\r\ncd\r\n"), "cd\r\n");
  EXPECT_EQ(TitleLogNewerHalf("abcdef\r\n"), "");
}

}  // namespace
