#include "playback/HlsListRules.h"

#include <gtest/gtest.h>

#include <string>

using namespace playback;

// A live list read again replaces its earlier reading; lists with addresses of their own
// add up, in bytes and in number.
TEST(HlsListRules, TheListsOfAStreamCountTogetherAtTheirLatestReading) {
  constexpr long long kMB = 1024 * 1024;
  HlsListBudget live;
  for (int reload = 0; reload < 10; ++reload) EXPECT_EQ(live.Read("http://h/live.m3u8", 3 * kMB), nullptr);
  EXPECT_EQ(live.TotalBytes(), 3 * kMB);

  HlsListBudget master;
  EXPECT_EQ(master.Read("http://h/master.m3u8", 1000), nullptr);
  EXPECT_EQ(master.Read("http://h/a.m3u8", 2 * kMB), nullptr);
  EXPECT_EQ(master.Read("http://h/b.m3u8", 2 * kMB - 1000), nullptr);
  EXPECT_STREQ(master.Read("http://h/c.m3u8", 1), kHlsListTooLarge);
  EXPECT_STREQ(master.Read("http://h/a.m3u8", 0), kHlsListTooLarge) << "a stream that stopped stays stopped";

  HlsListBudget many;
  for (std::size_t i = 0; i < kMaxHlsLists; ++i) EXPECT_EQ(many.Read("http://h/" + std::to_string(i), 10), nullptr);
  EXPECT_STREQ(many.Read("http://h/one-more", 10), kHlsTooManyLists);
}
