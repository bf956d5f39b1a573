// A listener to a player's decoded sound, before its volume: what a recording of the
// station itself is made from. It gets the decoder's own frames (their sample type,
// channels and rate), so that it converts once, to what it needs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace playback {

// How the decoder stores a sample: unsigned 8-bit (silence 0x80), signed 16- or 32-bit,
// or floating point (full scale at ±1).
enum class SampleType : std::uint8_t { U8, S16, S32, Float, Double };

constexpr std::size_t SampleBytes(SampleType type) {
  switch (type) {
    case SampleType::U8: return 1;
    case SampleType::S16: return 2;
    case SampleType::S32:
    case SampleType::Float: return 4;
    case SampleType::Double: return 8;
  }
  return 0;
}

// One decoded frame of the station, in its own format.
struct DecodedSound {
  SampleType type = SampleType::S16;
  bool planar = false;   // one plane per channel, one after another; else interleaved
  int channels = 0;
  std::uint64_t layout = 0;  // the channels' speaker mask; 0 when the decoder names none
  int rate = 0;
  int bits = 0;              // the significant bits (24 for 24-bit sound held in S32)
  std::size_t frames = 0;
  // The connection it came from (a new number for every connection the player makes),
  // and the frames of that connection decoded before it: a step shows sound lost.
  unsigned connection = 0;
  std::uint64_t position = 0;
  std::vector<std::uint8_t> data;  // frames * channels samples
};

class SoundTap {
 public:
  virtual ~SoundTap() = default;
  // The decoder's sound, frame after frame, as the player decoded it. Called on a thread
  // of the tap's own (the player's sound lane); must not wait long.
  virtual void Decoded(const DecodedSound& sound) = 0;
  // The listener was switched away from the play (another station, a stop): what was
  // decoded and not yet heard never will be.
  virtual void Cut() {}
};

}  // namespace playback
