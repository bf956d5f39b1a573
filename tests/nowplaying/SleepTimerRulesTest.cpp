#include "nowplaying/SleepTimerRules.h"

#include <gtest/gtest.h>

namespace nowplaying {
namespace {

constexpr long long kStart = 5'000'000;  // the test's clock, any steady count

TEST(SleepTimerRules, FadesOverTheLastHalfMinuteAndEndsOnTime) {
  SleepTimer t;
  EXPECT_EQ(t.Gain(kStart), 1.0);
  EXPECT_EQ(t.TipLine(kStart), "");
  t.Start(12, kStart);
  EXPECT_EQ(t.TipLine(kStart), "Sleeping in 12 min");
  EXPECT_EQ(t.TipLine(kStart + 60'001), "Sleeping in 11 min");
  EXPECT_EQ(t.TipLine(kStart + 11 * 60'000 + 1), "Sleeping in 60 s");
  const long long end = kStart + 12 * 60'000;
  EXPECT_EQ(t.Gain(end - 30'000), 1.0);
  EXPECT_DOUBLE_EQ(t.Gain(end - 15'000), 0.25);
  EXPECT_NEAR(t.Gain(end - 3'000), 0.01, 1e-9);
  double before = 1.0;
  for (long long left = 30'000; left >= 0; left -= 100) {
    EXPECT_LE(t.Gain(end - left), before) << left;
    before = t.Gain(end - left);
  }
  EXPECT_EQ(before, 0.0);
  EXPECT_FALSE(t.Due(end - 1));
  EXPECT_TRUE(t.Due(end));
  EXPECT_TRUE(t.Due(end + 3'600'000)) << "a machine that slept past the end stops at once";
  EXPECT_EQ(t.TipLine(end - 999), "Sleeping in 1 s");
}

TEST(SleepTimerRules, ChoosingAgainRestartsAndOffCancelsTheFade) {
  SleepTimer t;
  t.Start(1, kStart);
  EXPECT_LT(t.Gain(kStart + 50'000), 0.2);
  t.Start(30, kStart + 50'000);
  EXPECT_EQ(t.Gain(kStart + 50'000), 1.0);
  EXPECT_EQ(t.LeftMs(kStart + 50'000), 30 * 60'000);
  t.Cancel();
  EXPECT_FALSE(t.Running());
  EXPECT_FALSE(t.Due(kStart + 100 * 60'000));
  EXPECT_EQ(t.Gain(kStart + 31 * 60'000), 1.0);
  t.Start(5000, kStart);
  EXPECT_EQ(t.Minutes(), SleepTimer::kMaxMinutes);
}

TEST(SleepTimerRules, TypedMinutes) {
  for (const auto& [text, minutes] : {std::pair{"1", 1}, {" 720\t", 720}, {"045", 45}})
    EXPECT_EQ(ParseSleepMinutes(text), minutes) << text;
  for (const char* bad : {"0", "721", "", "  ", "-5", "1 5", "12a", "+3", "99999999999999999999"})
    EXPECT_EQ(ParseSleepMinutes(bad), std::nullopt) << bad;
}

}  // namespace
}  // namespace nowplaying
