// The guard that keeps a second copy of the program from running: it holds the named
// mutex "OVEXTUNORA" for the life of the process.
#pragma once

#include <windows.h>

namespace app {

class SingleInstanceGuard {
 public:
  // Asks the system version and, on Windows 9x and NT platforms, creates the mutex with
  // initial ownership.
  SingleInstanceGuard();
  ~SingleInstanceGuard();
  SingleInstanceGuard(const SingleInstanceGuard&) = delete;
  SingleInstanceGuard& operator=(const SingleInstanceGuard&) = delete;

  // Another copy held the mutex already: this one must end at once, silently.
  bool AnotherCopyRuns() const { return anotherCopy_; }

 private:
  HANDLE mutex_ = nullptr;
  bool anotherCopy_ = false;
};

}  // namespace app
