#include "recording/SampleConvertRules.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

using namespace recording;
using playback::SampleType;

namespace {

template <typename T>
std::vector<std::uint8_t> Bytes(const std::vector<T>& samples) {
  std::vector<std::uint8_t> b(samples.size() * sizeof(T));
  std::memcpy(b.data(), samples.data(), b.size());
  return b;
}

std::vector<std::uint8_t> Converted(SampleType type, bool planar, int channels, const std::vector<std::uint8_t>& data,
                                    const CaptureFormat& to) {
  const std::size_t frames = data.size() / playback::SampleBytes(type) / std::size_t(channels);
  std::vector<std::uint8_t> out;
  EXPECT_TRUE(ConvertSamples({type, planar, channels, frames, data.data()}, to, out));
  return out;
}

// The little-endian bytes of a recording's sample of `bits` holding the 16-bit value v
// (8 bits: its top byte, offset by 0x80; wider: v in the top bytes, zeros below).
void AppendExpected(std::vector<std::uint8_t>& out, std::int16_t v, std::uint32_t bits) {
  const auto u = std::uint16_t(v);
  if (bits == 8) {
    out.push_back(std::uint8_t((u >> 8) ^ 0x80));
    return;
  }
  out.insert(out.end(), bits / 8 - 2, 0);
  out.push_back(std::uint8_t(u & 0xFF));
  out.push_back(std::uint8_t(u >> 8));
}

}  // namespace

// A stereo ramp through the whole 16-bit range, its right channel 2 above its left, in
// every format a recording offers: 8-bit sound offset to unsigned, 24 and 32 bits shifted
// up in little-endian order, mono the channels' average.
TEST(SampleConvert, ARampInEveryRecordingFormat) {
  std::vector<std::int16_t> ramp;
  for (int v = -32768; v <= 32765; v += 7) ramp.insert(ramp.end(), {std::int16_t(v), std::int16_t(v + 2)});
  const std::vector<CaptureFormat> formats = ProbeFormats([](const CaptureFormat&) { return true; });
  ASSERT_EQ(formats.size(), 56u);
  for (const CaptureFormat& f : formats) {
    std::vector<std::uint8_t> expected;
    for (std::size_t i = 0; i < ramp.size(); i += 2)
      for (std::uint32_t c = 0; c < f.channels; ++c)
        AppendExpected(expected, f.channels == 1 ? std::int16_t(ramp[i] + 1) : ramp[i + c], f.bitsPerSample);
    EXPECT_EQ(Converted(SampleType::S16, false, 2, Bytes(ramp), f), expected) << FormatLine(f);
  }
}

// Sound already in the recording's format comes out as it went in: mono 16-bit, 24-bit
// sound as FLAC's decoder holds it (in the top of 32 bits), 32-bit, 8-bit, planar stereo
// interleaved; mono fills both channels of a stereo recording at its own level.
TEST(SampleConvert, TheStationsOwnFormatIsBitForBit) {
  const std::vector<std::int16_t> mono{0, 1, -1, 12345, -32768, 32767};
  EXPECT_EQ(Converted(SampleType::S16, false, 1, Bytes(mono), {16, 1, 44100}), Bytes(mono));
  std::vector<std::int16_t> doubled;
  for (std::int16_t v : mono) doubled.insert(doubled.end(), {v, v});
  EXPECT_EQ(Converted(SampleType::S16, true, 1, Bytes(mono), {16, 2, 44100}), Bytes(doubled));

  const std::vector<std::int32_t> wide{0x123456 << 8, -0x123456 * 256, 0x7FFFFF << 8, -0x800000 * 256};
  const std::vector<std::uint8_t> packed{0x56, 0x34, 0x12, 0xAA, 0xCB, 0xED, 0xFF, 0xFF, 0x7F, 0x00, 0x00, 0x80};
  EXPECT_EQ(Converted(SampleType::S32, false, 2, Bytes(wide), {24, 2, 96000}), packed);
  EXPECT_EQ(Converted(SampleType::S32, true, 1, Bytes(wide), {32, 1, 48000}), Bytes(wide));
  const std::vector<std::uint8_t> eight{0x00, 0x7F, 0x80, 0xFF};
  EXPECT_EQ(Converted(SampleType::U8, false, 2, eight, {8, 2, 8000}), eight);

  // Planes one after the other become frames side by side.
  const std::vector<std::int16_t> planes{1, 2, 3, -1, -2, -3}, frames{1, -1, 2, -2, 3, -3};
  EXPECT_EQ(Converted(SampleType::S16, true, 2, Bytes(planes), {16, 2, 44100}), Bytes(frames));
}

// Floating point is rounded to the nearest step (halves to even) and held in range;
// what is not a number is silence; 24 bits are the top of the 32-bit value.
TEST(SampleConvert, FloatingPointIsRoundedAndHeldInRange) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const std::vector<float> in{0.0f, 0.5f, -0.5f, 1.0f, -1.0f, 1.5f, nan, 1.5f / 32768, 0.5f / 32768};
  struct Case {
    std::uint32_t bits;
    std::vector<std::int64_t> want;
  };
  const Case cases[] = {
      {8, {0x80, 0xC0, 0x40, 0xFF, 0x00, 0xFF, 0x80, 0x80, 0x80}},
      {16, {0, 16384, -16384, 32767, -32768, 32767, 0, 2, 0}},
      {24, {0, 0x400000, -0x400000, 0x7FFFFF, -0x800000, 0x7FFFFF, 0, 0x180, 0x80}},
      {32, {0, 1 << 30, -(1 << 30), 0x7FFFFFFF, -0x80000000LL, 0x7FFFFFFF, 0, 3 << 15, 1 << 15}},
  };
  for (const Case& c : cases) {
    std::vector<std::uint8_t> want;
    for (std::int64_t v : c.want)
      for (std::uint32_t b = 0; b < c.bits / 8; ++b) want.push_back(std::uint8_t(std::uint64_t(v) >> (8 * b)));
    EXPECT_EQ(Converted(SampleType::Float, true, 1, Bytes(in), {c.bits, 1, 44100}), want) << c.bits << " bits";
    std::vector<double> wide(in.begin(), in.end());
    EXPECT_EQ(Converted(SampleType::Double, false, 1, Bytes(wide), {c.bits, 1, 44100}), want) << c.bits << " bits";
  }
  std::vector<std::uint8_t> out;
  const std::vector<float> six(6);
  EXPECT_FALSE(ConvertSamples({SampleType::Float, false, 6, 1, Bytes(six).data()}, {16, 2, 44100}, out));
  EXPECT_FALSE(ConvertSamples({SampleType::Float, false, 2, 3, Bytes(six).data()}, {12, 2, 44100}, out));
  EXPECT_TRUE(out.empty());
}
