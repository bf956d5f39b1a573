// The capture arithmetic: format lines, buffer sizes, reads around the end of a looping
// buffer (here a ring in memory that a simulated capture keeps filling), overruns, the
// size display, the size limit and the header refresh.
#include <gtest/gtest.h>

#include <cstring>

#include "recording/CaptureRules.h"

using namespace recording;

namespace {

// A looping buffer that captures `rate` bytes per simulated second, each byte the low
// 8 bits of its running number, so that any lost or repeated byte shows.
class Ring : public CaptureBufferAccess {
 public:
  Ring(std::uint32_t size, std::uint32_t bytesPerMs) : bytes(size), bytesPerMs_(bytesPerMs) {}
  void Advance(int ms) {
    for (std::uint32_t i = 0; i < std::uint32_t(ms) * bytesPerMs_; ++i) {
      bytes[written % bytes.size()] = std::uint8_t(written);
      ++written;
    }
  }
  bool ReadPosition(std::uint32_t& position) override {
    if (failPosition) return false;
    position = std::uint32_t(written % bytes.size());
    return true;
  }
  bool Lock(std::uint32_t offset, std::uint32_t count, Parts& parts) override {
    if (failLock) return false;
    ++locks;
    const std::uint32_t first = std::min<std::uint32_t>(count, std::uint32_t(bytes.size()) - offset);
    parts = {bytes.data() + offset, first, nullptr, 0};
    if (first < count) {
      parts.second = bytes.data();
      parts.secondLength = count - first;
      ++twoPartLocks;
    }
    return true;
  }
  void Unlock(const Parts&) override {}
  void Sleep(int ms) override {
    sleptMs += ms;
    Advance(ms);
  }

  std::vector<std::uint8_t> bytes;
  std::uint64_t written = 0;
  bool failPosition = false, failLock = false;
  int locks = 0, twoPartLocks = 0, sleptMs = 0;

