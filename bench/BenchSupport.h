// Clocks and the message pump that the benchmarks share.
#pragma once

#include <windows.h>

#include <string>

class TMainForm;

namespace bench {

// Starts the program's windows as at start in a new working directory under the temporary
// folder, named by `prefix` and the process; returns that directory. The main window is
// shown and has had settleMs to settle.
std::string StartProgramIn(const std::string& prefix, double settleMs = 2000);

// The performance counter, in milliseconds.
double Millis();
inline double Micros() {
  return Millis() * 1000;
}
// The CPU time of this process (kernel and user) in seconds.
double CpuSeconds();
// Dispatches messages for the given time, sleeping while there are none, like the
// program's own message loop.
void Pump(double ms);

// Pumps until pred holds or ms have passed; returns pred.
template <typename Pred>
bool WaitFor(Pred pred, double ms) {
  const double start = Millis();
  while (!pred() && Millis() - start < ms) Pump(10);
  return pred();
}

}  // namespace bench
