// Tones for the tests that listen to what the program plays or records: a sine tone as
// the bytes of a WAVE file, and the frequency and level of a tone in samples. Portable.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct Tone {
  double hz = 0;
  double rms = 0;
};

// Every `stride`-th sample of x from `from` on (stride 2: the left channel of stereo).
// The frequency comes from the median spacing of rising zero crossings and the level from
// the level that nine tenths of its tenths of a second stay under, so that gaps in the
// sound (a machine too busy to feed the sound server) pull neither down.
template <typename Sample>
Tone MeasureTone(const std::vector<Sample>& x, double rate, std::size_t from = 0, std::size_t stride = 1) {
  std::vector<double> periods, levels;
  double lastRise = -1, sum = 0;
  std::size_t n = 0;
  const std::size_t block = std::max<std::size_t>(1, std::size_t(rate / 10));
  for (std::size_t i = from + stride; i < x.size(); i += stride, ++n) {
    const double a = double(x[i - stride]), b = double(x[i]);
    if (a < 0 && b >= 0) {
      // Where the line between the two samples crosses zero, in samples of the channel.
      const double rise = double((i - from) / stride - 1) + a / (a - b);
      if (lastRise >= 0) periods.push_back(rise - lastRise);
      lastRise = rise;
    }
    sum += b * b;
    if ((n + 1) % block == 0) {
      levels.push_back(std::sqrt(sum / double(block)));
      sum = 0;
    }
  }
  Tone t;
  if (levels.empty() && n > 0) levels.push_back(std::sqrt(sum / double(n)));
  if (!levels.empty()) {
    const std::size_t upper = levels.size() * 9 / 10;
    std::nth_element(levels.begin(), levels.begin() + std::ptrdiff_t(upper), levels.end());
    t.rms = levels[upper];
  }
  if (periods.empty()) return t;
  std::nth_element(periods.begin(), periods.begin() + std::ptrdiff_t(periods.size() / 2), periods.end());
  t.hz = rate / periods[periods.size() / 2];
  return t;
}

// A WAVE file's bytes: a sine tone at hz in 16-bit stereo (or mono, or more channels).
inline std::string ToneWave(double seconds, int rate, double hz, double amplitude = 8000, int channels = 2) {
  const auto frames = std::uint32_t(seconds * rate);
  std::string w;
  const auto put = [&w](std::uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) w += char(v >> (8 * i));
  };
  w += "RIFF";
  const auto frameBytes = std::uint32_t(2 * channels);
  put(36 + frames * frameBytes, 4);
  w += "WAVEfmt ";
  put(16, 4);
  put(1, 2);  // PCM
  put(std::uint32_t(channels), 2);
  put(std::uint32_t(rate), 4);
  put(std::uint32_t(rate) * frameBytes, 4);
  put(frameBytes, 2);
  put(16, 2);
  w += "data";
  put(frames * frameBytes, 4);
  for (std::uint32_t i = 0; i < frames; ++i) {
    const auto v = std::uint16_t(std::int16_t(amplitude * std::sin(2 * 3.14159265358979 * hz * i / rate)));
    for (int c = 0; c < channels; ++c) put(v, 2);
  }
  return w;
}