 private:
  std::uint32_t bytesPerMs_;
};

TEST(CaptureRules, ProbingKeepsTheNestingOrder) {
  const auto all = ProbeFormats([](const CaptureFormat&) { return true; });
  ASSERT_EQ(all.size(), 56u);
  EXPECT_EQ(all[0], (CaptureFormat{8, 1, 8000}));
  EXPECT_EQ(all[1], (CaptureFormat{8, 2, 8000}));
  EXPECT_EQ(all[2], (CaptureFormat{16, 1, 8000}));
  EXPECT_EQ(all[8], (CaptureFormat{8, 1, 11025}));
  EXPECT_EQ(all[24], (CaptureFormat{8, 1, 33075}));
  EXPECT_EQ(all[55], (CaptureFormat{32, 2, 96000}));

  const auto only44 =
      ProbeFormats([](const CaptureFormat& f) { return f.samplesPerSec == 44100 && f.bitsPerSample == 16; });
  ASSERT_EQ(only44.size(), 2u);
  EXPECT_EQ(only44[0].channels, 1u);
  EXPECT_EQ(only44[1].channels, 2u);
}

TEST(CaptureRules, FormatLinesAndTheDefaultLine) {
  EXPECT_EQ(FormatLine({16, 2, 44100}), "44100Hz 16bit Stereo");
  EXPECT_EQ(FormatLine({8, 1, 33075}), "33075Hz 8bit Mono");
  // An 8- and 16-bit device, like the one Wine offers: the default is line 19.
  std::vector<std::string> lines;
  for (const CaptureFormat& f : ProbeFormats([](const CaptureFormat& f) { return f.bitsPerSample <= 16; }))
    lines.push_back(FormatLine(f));
  ASSERT_EQ(lines.size(), 28u);
  EXPECT_EQ(DefaultFormatIndex(lines), 19);
  EXPECT_EQ(DefaultFormatIndex({"8000Hz 8bit Mono", "44100Hz 16bit Stereo ", "44100Hz 16bit mono"}), 3)
      << "only the exact text is the default; none gives the count, which selects nothing";
  EXPECT_EQ(DefaultFormatIndex({}), 0);
}

TEST(CaptureRules, TheBufferHoldsOneSecondAndNeverLessThan8000Bytes) {
  EXPECT_EQ(CaptureBufferSize(8000), 8000u);      // 8000 Hz 8-bit mono
  EXPECT_EQ(CaptureBufferSize(11025), 11025u);    // 11025 Hz 8-bit mono
  EXPECT_EQ(CaptureBufferSize(768000), 768000u);  // 96000 Hz 32-bit stereo
  EXPECT_EQ(CaptureBufferSize(176400), 176400u);
  EXPECT_EQ(CaptureBufferSize(176400, 250), 44100u);
  EXPECT_EQ(CaptureBufferSize(11025, 250), 8000u);
  EXPECT_EQ(MulDiv(3, 1, 2), 2) << "halves round away from zero";
  EXPECT_EQ(MulDiv(-3, 1, 2), -2);
  EXPECT_EQ(MulDiv(5, 1, 3), 2);
  EXPECT_EQ(MulDiv(1, 1, 0), -1);
}

TEST(CaptureRules, AvailableWrapsAroundTheEnd) {
  EXPECT_EQ(CaptureAvailable(100, 300, 1000), 200u);
  EXPECT_EQ(CaptureAvailable(300, 300, 1000), 0u);
  EXPECT_EQ(CaptureAvailable(900, 100, 1000), 200u);
  Ring ring(1000, 1);
  ring.Advance(10);
  ring.failPosition = true;
  EXPECT_EQ(AvailableIn(ring, 0, 1000), 0u) << "a failed position query reads as nothing available";
}

TEST(CaptureRules, ReadsDeliverEveryByteOnceAcrossTheWrap) {
  Ring ring(7000, 16);  // 16 bytes per ms; 800-byte reads do not divide the buffer
  std::uint32_t offset = 0;
  std::vector<std::uint8_t> got;
  for (int step = 0; step < 40; ++step) {
    ring.Advance(50);
    const std::uint32_t n = AvailableIn(ring, offset, 7000);
    ASSERT_EQ(n, 800u);
    std::vector<std::uint8_t> part(n);
    EXPECT_EQ(ReadCaptured(ring, offset, 7000, part.data(), n, 16), n);
    got.insert(got.end(), part.begin(), part.end());
  }
  EXPECT_EQ(ring.sleptMs, 0) << "reading exactly what is available never waits";
  EXPECT_GT(ring.twoPartLocks, 0) << "some reads wrapped around the end in two parts";
  ASSERT_EQ(got.size(), 32000u);
  for (std::size_t i = 0; i < got.size(); ++i) ASSERT_EQ(got[i], std::uint8_t(i)) << "byte " << i;
  EXPECT_EQ(offset, 4000u) << "32000 bytes move the offset four times round and 4000 on";
}

TEST(CaptureRules, AReadOfMoreThanCapturedWaitsForTheRest) {
  Ring ring(8000, 10);
  std::uint32_t offset = 0;
  std::vector<std::uint8_t> out(1500);
  EXPECT_EQ(ReadCaptured(ring, offset, 8000, out.data(), 1500, 8), 1500u);
  EXPECT_EQ(ring.sleptMs, 150);
  for (std::size_t i = 0; i < out.size(); ++i) ASSERT_EQ(out[i], std::uint8_t(i));
}

// A buffer that stops answering (a device unplugged mid-recording) is given up on: at
// once after a failed lock, within a second when its position cannot be read or no sound
// comes. What was read is kept and the rest is silence.
TEST(CaptureRules, AReadGivesUpOnABufferThatStopsAnswering) {
  struct Case {
    const char* what;
    bool failLock, failPosition, stalls;
    std::uint32_t bits;
    std::uint32_t captured;
    int maxSleptMs;
  };
  const Case cases[] = {
      {"failed lock, 8-bit", true, false, false, 8, 0, 0},
      {"failed lock, 16-bit", true, false, false, 16, 0, 0},
      {"position lost", false, true, false, 16, 0, kMaxCaptureWaitMs},
      {"no more sound", false, false, true, 16, 100, kMaxCaptureWaitMs},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Ring ring(8000, c.stalls ? 0 : 10);
    ring.Advance(10);
    ring.written = c.stalls ? 100 : ring.written;
    std::uint32_t offset = 0;
    std::vector<std::uint8_t> out(400, 0x33);
    ring.failLock = c.failLock;
    ring.failPosition = c.failPosition;
    EXPECT_EQ(ReadCaptured(ring, offset, 8000, out.data(), 400, c.bits), c.captured);
    EXPECT_LE(ring.sleptMs, c.maxSleptMs);
    for (std::size_t i = c.captured; i < out.size(); ++i) ASSERT_EQ(out[i], c.bits == 8 ? 0x80 : 0x00) << i;
    EXPECT_EQ(offset, c.captured);
  }
}

// The capture's laps counted from its position, looked at every 50 ms by the notify
// thread (also while the user-interface thread is held up), on a ring of one second: a
// hold-up of the reader loses whole laps, also one that leaves the buffer looking empty;
// a capture that pauses loses nothing.
TEST(CaptureRules, TheOverwrittenSoundIsCountedInWholeLaps) {
  Ring ring(8000, 8);
  CaptureLapCounter laps;
  std::uint32_t offset = 0;
  std::int64_t consumed = 0;
  std::vector<std::uint8_t> part(8000);
  laps.Start(0);
  const auto looks = [&](int ms, int every = 50) {
    for (int t = 0; t < ms; t += every) {
      ring.Advance(every);
      std::uint32_t position = 0;
      ring.ReadPosition(position);
      laps.Look(position, 8000);
    }
  };
  const auto read = [&] {
    const std::uint32_t n = AvailableIn(ring, offset, 8000);
    const std::int64_t lost = OverwrittenBytes(laps.Written(), consumed, n, 8000);
    consumed += lost + ReadCaptured(ring, offset, 8000, part.data(), n, 16);
    return lost;
  };
  looks(300);
  EXPECT_EQ(read(), 0);
  looks(2000);  // the reader held up two seconds: exactly two laps, the buffer looks empty
  ASSERT_EQ(AvailableIn(ring, offset, 8000), 0u);
  EXPECT_EQ(read(), 2 * 8000);
  looks(1300);  // 1.3 s: one lap
  EXPECT_EQ(read(), 8000);
  looks(900);  // within the buffer
  EXPECT_EQ(read(), 0);
  // The capture pauses three seconds (with the program, on a machine too busy to run
  // either: no look either), then goes on: nothing went round unread.
  std::uint32_t position = 0;
  ring.ReadPosition(position);
  laps.Look(position, 8000);
  looks(100);
  EXPECT_EQ(read(), 0);
}

TEST(CaptureRules, TheUserIsToldHowMuchWasLostAndWhere) {
  EXPECT_EQ(LostSoundMessage({}, 176400), "");
  EXPECT_EQ(LostSoundMessage({{176400 * 65, 176400}, {176400 * 3600, 352800}}, 176400),
            "3.0 seconds of sound were lost during the recording, because the program was held up for longer than "
            "the capture buffer lasts: 1.0 s before 00:01:05, 2.0 s before 01:00:00 (positions in the recording).");
}

TEST(CaptureRules, TheSizeShowsKilobytesRoundedHalfToEven) {
  EXPECT_EQ(RoundKilobytes(0), 0);
  EXPECT_EQ(RoundKilobytes(511), 0);
  EXPECT_EQ(RoundKilobytes(512), 0);
  EXPECT_EQ(RoundKilobytes(1535), 1);
  EXPECT_EQ(RoundKilobytes(1536), 2);
  EXPECT_EQ(RoundKilobytes(2560), 2);
  EXPECT_EQ(RoundKilobytes(3584), 4);
  EXPECT_EQ(RoundKilobytes(4294967248ll), 4194304);
}

TEST(CaptureRules, ARecordingStopsGrowingAtItsLimitInWholeFrames) {
  const std::int64_t limit = 4294967248ll;
  EXPECT_EQ(WritableBytes(0, 8820, limit, 4), 8820);
  EXPECT_EQ(WritableBytes(limit - 8820, 8820, limit, 4), 8820);
  EXPECT_EQ(WritableBytes(limit - 100, 8820, limit, 4), 100);
  EXPECT_EQ(WritableBytes(limit - 102, 8820, limit, 4), 100) << "never half a frame";
  EXPECT_EQ(WritableBytes(limit, 8820, limit, 4), 0);
  // 44.1 kHz 16-bit stereo fills it after about 6.8 hours.
  EXPECT_NEAR(double(limit) / 176400 / 3600, 6.76, 0.01);
}

TEST(CaptureRules, TheSizeDisplayFollowsFourTimesASecond) {
  EXPECT_FALSE(SizeDisplayDue(1000, 1249));
  EXPECT_TRUE(SizeDisplayDue(1000, 1250));
  EXPECT_TRUE(SizeDisplayDue(0xFFFFFFF0u, 240));
}

TEST(CaptureRules, TheHeaderIsRefreshedEveryTwoSecondsAcrossTheTickWrap) {
  EXPECT_FALSE(HeaderRefreshDue(1000, 2999));
  EXPECT_TRUE(HeaderRefreshDue(1000, 3000));
  EXPECT_TRUE(HeaderRefreshDue(0xFFFFFF00u, 2000));
  EXPECT_FALSE(HeaderRefreshDue(0xFFFFFF00u, 100));
}

}  // namespace
