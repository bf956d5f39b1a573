// The program's mutex and condition variable. On Windows the runtime's std::mutex gives a
// mutex a kernel event the first time two threads meet at it and never gives it back (its
// destructor does nothing), so a long run gains a handle whenever a lock is contended for
// the first time, and one for every contended lock that is destroyed. Slim reader/writer
// locks and their condition variables hold no kernel object. Elsewhere these are the
// standard types.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace base {

#ifdef _WIN32

class Mutex {
 public:
  Mutex() = default;
  Mutex(const Mutex&) = delete;
  Mutex& operator=(const Mutex&) = delete;
  void lock();
  void unlock();
  bool try_lock();

 private:
  friend class ConditionVariable;
  void* lock_ = nullptr;  // an SRWLOCK: one pointer, zero when free
};

class ConditionVariable {
 public:
  ConditionVariable() = default;
  ConditionVariable(const ConditionVariable&) = delete;
  ConditionVariable& operator=(const ConditionVariable&) = delete;
  void notify_one() noexcept;
  void notify_all() noexcept;

  void wait(std::unique_lock<Mutex>& lock) { Wait(lock, kForever); }
  template <class Predicate>
  void wait(std::unique_lock<Mutex>& lock, Predicate ready) {
    while (!ready()) wait(lock);
  }
  template <class Clock, class Duration>
  std::cv_status wait_until(std::unique_lock<Mutex>& lock, const std::chrono::time_point<Clock, Duration>& until) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(until - Clock::now()).count();
    if (left > 0) Wait(lock, left >= kForever ? kForever - 1 : static_cast<unsigned long>(left));
    return Clock::now() < until ? std::cv_status::no_timeout : std::cv_status::timeout;
  }
  template <class Clock, class Duration, class Predicate>
  bool wait_until(std::unique_lock<Mutex>& lock, const std::chrono::time_point<Clock, Duration>& until,
                  Predicate ready) {
    while (!ready())
      if (wait_until(lock, until) == std::cv_status::timeout) return ready();
    return true;
  }
  template <class Rep, class Period, class Predicate>
  bool wait_for(std::unique_lock<Mutex>& lock, const std::chrono::duration<Rep, Period>& span, Predicate ready) {
    return wait_until(lock, std::chrono::steady_clock::now() + span, ready);
  }

 private:
  static constexpr unsigned long kForever = 0xFFFFFFFF;  // INFINITE
  void Wait(std::unique_lock<Mutex>& lock, unsigned long ms);
  void* variable_ = nullptr;  // a CONDITION_VARIABLE: one pointer, zero when idle
};

#else

using Mutex = std::mutex;
using ConditionVariable = std::condition_variable;

#endif

}  // namespace base
