// The hand-over from worker threads to the user-interface thread.
#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <thread>

#include "ui/Synchronize.h"
#include "support/WindowTesting.h"

using namespace testing_support;

namespace {

struct Worker {
  explicit Worker(std::function<void()> body) : fn(std::move(body)) {
    handle = CreateThread(nullptr, 0, &Worker::Run, this, 0, nullptr);
  }
  static DWORD WINAPI Run(LPVOID p) {
    static_cast<Worker*>(p)->fn();
    return 0;
  }
  ~Worker() { CloseHandle(handle); }
  std::function<void()> fn;
  HANDLE handle;
};

}  // namespace

TEST(Synchronize, HandedOverCallsRunOnTheUiThreadInOrder) {
  const DWORD ui = GetCurrentThreadId();
  std::vector<int> order;
  bool allOnUi = true;
  Worker w([&] {
    for (int i = 0; i < 200; ++i)
      ui::Synchronize([&, i] {
        order.push_back(i);
        allOnUi &= GetCurrentThreadId() == ui;
      });
  });
  ASSERT_TRUE(ui::WaitForThread(w.handle, 10000)) << "the join serves the worker's calls";
  ASSERT_EQ(order.size(), 200u);
  for (int i = 0; i < 200; ++i) EXPECT_EQ(order[std::size_t(i)], i);
  EXPECT_TRUE(allOnUi);
}

TEST(Synchronize, TheMessageLoopServesHandedOverCalls) {
  std::atomic<bool> done{false};
  int value = 0;
  Worker w([&] {
    ui::Synchronize([&] { value = 42; });
    done = true;
  });
  EXPECT_TRUE(WaitFor([&] { return done.load(); }));
  EXPECT_EQ(value, 42);
  EXPECT_TRUE(ui::WaitForThread(w.handle, 5000));
}

TEST(Synchronize, AnExceptionInAHandedOverCallIsShownAndTheWorkerGoesOn) {
  MessageBoxWatcher watcher;
  std::atomic<int> reached{0};
  Worker w([&] {
    ui::Synchronize([] { throw std::runtime_error("The capture device stopped"); });
    reached = 1;
  });
  EXPECT_TRUE(ui::WaitForThread(w.handle, 10000));
  EXPECT_EQ(reached.load(), 1);
  ASSERT_EQ(watcher.Seen().size(), 1u);
  EXPECT_EQ(watcher.Seen()[0].text, "The capture device stopped");
}

TEST(Synchronize, AWaitForAWorkerThatDoesNotEndTimesOut) {
  HANDLE stop = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  Worker w([&] { WaitForSingleObject(stop, INFINITE); });
  EXPECT_FALSE(ui::WaitForThread(w.handle, 100));
  SetEvent(stop);
  EXPECT_TRUE(ui::WaitForThread(w.handle, 5000));
  CloseHandle(stop);
}
