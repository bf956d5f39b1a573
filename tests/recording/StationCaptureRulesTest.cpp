#include "recording/StationCaptureRules.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <vector>

using namespace recording;

namespace {

// 1000 bytes a second in frames of 2 bytes; silence is 0x80.
StationSoundPace Paced() {
  StationSoundPace p;
  p.Start(1000, 1000, 2, 0x80);
  return p;
}

std::vector<std::uint8_t> ReadAll(StationSoundPace& p) {
  std::vector<std::uint8_t> out(p.Readable());
  out.resize(p.Read(out.data(), out.size()));
  return out;
}

}  // namespace

// The clock decides how much is handed out: the station's bytes as they came and in
// order, unbroken even where the station is late, and silence once it has gone quiet.
TEST(StationSoundPace, HandsOutTheClocksWorthOfTheStationUnbrokenAndSilenceWhenItIsQuiet) {
  StationSoundPace p = Paced();
  p.Advance(1100);
  EXPECT_EQ(ReadAll(p), std::vector<std::uint8_t>(100, 0x80)) << "nothing sent yet: silence";
  std::vector<std::uint8_t> sound(400);
  std::iota(sound.begin(), sound.end(), std::uint8_t(0));
  p.Push(sound.data(), 200, 1100);
  std::vector<std::uint8_t> got;
  for (std::uint64_t t : {1150, 1400}) {  // 300 bytes due, 200 sent: the rest is owed
    p.Advance(t);
    const std::vector<std::uint8_t> part = ReadAll(p);
    got.insert(got.end(), part.begin(), part.end());
  }
  p.Push(sound.data() + 200, 200, 1450);
  p.Advance(1450);
  const std::vector<std::uint8_t> part = ReadAll(p);
  got.insert(got.end(), part.begin(), part.end());
  ASSERT_EQ(got.size(), 350u);
  EXPECT_TRUE(std::equal(got.begin(), got.end(), sound.begin())) << "no silence inside the station's sound";
  p.Advance(2000);  // quiet for 550 ms: the 50 bytes left, then silence for the rest
  got = ReadAll(p);
  ASSERT_EQ(got.size(), 550u);
  EXPECT_TRUE(std::equal(got.begin(), got.begin() + 50, sound.begin() + 350));
  EXPECT_EQ(std::vector<std::uint8_t>(got.begin() + 50, got.end()), std::vector<std::uint8_t>(500, 0x80));
  EXPECT_TRUE(p.Gaps().empty());
}

// Sound left unread for more than a second is lost, and told where; a station far ahead
// of the clock keeps all its sound.
TEST(StationSoundPace, KeepsASecondUnreadAndAllTheStationSent) {
  StationSoundPace p = Paced();
  p.Advance(1500);
  ASSERT_EQ(ReadAll(p).size(), 500u);
  p.Advance(3000);  // 1.5 s due, 1 s kept
  EXPECT_EQ(p.Readable(), 1000u);
  ReadAll(p);
  ASSERT_EQ(p.Gaps().size(), 1u);
  EXPECT_EQ(p.Gaps()[0], (CaptureGap{500, 500}));
  const std::vector<std::uint8_t> lots(8000, 7);
  p.Push(lots.data(), lots.size(), 3000);
  std::size_t station = 0, silence = 0;
  for (std::uint64_t t = 3500; t <= 12000; t += 500)
    for (std::uint8_t b : (p.Advance(t), ReadAll(p))) ++(b == 7 ? station : silence);
  EXPECT_EQ(station, 8000u);
  EXPECT_EQ(silence, 1000u) << "after the station's eight seconds";
  EXPECT_EQ(p.Gaps().size(), 1u);
  // Switched away from: what it decoded ahead of the clock was never heard.
  p.Push(lots.data(), lots.size(), 12000);
  p.Advance(12500);
  EXPECT_EQ(ReadAll(p), std::vector<std::uint8_t>(500, 7));
  p.Cut();
  p.Advance(13500);
  EXPECT_EQ(ReadAll(p), std::vector<std::uint8_t>(1000, 0x80));
}

