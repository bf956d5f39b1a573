#include "playback/TickWatchRules.h"

#include <gtest/gtest.h>

using playback::TickWatch;

TEST(TickWatchRules, MeasuresHowLateEachTickCameAfterTheOneBefore) {
  TickWatch w(100);
  w.Tick(5000);  // only the starting point
  EXPECT_EQ(w.Ticks(), 0u);
  w.Tick(5100);
  w.Tick(5190);  // early: not late at all
  w.Tick(5340);  // 50 ms late: not yet "late"
  EXPECT_EQ(w.WorstLateMs(), 50u);
  EXPECT_EQ(w.LateTicks(), 0u);
  w.Tick(5491);
  w.Tick(5900);
  w.Tick(5900);  // two ticks at one time
  EXPECT_EQ(w.Ticks(), 6u);
  EXPECT_EQ(w.WorstLateMs(), 309u);
  EXPECT_EQ(w.LateTicks(), 2u);
  EXPECT_EQ(w.Report(), "ticks 6 worst-late-ms 309 late-ticks 2");

  // A new measurement forgets the old and does not count the pause before it.
  w.Reset();
  w.Tick(90000);
  w.Tick(90105);
  EXPECT_EQ(w.Report(), "ticks 1 worst-late-ms 5 late-ticks 0");
}
