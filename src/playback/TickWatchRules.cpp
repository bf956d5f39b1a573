#include "playback/TickWatchRules.h"

namespace playback {

void TickWatch::Tick(unsigned long long nowMs) {
  if (started_) {
    ++ticks_;
    const unsigned long long gap = nowMs > last_ ? nowMs - last_ : 0;
    const unsigned long long late = gap > interval_ ? gap - interval_ : 0;
    if (late > worst_) worst_ = late;
    if (late > kLateMs) ++late_;
  }
  started_ = true;
  last_ = nowMs;
}

void TickWatch::Reset() {
  started_ = false;
  ticks_ = worst_ = late_ = 0;
}

std::string TickWatch::Report() const {
  return "ticks " + std::to_string(ticks_) + " worst-late-ms " + std::to_string(worst_) + " late-ticks " +
         std::to_string(late_);
}

}  // namespace playback
