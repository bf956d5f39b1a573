#include "recording/StationCaptureRules.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <vector>

#include "recording/CueSheetRules.h"

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

// The clock decides how much is handed out; the station's sound once a quarter second of
// it waits, its bytes as they came and in order, silence around them.
TEST(StationSoundPace, HandsOutTheClocksWorthTheStationAfterItsLeadAndSilenceElsewhere) {
  StationSoundPace p = Paced();
  p.Advance(1100);
  EXPECT_EQ(ReadAll(p), std::vector<std::uint8_t>(100, 0x80)) << "nothing queued: silence";
  std::vector<std::uint8_t> sound(400);
  std::iota(sound.begin(), sound.end(), std::uint8_t(0));
  p.Push(sound.data(), 200);
  p.Advance(1150);
  EXPECT_EQ(ReadAll(p), std::vector<std::uint8_t>(50, 0x80)) << "waiting for the lead";
  p.Push(sound.data() + 200, 200);
  p.Advance(1475);  // 325 bytes due: the station's first 324 (whole frames), in order
  std::vector<std::uint8_t> got = ReadAll(p);
  ASSERT_EQ(got.size(), 324u);
  EXPECT_TRUE(std::equal(got.begin(), got.end(), sound.begin()));
  p.Advance(1600);  // 126 due: the 76 bytes of sound left, then silence
  got = ReadAll(p);
  ASSERT_EQ(got.size(), 126u);
  EXPECT_TRUE(std::equal(got.begin(), got.begin() + 76, sound.begin() + 324));
  EXPECT_EQ(std::vector<std::uint8_t>(got.begin() + 76, got.end()), std::vector<std::uint8_t>(50, 0x80));
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
  const std::vector<std::uint8_t> lots(5000, 7);
  p.Push(lots.data(), lots.size());
  std::size_t station = 0, silence = 0;
  for (std::uint64_t t = 3500; t <= 7000; t += 500)
    for (std::uint8_t b : (p.Advance(t), ReadAll(p))) ++(b == 7 ? station : silence);
  EXPECT_EQ(station, 3000u) << "the three seconds queued";
  EXPECT_EQ(silence, 1000u);
}

TEST(CueSheet, NamesEachTitleHeardAtItsTimeWithItsPerformer) {
  CueTracks tracks;
  tracks.Heard("", 0);
  tracks.Heard("Artist - Song \"One\"", 0);
  tracks.Heard("Artist - Song \"One\"", 1000);
  tracks.Heard("Jingle", 176400 * 61 + 176400 / 75 * 3);
  EXPECT_EQ(CueSheetText("take.wav", tracks.Tracks(), 176400),
            "FILE \"take.wav\" WAVE\r\n"
            "  TRACK 01 AUDIO\r\n    TITLE \"Song 'One'\"\r\n    PERFORMER \"Artist\"\r\n    INDEX 01 00:00:00\r\n"
            "  TRACK 02 AUDIO\r\n    TITLE \"Jingle\"\r\n    INDEX 01 01:01:03\r\n");
  EXPECT_EQ(CueSheetPath("C:\\rec\\take.wav"), "C:\\rec\\take.cue");
  EXPECT_EQ(CueSheetPath("C:\\rec.d\\take"), "C:\\rec.d\\take.cue");
}
