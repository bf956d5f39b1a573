// Calls to a listener of the player's sound (a recording, the songs) carried out on a
// thread of their own, so that a listener that is slow, waits or throws holds up only
// itself: the thread that reads the station posts and goes on. A listener that falls
// behind by more than the lane's budget loses the sound that does not fit (and is told
// of it once); one that throws is switched off. Portable.
#pragma once

#include <cstddef>
#include <deque>
#include <functional>
#include <string>
#include <thread>

#include "base/Lock.h"

namespace playback {

class TapLane {
 public:
  // `who` names the listener in messages ("The recording of the station").
  TapLane(std::string who, std::size_t budgetBytes);
  // Delivers what is queued, then ends the thread.
  ~TapLane();
  TapLane(const TapLane&) = delete;
  TapLane& operator=(const TapLane&) = delete;

  // Queues a call. One that carries sound (`bytes` of it, `ms` long) is dropped while
  // the calls waiting hold more than the budget; the others always go through, since a
  // listener relies on them (a stream's start and end, a title).
  void Post(std::function<void()> call, std::size_t bytes = 0, unsigned ms = 0);
  // A new listener takes the lane: it is switched on again and may be told anew.
  void Revive();
  // Waits up to ms until every call posted so far has been carried out; true when it was.
  bool WaitIdle(unsigned ms);
  // What went wrong with the listener since the last call, in words; empty when nothing
  // did. Each fault is told once.
  std::string TakeNotice();
  // Sound dropped since the lane began, in milliseconds.
  unsigned long long LostMs() const;

 private:
  struct Call {
    std::function<void()> run;
    std::size_t bytes;
  };
  void Run();

  const std::string who_;
  const std::size_t budget_;
  mutable base::Mutex mutex_;
  base::ConditionVariable wake_, idle_;
  std::deque<Call> calls_;
  std::size_t waitingBytes_ = 0;
  bool busy_ = false;
  bool off_ = false;      // the listener threw: its calls are dropped until Revive
  bool toldLoss_ = false;  // the loss of sound was told since the last Revive
  unsigned long long lostMs_ = 0;
  std::string notice_;
  bool quit_ = false;
  std::thread thread_;
};

}  // namespace playback
