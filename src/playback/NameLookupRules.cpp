#include "playback/NameLookupRules.h"

#include <atomic>
#include <system_error>
#include <thread>

#include "base/Lock.h"

namespace playback {

struct LookupThreads::Count {
  explicit Count(int limit) : limit(limit) {}
  const int limit;
  std::atomic<int> running{0};
};

namespace {

// The end of one lookup, told by its thread to a caller that may still be waiting.
struct Ending {
  base::Mutex mutex;
  base::ConditionVariable told;
  bool done = false;
};

}  // namespace

LookupThreads::LookupThreads(int limit) : count_(std::make_shared<Count>(limit)) {}

int LookupThreads::Running() const {
  return count_->running;
}

LookupWait LookupThreads::Run(std::function<void()> lookup, const std::function<bool()>& stop,
                              std::chrono::milliseconds poll) const {
  if (stop()) return LookupWait::Abandoned;
  int running = count_->running;
  do {
    if (running >= count_->limit) return LookupWait::Busy;
  } while (!count_->running.compare_exchange_weak(running, running + 1));
  const auto ending = std::make_shared<Ending>();
  try {
    std::thread([count = count_, ending, lookup = std::move(lookup)]() mutable {
      // An exception would end the process from here: the lookup's answer then stays at
      // the failure it was given before.
      try {
        lookup();
      } catch (...) {
      }
      lookup = nullptr;  // what an abandoned lookup found goes before its place is free
      {
        std::lock_guard lock(ending->mutex);
        ending->done = true;
      }
      ending->told.notify_all();
      --count->running;
    }).detach();
  } catch (const std::system_error&) {
    --count_->running;
    return LookupWait::NoThread;
  }
  for (;;) {
    {
      std::unique_lock lock(ending->mutex);
      if (ending->told.wait_for(lock, poll, [&] { return ending->done; })) return LookupWait::Answered;
    }
    // Asked without the lock: stop() is the caller's and may take its time.
    if (stop()) return LookupWait::Abandoned;
  }
}

std::string LookupRefusedText(LookupWait why, const std::string& host) {
  const std::string text = "The station's name cannot be looked up: ";
  if (why == LookupWait::Busy)
    return text + "the name server has not answered " + std::to_string(kMaxLookups) +
           " earlier lookups yet; try again in a while (" + host + ")";
  return text + "no thread can be started for the lookup (" + host + ")";
}

}  // namespace playback
