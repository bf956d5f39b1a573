#include "app/StartLog.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>

namespace app {

namespace {

unsigned long long Ticks(const FILETIME& t) {
  return (static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
}

double Counter() {
  LARGE_INTEGER now, frequency;
  QueryPerformanceCounter(&now);
  QueryPerformanceFrequency(&frequency);
  return double(now.QuadPart) * 1000.0 / double(frequency.QuadPart);
}

struct Log {
  HANDLE file = INVALID_HANDLE_VALUE;
  DWORD thread = 0;
  double origin = 0;  // the counter's reading when the process began, in ms
  double last = 0;

  Log() {
    wchar_t path[MAX_PATH];
    const DWORD n = GetEnvironmentVariableW(L"TUNORA_START_LOG", path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return;
    file = CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
    thread = GetCurrentThreadId();
    // The clock knows when the process began; the counter times the steps finely.
    FILETIME created, exited, kernel, user, now;
    GetSystemTimeAsFileTime(&now);
    origin = last = Counter();
    if (GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user) && Ticks(now) > Ticks(created))
      origin -= double(Ticks(now) - Ticks(created)) / 1e4;
  }
};

Log& TheLog() {
  static Log log;  // the first step opens it, on the main thread
  return log;
}

}  // namespace

void StartStep(const char* name) {
  Log& log = TheLog();
  // Only the main thread's steps are the start's: the others run beside it.
  if (log.file == INVALID_HANDLE_VALUE || GetCurrentThreadId() != log.thread) return;
  const double now = Counter();
  char line[160];
  const int n = std::snprintf(line, sizeof line, "%8.1f ms  %+7.1f  %s\r\n", now - log.origin, now - log.last, name);
  log.last = now;
  DWORD written;
  if (n > 0) WriteFile(log.file, line, DWORD(std::min<int>(n, sizeof line - 1)), &written, nullptr);
}

}  // namespace app
