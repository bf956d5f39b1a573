#include "playback/NameLookupRules.h"

#include <gtest/gtest.h>

#include <future>
#include <thread>

using namespace std::chrono_literals;
using playback::LookupThreads;
using playback::LookupWait;

// Lookups that never answer until the gate opens: their callers leave when told, the
// bound refuses more at once, and each abandoned lookup frees what it holds when it ends.
TEST(NameLookupRules, CallersLeaveSilentLookupsWhichEndOnTheirOwnWithinTheBound) {
  const LookupThreads threads(2);
  std::promise<void> open;
  const std::shared_future<void> gate = open.get_future().share();
  std::weak_ptr<int> held[2];
  int started = 0;
  for (std::weak_ptr<int>& h : held) {
    auto found = std::make_shared<int>(0);
    h = found;
    int polls = 0;
    const auto stopAfterThree = [&] { return ++polls > 3; };
    const auto silent = [found, gate] {
      gate.wait();
      *found = 1;
    };
    EXPECT_EQ(threads.Run(silent, stopAfterThree, 5ms), LookupWait::Abandoned);
    EXPECT_EQ(polls, 4) << "asked before the start and after each of three waits";
    ++started;
  }
  const auto never = [] { return false; };
  const auto counted = [&started] { ++started; };
  EXPECT_EQ(threads.Run(counted, never, 5ms), LookupWait::Busy);
  const auto stopped = [] { return true; };
  EXPECT_EQ(threads.Run(counted, stopped, 5ms), LookupWait::Abandoned) << "stopped before it starts";
  EXPECT_EQ(started, 2) << "neither was run";
  EXPECT_EQ(threads.Running(), 2);

  open.set_value();
  for (int i = 0; i < 500 && threads.Running() > 0; ++i) std::this_thread::sleep_for(10ms);
  EXPECT_EQ(threads.Running(), 0);
  for (const std::weak_ptr<int>& h : held) EXPECT_TRUE(h.expired()) << "an abandoned lookup frees what it found";
  int answer = 0;
  EXPECT_EQ(threads.Run([&answer] { answer = 42; }, never, 5ms), LookupWait::Answered);
  EXPECT_EQ(answer, 42);
}
