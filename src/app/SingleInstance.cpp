#include "app/SingleInstance.h"

namespace app {

SingleInstanceGuard::SingleInstanceGuard() {
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = 148;  // the ANSI version record
  GetVersionExA(&info);
  if (info.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS || info.dwPlatformId == VER_PLATFORM_WIN32_NT)
    mutex_ = CreateMutexA(nullptr, TRUE, "OVEXTUNORA");
  // Any other failure to make the mutex does not stop the start.
  anotherCopy_ = GetLastError() == ERROR_ALREADY_EXISTS;
}

SingleInstanceGuard::~SingleInstanceGuard() {
  if (mutex_) CloseHandle(mutex_);
}

}  // namespace app
