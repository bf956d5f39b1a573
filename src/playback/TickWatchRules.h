// How late the main window's ticks come: each tick's distance from the one before,
// beyond the interval. The program measures it only when asked to (tests and
// benchmarks); nothing of it is shown to the user. Portable.
#pragma once

#include <string>

namespace playback {

class TickWatch {
 public:
  explicit TickWatch(unsigned intervalMs) : interval_(intervalMs) {}

  // A tick that runs now (milliseconds of any steady clock).
  void Tick(unsigned long long nowMs);
  // Starts a new measurement: the next tick only sets the starting point.
  void Reset();

  unsigned long long Ticks() const { return ticks_; }
  // The most any tick came later than the interval after the one before it.
  unsigned long long WorstLateMs() const { return worst_; }
  // Ticks that came more than thresholdMs late.
  unsigned long long LateTicks() const { return late_; }
  static constexpr unsigned kLateMs = 50;

  // One line: "ticks N worst-late-ms W late-ticks L".
  std::string Report() const;

 private:
  unsigned interval_;
  bool started_ = false;
  unsigned long long last_ = 0, ticks_ = 0, worst_ = 0, late_ = 0;
};

}  // namespace playback
