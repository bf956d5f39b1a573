#include "base/Lock.h"

#include <windows.h>

#include <system_error>

namespace base {

namespace {

// The structures are one pointer each, all zero at rest: the members stand in for them.
static_assert(sizeof(SRWLOCK) == sizeof(void*) && sizeof(CONDITION_VARIABLE) == sizeof(void*));

PSRWLOCK Srw(void*& lock) { return reinterpret_cast<PSRWLOCK>(&lock); }

}  // namespace

void Mutex::lock() { AcquireSRWLockExclusive(Srw(lock_)); }

void Mutex::unlock() { ReleaseSRWLockExclusive(Srw(lock_)); }

bool Mutex::try_lock() { return TryAcquireSRWLockExclusive(Srw(lock_)) != FALSE; }

void ConditionVariable::notify_one() noexcept {
  WakeConditionVariable(reinterpret_cast<PCONDITION_VARIABLE>(&variable_));
}

void ConditionVariable::notify_all() noexcept {
  WakeAllConditionVariable(reinterpret_cast<PCONDITION_VARIABLE>(&variable_));
}

void ConditionVariable::Wait(std::unique_lock<Mutex>& lock, unsigned long ms) {
  if (!lock.owns_lock()) throw std::system_error(std::make_error_code(std::errc::operation_not_permitted));
  // Wakes spuriously or on time as well as on a notification: callers check their condition.
  if (!SleepConditionVariableSRW(reinterpret_cast<PCONDITION_VARIABLE>(&variable_), Srw(lock.mutex()->lock_), ms, 0) &&
      GetLastError() != ERROR_TIMEOUT)
    throw std::system_error(int(GetLastError()), std::system_category(), "SleepConditionVariableSRW");
}

}  // namespace base
