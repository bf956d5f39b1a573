// The widget timer: ticks on the user-interface thread, timed either by a worker thread
// or by a system timer of a hidden window.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>

#include "ui/Gdi.h"

namespace widgets {

enum TVrTimerType { ttThread, ttSystem };

class TVrTimer;

// The worker that waits out the interval and hands each tick to the user-interface
// thread. It never suspends: a new interval or the end wakes it through its event.
class TVrTimerThread {
 public:
  explicit TVrTimerThread(TVrTimer& owner);
  TVrTimerThread(const TVrTimerThread&) = delete;
  TVrTimerThread& operator=(const TVrTimerThread&) = delete;
  void SetInterval(unsigned ms);
  void SetPriority(int priority);
  // Ends the thread and frees it. Normally this waits for the thread, serving its
  // hand-overs. From inside the thread's own tick (the tick destroys its timer or
  // changes its kind) the thread cannot be waited for: it is cut off from its timer,
  // ends as soon as the tick returns and frees itself.
  static void End(TVrTimerThread* thread);

 private:
  ~TVrTimerThread();
  static DWORD WINAPI Run(LPVOID self);
  void Loop();
  void RunTick(bool handedOver);
  // Whether the calling thread may wait for this one to end.
  bool CanWait() const;

  TVrTimer& owner_;
  std::atomic<unsigned> interval_{1000};
  std::atomic<bool> terminated_{false};
  // Set on the thread that ends the timer while a tick runs; the worker reads it after
  // the tick's hand-over has returned.
  std::atomic<bool> selfFreeing_{false};
  std::atomic<bool> handedOverTick_{false};  // a tick of this thread runs on the user-interface thread
  DWORD threadId_ = 0;
  ui::UniqueKernelHandle wake_;
  ui::UniqueKernelHandle thread_;
};

class TVrTimer {
 public:
  TVrTimer() = default;
  ~TVrTimer();
  TVrTimer(const TVrTimer&) = delete;
  TVrTimer& operator=(const TVrTimer&) = delete;

  bool Enabled() const { return enabled_; }
  // Disabling stops nothing: the timing goes on and the ticks are dropped.
  void SetEnabled(bool on);
  unsigned Interval() const { return interval_; }
  void SetInterval(unsigned ms);
  TVrTimerType TimerType() const { return type_; }
  void SetTimerType(TVrTimerType type);
  int Priority() const { return priority_; }
  void SetPriority(int priority);
  // With SyncEvent the tick runs on the user-interface thread (the default).
  bool SyncEvent = true;
  std::function<void(TVrTimer& sender)> OnTimer;

  // Runs the tick: the handler, when enabled; its errors go to the general error report.
  void Tick();
  // Starts timing with the current settings; called once the owner has set the timer up
  // (a widget after its construction), and again by every setter that needs it.
  void Apply();

 private:
  void TearDown();
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

  bool enabled_ = true;
  unsigned interval_ = 1000;
  TVrTimerType type_ = ttThread;
  int priority_ = THREAD_PRIORITY_NORMAL;
  HWND window_ = nullptr;
  TVrTimerThread* thread_ = nullptr;
};

}  // namespace widgets
