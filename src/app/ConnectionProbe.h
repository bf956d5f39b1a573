// Whether the system reports an internet connection. The system's answer can take tens
// of milliseconds under some systems, too long for the window's 100 ms timer, so a
// worker asks once a second and the timer reads the last answer.
#pragma once

#include <atomic>
#include <memory>
#include <thread>

#include "base/Lock.h"

namespace app {

// The system's side of the connection: WinINet in the program, a stand-in in the tests
// of the off-line paths (the system answers "connected" wherever they run).
class ConnectionSystem {
 public:
  virtual ~ConnectionSystem() = default;
  // Called on the probe's worker.
  virtual bool IsConnected() = 0;
  // Asks the system to connect (it may offer to dial); the answer is not looked at.
  virtual void AttemptConnect() = 0;
};

class ConnectionProbe {
 public:
  ConnectionProbe();
  ~ConnectionProbe();
  ConnectionProbe(const ConnectionProbe&) = delete;
  ConnectionProbe& operator=(const ConnectionProbe&) = delete;

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
  void Run();
  std::shared_ptr<ConnectionSystem> System();

  std::atomic<bool> connected_{false};
  std::atomic<bool> answered_{false};
  base::Mutex mutex_;
  base::ConditionVariable wake_;
  bool quit_ = false;
  bool askNow_ = false;
  std::shared_ptr<ConnectionSystem> system_;
  std::thread worker_;
};

}  // namespace app
