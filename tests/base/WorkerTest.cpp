#include "base/Worker.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <vector>

using namespace std::chrono_literals;

// A wake that comes while a pass runs is not lost: another pass follows it. WaitIdle
// returns only once that one ended, and the worker's end brings one last pass.
TEST(Worker, EveryWakeIsAnsweredAndTheEndBringsALastPass) {
  std::vector<bool> passes;  // `last` of each pass
  std::atomic<int> queued{0};
  {
    base::Worker worker;
    worker.Start([&](bool last) {
      passes.push_back(last);
      // The first pass asks again from inside, as an owner's Add during a write does.
      if (queued.exchange(0) == 1) worker.Wake();
    });
    queued = 1;
    worker.Wake();
    worker.WaitIdle();
    EXPECT_EQ(passes, (std::vector<bool>{false, false}));
  }
  EXPECT_EQ(passes, (std::vector<bool>{false, false, true}));
}

TEST(Worker, WithAnIntervalPassesComeUnasked) {
  std::atomic<int> passes{0};
  base::Worker worker;
  worker.Start([&](bool) { ++passes; }, 5ms);
  const auto until = std::chrono::steady_clock::now() + 5s;
  while (passes < 3 && std::chrono::steady_clock::now() < until) std::this_thread::sleep_for(1ms);
  EXPECT_GE(passes, 3);
}

// A pass that outlasts the bound leaves Stop at once; the thread goes on alone with what
// its pass holds and ends later, touching nothing of the worker that is gone.
TEST(Worker, AStopThatRunsOutLeavesTheThreadToEndAlone) {
  auto release = std::make_shared<std::atomic<bool>>(false);
  auto ended = std::make_shared<std::atomic<bool>>(false);
  {
    base::Worker worker;
    worker.Start([release, ended](bool last) {
      while (!*release) std::this_thread::sleep_for(1ms);
      if (last) *ended = true;
    });
    worker.Wake();
    const auto asked = std::chrono::steady_clock::now();
    EXPECT_FALSE(worker.Stop(50ms));
    EXPECT_LT(std::chrono::steady_clock::now() - asked, 2s);
  }
  *release = true;
  const auto until = std::chrono::steady_clock::now() + 5s;
  while (!*ended && std::chrono::steady_clock::now() < until) std::this_thread::sleep_for(1ms);
  EXPECT_TRUE(*ended) << "the last pass still came";
}