namespace {

// A recording read every 50 ms for `hours` of a test clock that starts at 1000 ms, of a
// station whose sound device runs `ppm` fast (negative: slow) against that clock: it
// sends a 4 s burst at first, then 26 ms at a time; at `jumpAt` the clock jumps by
// `jumpMs` (the machine slept). The station's bytes count up from 0 to 126.
struct Recorded {
  std::vector<CaptureGap> gaps;
  std::uint64_t sent = 0;        // bytes the station sent
  std::uint64_t inOrder = 0;     // of those, handed out unbroken in order
  std::uint64_t silence = 0;     // silent bytes handed out
  std::uint64_t silenceAfterSound = 0;  // before the quiet minute at the end
  std::size_t mostHeld = 0;
};

Recorded Simulate(double hours, double ppm, std::uint64_t jumpAt = 0, std::uint64_t jumpMs = 0) {
  StationSoundPace p = Paced();
  Recorded r;
  std::vector<std::uint8_t> chunk, got;
  const auto send = [&](std::uint64_t bytes, std::uint64_t now) {
    chunk.resize(bytes);
    for (std::uint8_t& b : chunk) b = std::uint8_t(r.sent++ % 127);
    p.Push(chunk.data(), chunk.size(), now);
  };
  bool broken = false;
  const auto read = [&] {
    got.resize(p.Readable());
    got.resize(p.Read(got.data(), got.size()));
    for (std::uint8_t b : got) {
      if (b == 0x80) {
        ++r.silence;
        r.silenceAfterSound += r.inOrder > 0;
      } else if (!broken && b == r.inOrder % 127) {
        ++r.inOrder;
      } else {
        broken = true;
      }
    }
    r.mostHeld = std::max(r.mostHeld, p.Held());
  };
  send(4000, 1000);
  std::uint64_t deviceMs = 0;  // the station's sound by its device's clock, in 26 ms steps
  const std::uint64_t end = std::uint64_t(hours * 3600000);
  for (std::uint64_t t = 0, skipped = 0; t <= end; t += 2) {
    if (jumpMs && t == jumpAt) skipped = jumpMs;
    const std::uint64_t now = 1000 + t + skipped;
    // 1000 bytes a second by the device's clock: 26 bytes whenever it has played 26 ms.
    if (double(t) * (1 + ppm / 1e6) >= double(deviceMs + 26) && !(jumpMs && t == jumpAt)) {
      deviceMs += 26;
      send(26, now);
    }
    if (t % 50 == 0) {
      p.Advance(now);
      read();
    }
  }
  // A quiet minute: what was queued ahead of the clock comes out too.
  const std::uint64_t inside = r.silenceAfterSound;
  for (std::uint64_t t = 0; t < 60000; t += 50) {
    p.Advance(1000 + end + jumpMs + t);
    read();
  }
  r.silenceAfterSound = inside;
  r.gaps = p.Gaps();
  return r;
}

}  // namespace

// Ten hours against a sound device 100 or 1000 ppm fast or slow: every byte the station
// sent is handed out, in order, with no silence inside it and no loss, and the bytes held
// stay within the queue whatever the drift.
TEST(StationSoundPace, TenHoursOfADriftingDeviceLoseNothingAndBuildNoSilence) {
  for (const double ppm : {100.0, -100.0, 1000.0, -1000.0}) {
    const Recorded r = Simulate(10, ppm);
    EXPECT_TRUE(r.gaps.empty()) << ppm;
    EXPECT_GE(r.inOrder + 200, r.sent) << ppm << " ppm: the station's sound, unbroken to its last moments";
    EXPECT_EQ(r.silenceAfterSound, 0u) << ppm;
    EXPECT_LE(r.mostHeld, 31000u) << ppm;
  }
}

// Hours asleep in the middle of a recording, while the station sounds and while it is
// quiet: the pause is a gap told where it was, never silence made or kept, and the
// recording goes on with the station's sound.
TEST(StationSoundPace, AMachineThatSleepsForHoursLeavesAToldGap) {
  constexpr std::uint64_t kThreeHours = 3 * 3600000;
  const Recorded r = Simulate(0.01, 0, 10000, kThreeHours);
  ASSERT_EQ(r.gaps.size(), 1u);
  EXPECT_NEAR(double(r.gaps[0].lostBytes), kThreeHours, 1000) << "three hours at 1000 bytes a second";
  EXPECT_NEAR(double(r.gaps[0].atByte), 10000, 500);
  EXPECT_LE(r.mostHeld, 6000u);
  EXPECT_EQ(r.silenceAfterSound, 0u);
  EXPECT_GE(r.inOrder + 200, r.sent) << "the sound before the pause and after it, unbroken";

  // Six weeks asleep while quiet: gigabytes of silence that are never made.
  constexpr std::uint64_t kSixWeeks = 42ull * 24 * 3600000;
  StationSoundPace p = Paced();
  p.Advance(1050);
  ReadAll(p);
  p.Advance(1050 + kSixWeeks);
  EXPECT_LE(p.Held(), 1000u);
  ReadAll(p);
  ASSERT_EQ(p.Gaps().size(), 1u);
  EXPECT_EQ(p.Gaps()[0], (CaptureGap{50, std::int64_t(kSixWeeks - 1000)}));
}
