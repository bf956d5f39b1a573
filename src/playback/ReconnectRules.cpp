#include "playback/ReconnectRules.h"

#include <algorithm>

namespace playback {

bool MayReconnect(bool live, bool hasPlayed) {
  return live && hasPlayed;
}

void StreamWatch::Looked(unsigned long long nowMs) {
  if (lookedMs_ != 0 && nowMs > lookedMs_ + kAwayMs) {
    const unsigned long long away = nowMs - lookedMs_;
    soundMs_ += away;
    bytesMs_ += away;
  }
  lookedMs_ = nowMs;
}

void StreamWatch::Sound(unsigned long long nowMs, long long bytes) {
  Looked(nowMs);
  soundMs_ = nowMs;
  bytesAtSound_ = bytes;
  if (bytes != bytes_ || bytesMs_ < nowMs) {
    bytes_ = bytes;
    bytesMs_ = nowMs;
  }
}

StreamHealth StreamWatch::Check(unsigned long long nowMs, long long bytes) {
  Looked(nowMs);
  if (bytes != bytes_) {
    bytes_ = bytes;
    bytesMs_ = nowMs;
  }
  const auto since = [nowMs](unsigned long long t) { return nowMs > t ? nowMs - t : 0; };
  if (since(std::max(bytesMs_, soundMs_)) >= stallMs_) return StreamHealth::Stalled;
  if (since(soundMs_) > undecodableMs_ && bytes - bytesAtSound_ > kUndecodableBytes) return StreamHealth::Undecodable;
  return StreamHealth::Fine;
}

unsigned ReconnectPlan::Backoff(int attempt) {
  static constexpr unsigned kWaits[] = {500, 1000, 2000, 4000, 8000};
  constexpr int kLast = int(sizeof kWaits / sizeof kWaits[0]) - 1;
  return kWaits[std::clamp(attempt, 0, kLast)];
}

std::optional<unsigned> ReconnectPlan::Failed(unsigned long long nowMs) {
  if (!active_ || soundMs_ >= kSteadyMs) {
    active_ = true;
    dropMs_ = nowMs;
    attempts_ = 0;
  }
  soundMs_ = 0;
  const unsigned wait = Backoff(attempts_);
  if (nowMs + wait >= dropMs_ + budget_) {
    active_ = false;
    return std::nullopt;
  }
  ++attempts_;
  return wait;
}

void ReconnectPlan::Sound(unsigned long long soundMs) {
  soundMs_ = std::max(soundMs_, soundMs);
}

}  // namespace playback
