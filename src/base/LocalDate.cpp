#include "base/LocalDate.h"

#include <windows.h>

#include <cstdio>

namespace base {

std::string TodayText() {
  SYSTEMTIME t;
  GetLocalTime(&t);
  char day[16];
  std::snprintf(day, sizeof day, "%04u-%02u-%02u", t.wYear, t.wMonth, t.wDay);
  return day;
}

}  // namespace base
