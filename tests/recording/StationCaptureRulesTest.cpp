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
// of the clock loses its oldest sound.
TEST(StationSoundPace, KeepsASecondUnreadAndThreeSecondsQueued) {
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
  for (std::uint64_t t = 3500; t <= 10000; t += 500)
    for (std::uint8_t b : (p.Advance(t), ReadAll(p))) ++(b == 7 ? station : silence);
  EXPECT_EQ(station, 6000u) << "the six seconds queued";
  EXPECT_EQ(silence, 1000u);
}
