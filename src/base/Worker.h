// A thread of its own that does its owner's work in passes: one whenever it is woken,
// one after each interval without a wake (where an interval is given), and a last one
// once it is told to quit. Its lock guards only its own flags: the pass runs without it,
// and what the pass shares with other threads its owner guards.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <thread>

#include "base/Lock.h"

namespace base {

class Worker {
 public:
  // Called on the worker's thread; `last` is true for the pass after Quit.
  using Pass = std::function<void(bool last)>;
  static constexpr std::chrono::milliseconds kNoInterval{0};

  Worker();
  // Quits and waits for the last pass to end.
  ~Worker();
  Worker(const Worker&) = delete;
  Worker& operator=(const Worker&) = delete;

  // Starts the thread; its first pass comes with the first wake or interval. Once only.
  void Start(Pass pass, std::chrono::milliseconds interval = kNoInterval);
  bool Started() const { return thread_.joinable(); }
  // Asks for a pass; one asked while a pass runs comes after it.
  void Wake();
  // Asks for the last pass and returns at once.
  void Quit();
  // Quits and waits at most `bound` for the last pass to end; false when it has not,
  // and the thread then goes on alone, holding what its pass holds, until it ends.
  bool Stop(std::chrono::milliseconds bound);
  // Waits until no pass is asked for or running.
  void WaitIdle();

 private:
  struct State {
    Mutex mutex;
    ConditionVariable wake, idle;
    bool quit = false, woken = false, running = false, ended = false;
  };
  static void Run(const std::shared_ptr<State>& state, const Pass& pass, std::chrono::milliseconds interval);

  // Shared with the thread, which may outlive the worker after a Stop that ran out.
  std::shared_ptr<State> state_;
  std::thread thread_;
};

}  // namespace base
