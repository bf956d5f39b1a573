// Whether the system reports an internet connection. The system's answer can take tens
// of milliseconds under some systems, too long for the window's 100 ms timer, so a
// worker asks once a second and the timer reads the last answer.
#pragma once

#include <atomic>
#include <memory>

#include "base/Lock.h"
#include "base/Worker.h"

namespace app {

// The system's side of the connection: WinINet in the program, a stand-in in the tests
// of the off-line paths (the system answers "connected" wherever they run).
class ConnectionSystem {
 public:
  virtual ~ConnectionSystem() = default;
  // Called on the watch's worker.
  virtual bool IsConnected() = 0;
  // Asks the system to connect (it may offer to dial); the answer is not looked at.
  virtual void AttemptConnect() = 0;
};

class InternetWatch {
 public:
  InternetWatch();
  InternetWatch(const InternetWatch&) = delete;
  InternetWatch& operator=(const InternetWatch&) = delete;

  // Starts asking; until the first answer the connection counts as missing.
  void Start();
  bool Connected() const { return connected_; }
  // Whether the system has answered since Start.
  bool Answered() const { return answered_; }
  void AttemptConnect();
  // Replaces the system's side (nullptr: the system's own); the next answer comes from
  // the new one at once.
  void SetSystem(std::shared_ptr<ConnectionSystem> system);

 private:
  void Ask();
  std::shared_ptr<ConnectionSystem> System();

  std::atomic<bool> connected_{false};
  std::atomic<bool> answered_{false};
  base::Mutex mutex_;
  std::shared_ptr<ConnectionSystem> system_;
  base::Worker worker_;  // last: it ends before what its passes use
};

}  // namespace app
