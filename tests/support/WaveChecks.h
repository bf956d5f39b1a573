// What the recorder's files are checked for: their header byte for byte, and a tone
// that runs on with no sample lost or repeated. Portable.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace testing_support {

inline constexpr double kPi = 3.14159265358979323846;

// The 46-byte header the recorder writes for a file of `size` bytes, its 18 format
// bytes written out here field by field.
inline std::string ExpectedHeader(std::size_t size, std::uint32_t rate, std::uint32_t bits, std::uint32_t channels) {
  std::string h;
  auto put = [&](std::uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) h += char(v >> (8 * i));
  };
  const std::uint32_t align = channels * bits / 8;
  h += "RIFF";
  put(std::uint32_t(size - 8), 4);
  h += "WAVEfmt ";
  put(18, 4);
  put(1, 2);  // PCM
  put(channels, 2);
  put(rate, 4);
  put(rate * align, 4);
  put(align, 2);
  put(bits, 2);
  put(0, 2);  // no extra bytes
  h += "data";
  put(std::uint32_t(size - 46), 4);
  return h;
}

// The left channel of 16-bit stereo data.
inline std::vector<double> LeftChannel(const std::string& data) {
  std::vector<double> left;
  for (std::size_t i = 0; i + 3 < data.size(); i += 4) {
    std::int16_t v;
    std::memcpy(&v, data.data() + i, 2);
    left.push_back(v);
  }
  return left;
}

// The phase of the tone in each block of `block` samples, against a reference at hz
// running through the whole recording. A lost or repeated sample moves every later
// phase by 2 pi hz / rate (0.063 rad at 440 Hz and 44.1 kHz).
inline std::vector<double> BlockPhases(const std::vector<double>& x, double rate, double hz, std::size_t block) {
  std::vector<double> phases;
  for (std::size_t from = 0; from + block <= x.size(); from += block) {
    double i = 0, q = 0;
    for (std::size_t n = from; n < from + block; ++n) {
      const double a = 2 * kPi * hz * double(n) / rate;
      i += x[n] * std::cos(a);
      q += x[n] * std::sin(a);
    }
    phases.push_back(std::atan2(q, i));
  }
  return phases;
}

// The largest step between the phases of neighbouring blocks, after the steady drift
// of a reference that is not exactly the tone's frequency is taken out.
inline double LargestPhaseStep(const std::vector<double>& phases) {
  std::vector<double> steps;
  for (std::size_t k = 1; k < phases.size(); ++k) {
    double d = phases[k] - phases[k - 1];
    while (d > kPi) d -= 2 * kPi;
    while (d < -kPi) d += 2 * kPi;
    steps.push_back(d);
  }
  std::vector<double> sorted = steps;
  std::nth_element(sorted.begin(), sorted.begin() + std::ptrdiff_t(sorted.size() / 2), sorted.end());
  const double drift = sorted[sorted.size() / 2];
  double largest = 0;
  for (double d : steps) largest = std::max(largest, std::fabs(d - drift));
  return largest;
}

}  // namespace testing_support
