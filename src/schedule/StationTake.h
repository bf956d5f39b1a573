// The reader of a scheduled recording: a station read on a thread of its own, without
// any sound output, its frames and titles handed to the recording's files. It does not
// touch the station player, so what the user hears never changes. A connection that
// fails or drops is tried again, as the player brings a dropped station back, until it is
// stopped: a refused start is tried again within the schedule's time.
#pragma once

#include <atomic>
#include <memory>
#include <string>
#include <thread>

#include "base/Lock.h"
#include "playback/StreamTap.h"

namespace schedule {

class StationTake {
 public:
  // The longest the end of a take waits for its thread (the files' last writes).
  static constexpr unsigned kEndWaitMs = 2000;

  // Starts reading `url` at once; raises std::system_error when no thread can start.
  StationTake(std::string url, std::shared_ptr<playback::StreamTap> files);
  // Stops, waiting at most kEndWaitMs for the thread.
  ~StationTake();
  StationTake(const StationTake&) = delete;
  StationTake& operator=(const StationTake&) = delete;

  // Ends the reading; returns at once.
  void Stop() { stop_ = true; }
  // The thread has ended (its files closed).
  bool Ended() const { return shared_->ended; }
  // The last failure to connect, in words; empty while the station sends.
  std::string LastError() const;

 private:
  struct Shared {
    mutable base::Mutex mutex;
    std::string error;
    std::atomic<bool> ended{false};
  };
  void Run(const std::string& url, const std::shared_ptr<playback::StreamTap>& files);
  bool Wait(unsigned ms);

  std::atomic<bool> stop_{false};
  std::shared_ptr<Shared> shared_ = std::make_shared<Shared>();
  std::thread thread_;
};

}  // namespace schedule
