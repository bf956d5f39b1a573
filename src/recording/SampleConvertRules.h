// The station's decoded samples in a recording's format, at the same rate: whatever the
// decoder's sample type, to 8-bit unsigned, 16-, 24- or 32-bit signed little-endian
// samples, mono or stereo. A sample already in the recording's format is copied as it is;
// a wider one loses its low bits, a narrower one is shifted up, floating point is rounded
// to the nearest step (as FFmpeg's own conversions do, so that a recording equals the
// `ffmpeg` command line's decoding). One channel fills both of a stereo recording
// unchanged; two make a mono recording their average. Portable.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "playback/SoundTap.h"
#include "recording/CaptureRules.h"

namespace recording {

// Samples to convert: `frames` of `channels`, planar (a plane per channel, one after
// another) or interleaved.
struct SampleSpan {
  playback::SampleType type = playback::SampleType::S16;
  bool planar = false;
  int channels = 0;
  std::size_t frames = 0;
  const std::uint8_t* data = nullptr;
};

// Appends `from` in the format `to` to out; false, with nothing appended, when it has
// more than two channels or `to` is not a recording's format.
bool ConvertSamples(const SampleSpan& from, const CaptureFormat& to, std::vector<std::uint8_t>& out);

}  // namespace recording
