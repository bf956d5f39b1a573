// A listener to a player's decoded sound, before its volume: what a recording of the
// station itself is made from.
#pragma once

#include <cstddef>
#include <cstdint>

namespace playback {

class SoundTap {
 public:
  virtual ~SoundTap() = default;
  // Interleaved 16-bit stereo at `rate` frames a second, as the player decoded it. Called
  // on the player's worker thread, sound after sound; must not wait.
  virtual void Decoded(int rate, const std::int16_t* samples, std::size_t count) = 0;
};

}  // namespace playback
