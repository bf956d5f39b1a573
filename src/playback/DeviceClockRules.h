// What the sound device's counters mean over a long play. Portable.
#pragma once

#include <cstdint>

namespace playback {

// A device counts the frames it played in 32 bits, which wrap after 27 hours at
// 44.1 kHz (and its byte count after less than 7): read often enough (within half a
// wrap), each reading here is carried on in 64 bits.
class WideCount {
 public:
  std::uint64_t Extend(std::uint32_t reading);
  void Reset() { last_ = 0, high_ = 0; }

 private:
  std::uint32_t last_ = 0;
  std::uint64_t high_ = 0;
};

// Tells a sound device that has gone away (unplugged, disabled, its driver restarted)
// while it still accepts sound: sound is queued at it, and what it has played does not
// move for longer than a held-up machine would explain.
class DeviceWatch {
 public:
  static constexpr unsigned kLostMs = 1500;

  // The device, at `nowMs`, has played `played` frames and holds `queued` more.
  void Look(unsigned long long nowMs, std::uint64_t played, std::uint64_t queued);
  bool Lost() const { return lost_; }
  // A device opened anew: the watch starts again.
  void Reset() { since_ = 0, lost_ = false, started_ = false; }

 private:
  bool started_ = false, lost_ = false;
  std::uint64_t played_ = 0;
  unsigned long long since_ = 0;  // when `played_` last moved, or sound was first queued
};

}  // namespace playback
