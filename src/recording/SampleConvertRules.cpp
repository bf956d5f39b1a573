#include "recording/SampleConvertRules.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace recording {

namespace {

using playback::SampleType;

// A sample of `srcBits` significant bits at `bits`: shifted up, or its low bits dropped.
std::int64_t Rescaled(std::int64_t v, int srcBits, int bits) {
  return bits >= srcBits ? v * (std::int64_t(1) << (bits - srcBits)) : v >> (srcBits - bits);
}

// Floating point (full scale at ±1) at `bits`, rounded to the nearest step and held in
// range; 24 bits are the top of 32, as FFmpeg makes them.
template <typename F>
std::int64_t Quantized(F f, int bits) {
  if (bits == 24) return Quantized(f, 32) >> 8;
  if (!(f >= F(-2) && f <= F(2))) f = f > 0 ? F(2) : f < 0 ? F(-2) : F(0);  // NaN is silence
  const std::int64_t top = std::int64_t(1) << (bits - 1);
  return std::clamp<std::int64_t>(std::llrint(f * F(top)), -top, top - 1);
}

template <typename T>
T Read(const SampleSpan& s, std::size_t frame, int channel) {
  const std::size_t index = s.planar ? std::size_t(channel) * s.frames + frame : frame * std::size_t(s.channels) + std::size_t(channel);
  T v;
  std::memcpy(&v, s.data + index * sizeof(T), sizeof(T));
  return v;
}

// Sample `channel` of a frame (-1: the average of the two) at `bits`.
template <typename T>
std::int64_t Sample(const SampleSpan& s, std::size_t frame, int channel, int bits) {
  if constexpr (std::is_floating_point_v<T>) {
    const T v = channel >= 0 ? Read<T>(s, frame, channel) : (Read<T>(s, frame, 0) + Read<T>(s, frame, 1)) * T(0.5);
    return Quantized(v, bits);
  } else {
    const auto at = [&](int c) {
      const std::int64_t v = Read<T>(s, frame, c);
      return std::is_same_v<T, std::uint8_t> ? v - 0x80 : v;
    };
    const std::int64_t v = channel >= 0 ? at(channel) : (at(0) + at(1) + 1) >> 1;
    return Rescaled(v, int(sizeof(T)) * 8, bits);
  }
}

template <typename T>
void Convert(const SampleSpan& from, const CaptureFormat& to, std::uint8_t* out) {
  const int bits = int(to.bitsPerSample), bytes = bits / 8;
  for (std::size_t frame = 0; frame < from.frames; ++frame)
    for (int c = 0; c < int(to.channels); ++c) {
      // Mono from two channels is their average; every other channel is its own or the
      // only one.
      const int channel = from.channels == 1 ? 0 : to.channels == 1 ? -1 : c;
      std::int64_t v = Sample<T>(from, frame, channel, bits);
      if (bits == 8) v += 0x80;
      for (int b = 0; b < bytes; ++b) *out++ = std::uint8_t(std::uint64_t(v) >> (8 * b));
    }
}

}  // namespace

bool ConvertSamples(const SampleSpan& from, const CaptureFormat& to, std::vector<std::uint8_t>& out) {
  const std::uint32_t bits = to.bitsPerSample;
  if (from.channels < 1 || from.channels > 2 || (to.channels != 1 && to.channels != 2) ||
      (bits != 8 && bits != 16 && bits != 24 && bits != 32))
    return false;
  const std::size_t at = out.size();
  out.resize(at + from.frames * to.channels * bits / 8);
  std::uint8_t* into = out.data() + at;
  switch (from.type) {
    case SampleType::U8: Convert<std::uint8_t>(from, to, into); break;
    case SampleType::S16: Convert<std::int16_t>(from, to, into); break;
    case SampleType::S32: Convert<std::int32_t>(from, to, into); break;
    case SampleType::Float: Convert<float>(from, to, into); break;
    case SampleType::Double: Convert<double>(from, to, into); break;
  }
  return true;
}

}  // namespace recording
