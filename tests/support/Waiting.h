// Waiting in a test or benchmark for something the program, another thread or another
// process does.
#pragma once

#include <windows.h>

namespace testing_support {

// How a wait spends the time between two looks: asleep, or, in a test program with
// windows of its own, dispatching their messages so that they answer meanwhile (the
// window testing support installs that).
inline void (*idleWhileWaiting)(DWORD ms) = [](DWORD ms) { Sleep(ms); };

// Looks at pred every 10 ms until it holds or ms have passed; returns pred(), for the
// test to fail with what it waited for.
template <typename Pred>
bool WaitFor(Pred pred, DWORD ms = 5000) {
  const DWORD start = GetTickCount();
  while (!pred()) {
    if (GetTickCount() - start > ms) return pred();
    idleWhileWaiting(10);
  }
  return true;
}

// How long pred took to hold, in ms; ms + 1 when it did not within ms.
template <typename Pred>
DWORD TimeUntil(Pred pred, DWORD ms) {
  const DWORD start = GetTickCount();
  return WaitFor(pred, ms) ? GetTickCount() - start : ms + 1;
}

}  // namespace testing_support
