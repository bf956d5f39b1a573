#include "playback/ReconnectRules.h"

#include <gtest/gtest.h>

#include <vector>

using playback::MayReconnect;
using playback::ReconnectPlan;
using playback::StreamHealth;
using playback::StreamWatch;

TEST(ReconnectRules, OnlyALiveStreamThatPlayedIsBroughtBack) {
  EXPECT_TRUE(MayReconnect(true, true));
  EXPECT_FALSE(MayReconnect(true, false)) << "a station that never played keeps its error";
  EXPECT_FALSE(MayReconnect(false, true)) << "a file ends";
  EXPECT_FALSE(MayReconnect(false, false));
}

TEST(ReconnectRules, AttemptsWaitLongerEachTimeAndEndWithTheBudget) {
  ReconnectPlan plan;
  unsigned long long now = 100000;
  std::vector<unsigned> waits;
  // Every attempt fails at once (refused): the plan alone decides when the next comes.
  while (const auto wait = plan.Failed(now)) {
    waits.push_back(*wait);
    now += *wait;
    ASSERT_LT(waits.size(), 100u) << "the attempts end";
  }
  const std::vector<unsigned> expected = {500, 1000, 2000, 4000, 8000, 8000, 8000, 8000, 8000, 8000};
  EXPECT_EQ(waits, expected);
  EXPECT_LE(now, 100000u + 60000u) << "no attempt starts after the budget";
  EXPECT_FALSE(plan.Active());
  EXPECT_EQ(ReconnectPlan(0).Failed(5), std::nullopt) << "no budget, no attempt";

  // An attempt that hangs until its own deadline counts its time against the budget too.
  ReconnectPlan slow(60000);
  ASSERT_EQ(slow.Failed(0), 500u);
  ASSERT_EQ(slow.Failed(500 + 10000), 1000u);
  ASSERT_EQ(slow.Failed(11500 + 10000 + 1000), 2000u);
  EXPECT_EQ(slow.Failed(58500), std::nullopt) << "2 s of wait would pass the budget";
}

TEST(ReconnectRules, SoundThatReturnsOnlyForAMomentDoesNotRestartTheAttempts) {
  // A server that accepts, plays a second and closes, over and over: the waits grow
  // and the budget from the first drop still ends it.
  ReconnectPlan flapping(60000);
  unsigned long long now = 0;
  int attempts = 0;
  for (std::optional<unsigned> wait = flapping.Failed(now); wait; wait = flapping.Failed(now)) {
    now += *wait;
    flapping.Sound(200);
    flapping.Sound(1200);
    now += 1200;
    ++attempts;
  }
  EXPECT_LE(attempts, 10);
  EXPECT_GE(now, 50000u);
  EXPECT_LE(now, 61200u);

  // Sound that played steadily after the attempts: the next drop starts from 0.5 s again.
  ReconnectPlan steady;
  ASSERT_EQ(steady.Failed(0), 500u);
  ASSERT_EQ(steady.Failed(600), 1000u);
  steady.Sound(playback::kSteadyMs - 1);
  EXPECT_EQ(steady.Failed(2000 + playback::kSteadyMs), 2000u) << "not yet steady";
  for (unsigned ms = 0; ms <= playback::kSteadyMs; ms += 20) steady.Sound(ms);
  EXPECT_EQ(steady.Failed(40000 + playback::kSteadyMs), 500u);
  EXPECT_EQ(steady.DropMs(), 40000u + playback::kSteadyMs);
}

TEST(ReconnectRules, OnlyTheSoundOfAReturnCountsNotTheTimeUntilTheDropIsNoticed) {
  // A station that sends its opening burst and 5 s more after each connection, 9 s of
  // sound, and then stalls; the stall is noticed 5 s after the last byte, while the
  // queued sound still plays. Far more than 9 s pass between the sound's return and
  // the drop, but the return is no steady sound: one plan, and its budget ends it.
  ReconnectPlan plan(60000);
  unsigned long long now = 0;
  std::vector<unsigned> waits;
  for (std::optional<unsigned> wait = plan.Failed(now); wait && waits.size() < 20; wait = plan.Failed(now)) {
    waits.push_back(*wait);
    now += *wait;
    for (unsigned ms = 0; ms <= 9000; ms += 20) plan.Sound(ms);
    now += 14000;
  }
  EXPECT_EQ(waits, (std::vector<unsigned>{500, 1000, 2000, 4000})) << "one plan, never restarted";
  EXPECT_FALSE(plan.Active());
}

// The reader looks every 100 ms while it waits for bytes: the health from `from` to `to`,
// with bytes growing by `perLook` at each look; the first look that is not Fine ends it.
StreamHealth Watch(StreamWatch& w, unsigned long long from, unsigned long long to, long long& bytes,
                   long long perLook = 0) {
  for (unsigned long long t = from; t <= to; t += 100) {
    bytes += perLook;
    if (const StreamHealth h = w.Check(t, bytes); h != StreamHealth::Fine) return h;
  }
  return StreamHealth::Fine;
}

TEST(ReconnectRules, AStreamStallsWithoutBytesAndTurnsUndecodableWithBytesButNoSound) {
  long long bytes = 50000;
  StreamWatch w;
  w.Sound(1000, bytes);
  EXPECT_EQ(Watch(w, 1100, 5900, bytes), StreamHealth::Fine);
  EXPECT_EQ(w.Check(6000, bytes), StreamHealth::Stalled) << "5 s without a byte";

  // Bytes that keep coming put the stall off, but without sound in them they are
  // undecodable after 2 s.
  StreamWatch garbage;
  bytes = 0;
  garbage.Sound(1000, bytes);
  EXPECT_EQ(Watch(garbage, 1100, 3000, bytes, 800), StreamHealth::Fine) << "2 s is not yet more than 2 s";
  EXPECT_EQ(garbage.Check(3001, bytes), StreamHealth::Undecodable);

  // A stream whose sound keeps coming is fine, however its bytes are counted (HLS
  // segments arrive on connections of their own).
  StreamWatch segments;
  for (unsigned long long t = 0; t < 20000; t += 500) {
    segments.Sound(t, 700);
    EXPECT_EQ(segments.Check(t + 400, 700), StreamHealth::Fine);
  }

  // A frame's start that never finished is a stall, not undecodable data.
  StreamWatch cut;
  bytes = 10000;
  cut.Sound(0, bytes);
  bytes += 600;
  EXPECT_EQ(Watch(cut, 100, 4900, bytes), StreamHealth::Fine);
  EXPECT_EQ(Watch(cut, 5000, 5100, bytes), StreamHealth::Stalled);
}

// A reader that could not run for a while (a machine too busy, or asleep) finds bytes
// waiting and no sound decoded since long ago: the stream is not blamed for the pause.
// A stall that follows is noticed as before.
TEST(ReconnectRules, TheReadersOwnPauseIsNotHeldAgainstTheStream) {
  StreamWatch w;
  long long bytes = 0;
  w.Sound(0, bytes);
  EXPECT_EQ(Watch(w, 100, 1000, bytes, 200), StreamHealth::Fine);
  bytes += 100000;  // eight seconds of stream waited in the system while the reader did not run
  EXPECT_EQ(w.Check(9000, bytes), StreamHealth::Fine);
  w.Sound(9100, bytes);
  EXPECT_EQ(Watch(w, 9200, 14000, bytes), StreamHealth::Fine);
  EXPECT_EQ(Watch(w, 14100, 14200, bytes), StreamHealth::Stalled);
}
