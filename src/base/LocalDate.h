// The day by the computer's clock, as the program's files write dates.
#pragma once

#include <string>

namespace base {

// Today's local date as YYYY-MM-DD.
std::string TodayText();

}  // namespace base
