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
  ~TVrTimerThread();  // ends the thread and waits for it, serving its hand-overs
  TVrTimerThread(const TVrTimerThread&) = delete;
  TVrTimerThread& operator=(const TVrTimerThread&) = delete;
  void SetInterval(unsigned ms);
  void SetPriority(int priority);

 private:
  static DWORD WINAPI Run(LPVOID self);
  void Loop();
  TVrTimer& owner_;
  std::atomic<unsigned> interval_{1000};
  std::atomic<bool> terminated_{false};
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
