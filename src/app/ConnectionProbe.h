// Whether the system reports an internet connection. The system's answer can take tens
// of milliseconds under some systems, too long for the window's 100 ms timer, so a
// worker asks once a second and the timer reads the last answer.
#pragma once

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace app {

class ConnectionProbe {
 public:
  ConnectionProbe() = default;
  ~ConnectionProbe();
  ConnectionProbe(const ConnectionProbe&) = delete;
  ConnectionProbe& operator=(const ConnectionProbe&) = delete;

  // Starts asking; until the first answer the connection counts as missing.
  void Start();
  bool Connected() const { return connected_; }

 private:
  void Run();

  std::atomic<bool> connected_{false};
  std::mutex mutex_;
  std::condition_variable wake_;
  bool quit_ = false;
  std::thread worker_;
};

}  // namespace app
