#include "playback/DeviceClockRules.h"

namespace playback {

std::uint64_t WideCount::Extend(std::uint32_t reading) {
  if (reading < last_) high_ += std::uint64_t(1) << 32;
  last_ = reading;
  return high_ | reading;
}

void DeviceWatch::Look(unsigned long long nowMs, std::uint64_t played, std::uint64_t queued) {
  if (!started_ || played != played_ || queued == 0) {
    // Moving, or nothing to play: nothing to hold against the device.
    started_ = true;
    played_ = played;
    since_ = nowMs;
    return;
  }
  if (nowMs - since_ > kLostMs) lost_ = true;
}

}  // namespace playback
