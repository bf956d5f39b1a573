// Waiting in a test or benchmark for something another thread does.
#pragma once

#include <windows.h>

// Polls pred every 10 ms until it holds (true) or ms have passed (false).
template <typename Pred>
bool WaitFor(Pred pred, DWORD ms) {
  const DWORD start = GetTickCount();
  while (!pred()) {
    if (GetTickCount() - start > ms) return false;
    Sleep(10);
  }
  return true;
}
