#include "nowplaying/SleepTimerRules.h"

#include <algorithm>

namespace nowplaying {

void SleepTimer::Start(int minutes, long long now) {
  minutes_ = std::clamp(minutes, kMinMinutes, kMaxMinutes);
  endsAt_ = now + minutes_ * 60000LL;
}

long long SleepTimer::LeftMs(long long now) const {
  if (!Running()) return 0;
  return std::max(0LL, endsAt_ - now);
}

double SleepTimer::Gain(long long now) const {
  if (!Running()) return 1.0;
  const long long left = LeftMs(now);
  if (left >= kFadeMs) return 1.0;
  // Loudness follows the square of the amplitude closely enough: a straight line in
  // amplitude would keep the station loud until the last seconds and then drop it.
  const double part = double(left) / double(kFadeMs);
  return part * part;
}

std::string SleepTimer::TipLine(long long now) const {
  if (!Running()) return {};
  const long long left = LeftMs(now);
  if (left > 60000) return "Sleeping in " + std::to_string((left + 59999) / 60000) + " min";
  return "Sleeping in " + std::to_string((left + 999) / 1000) + " s";
}

std::optional<int> ParseSleepMinutes(const std::string& text) {
  const std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return std::nullopt;
  const std::size_t last = text.find_last_not_of(" \t");
  int value = 0;
  for (std::size_t i = first; i <= last; ++i) {
    const char c = text[i];
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
    if (value > SleepTimer::kMaxMinutes) return std::nullopt;
  }
  if (value < SleepTimer::kMinMinutes) return std::nullopt;
  return value;
}

}  // namespace nowplaying
