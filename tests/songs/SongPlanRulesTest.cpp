// The keeper's plans against a past whose clock is the test's frames: where files begin
// (a frame that decodes alone, one format each), when they end, and what is kept.
#include <gtest/gtest.h>

#include "songs/FrameStartRules.h"
#include "songs/SongPlanRules.h"

namespace songs {
namespace {

constexpr int kRate = 44100;
constexpr int kTicks = 1152;  // an MP3 frame: about 26 ms

// An MPEG-1 layer III frame at 128 kbit/s whose sound begins `reach` bytes before it.
std::string Mp3Frame(int reach) {
  std::string f(417, '\0');
  f[0] = '\xFF', f[1] = '\xFB', f[2] = '\x90';
  f[4] = char(reach >> 1), f[5] = char((reach & 1) << 7);
  return f;
}

playback::StreamFormat Format(const char* codec, int rate, const char* headers = "") {
  return {codec, rate, 2, headers, {}};
}

// `seconds` of frames of a steady sound, frame i reaching `reach(i)` bytes back.
template <typename Reach>
void Play(StreamPast& past, double seconds, Reach reach) {
  std::vector<std::int16_t> sound(kTicks * 2, 8000);
  for (const double end = past.Now() + seconds; past.Now() < end;) {
    const std::string f = Mp3Frame(reach(past.NextIndex()));
    past.AddFrame(reinterpret_cast<const std::uint8_t*>(f.data()), f.size(), kTicks);
    past.AddSound(kRate, sound.data(), sound.size());
  }
}
void Play(StreamPast& past, double seconds) {
  Play(past, seconds, [](long long i) { return i % 10 ? 300 : 0; });
}

// Takes every frame due, a small piece at a time; the indices taken.
std::vector<Frame> TakeAll(FilePlan& plan) {
  std::vector<Frame> out;
  for (std::size_t budget = 5000; !plan.done && (SongPlanner::Take(plan, budget, out) || budget == 0);) budget = 5000;
  return out;
}

TEST(FrameStart, Mp3FramesTellTheReservoirTheyNeed) {
  EXPECT_EQ(Mp3ReservoirReach(Mp3Frame(0)), 0);
  EXPECT_EQ(Mp3ReservoirReach(Mp3Frame(511)), 511);
  EXPECT_EQ(Mp3MainDataBytes(Mp3Frame(7)), 417 - 4 - 32);
  std::string mpeg2mono = Mp3Frame(0);  // MPEG-2, with a CRC: 8 bits after it
  mpeg2mono[1] = '\xF2', mpeg2mono[3] = '\xC0', mpeg2mono[6] = '\xAB';
  EXPECT_EQ(Mp3ReservoirReach(mpeg2mono), 0xAB);
  EXPECT_EQ(Mp3MainDataBytes(mpeg2mono), 417 - 6 - 9);
  for (const std::string& bad : {std::string("\xFF\xFB"), std::string(40, '\0'), std::string("\xFF\xFD\x90\0", 4)})
    EXPECT_LT(Mp3ReservoirReach(bad), 0);
}

TEST(SongPlans, FilesBeginOnAFrameThatDecodesAlone) {
  auto past = std::make_shared<StreamPast>(Format("mp3", kRate), "Radio");
  SongPlanner planner;
  const auto none = [](long long) { return 300; };  // no frame decodes alone
  Play(*past, 20);
  past->AddTitle("A");
  Play(*past, 38);
  Play(*past, 2, none);
  past->AddTitle("B");
  Play(*past, 38, none);
  Play(*past, 2);
  past->AddTitle("C");
  Play(*past, 40);
  past->End();
  planner.Record(past);
  ASSERT_EQ(planner.Plans().size(), 3u);
  for (auto& plan : planner.Plans()) {
    const std::vector<Frame> frames = TakeAll(*plan);
    ASSERT_FALSE(frames.empty());
    const Song& song = *past->FindSong(plan->songId);
    const int reach = Mp3ReservoirReach(frames.front().bytes);
    if (song.title == "B") {
      // The frame before it holds the 300 bytes its first one needs.
      EXPECT_EQ(frames[1].index, past->IndexAt(song.begin - kOverlapSeconds));
      EXPECT_GT(reach, 0);
    } else {
      EXPECT_EQ(reach, 0) << song.title;
      EXPECT_GE(frames.front().at, song.joined ? song.begin : song.begin - kOverlapSeconds);
      EXPECT_LE(frames.front().at, song.begin);
    }
    EXPECT_EQ(FateOf(*plan, {false, false, true, frames.front().at, frames.back().at}),
              song.joined || song.cutOff ? FileFate::KeepIncomplete : FileFate::Keep);
  }
}

// A chained stream (a new chain for each song, each with its headers) and a connection
// again at another rate: no file holds two formats, and a song cut at a chain's start is
// whole.
TEST(SongPlans, ANewFormatIsANewSegment) {
  EXPECT_TRUE(StreamPast::SameFormat(Format("vorbis", kRate, "h1"), Format("vorbis", kRate, "h1")));
  EXPECT_FALSE(StreamPast::SameFormat(Format("vorbis", kRate, "h1"), Format("vorbis", kRate, "h2")));
  EXPECT_FALSE(StreamPast::SameFormat(Format("mp3", kRate), Format("mp3", 22050)));
  auto past = std::make_shared<StreamPast>(Format("vorbis", kRate, "h1"), "Radio");
  Play(*past, 50);
  past->AddTitle("A");
  past->NewSegment(Format("vorbis", 22050, "h2"));
  const double chained = past->Now();
  Play(*past, 0.5);  // the title comes a moment after the chain's headers
  past->AddTitle("B");
  Play(*past, 50);
  const double changed = past->Now();
  past->NewSegment(Format("vorbis", 48000, "h3"));  // another rate in the middle of B
  Play(*past, 30);
  past->End();
  EXPECT_DOUBLE_EQ(past->Songs()[1].begin, chained);
  EXPECT_EQ(past->SegmentOf(past->IndexAt(chained)).format.headers, "h2");
  SongPlanner planner;
  planner.Record(past);
  ASSERT_EQ(planner.Plans().size(), 2u);
  FilePlan& b = *planner.Plans()[1];
  const std::vector<Frame> frames = TakeAll(b);
  EXPECT_EQ(frames.front().at, chained);
  EXPECT_EQ(frames.back().at + frames.back().seconds, changed) << "no 48 kHz frame";
  EXPECT_TRUE(b.split);
  EXPECT_EQ(FateOf(b, {false, false, true, frames.front().at, frames.back().at}), FileFate::KeepIncomplete);
  // The last 10 minutes are those of the format that plays now.
  TakeAll(*planner.SaveLastMinutes(past));
  EXPECT_EQ(past->SegmentOf(planner.Plans().back()->segment).format.headers, "h3");
}

TEST(SongPlans, SavesAndRecordSongsShareTheSongUnderWay) {
  auto past = std::make_shared<StreamPast>(Format("mp3", kRate), "Radio");
  SongPlanner planner;
  Play(*past, 5);
  past->AddTitle("A");
  Play(*past, 40);
  past->AddTitle("B");
  Play(*past, 10);
  planner.RecordFromNow(past);  // B from now on, as an incomplete song
  planner.SaveThisSong(past);   // ...replaced by B from its start
  planner.SaveThisSong(past);   // which is asked for already
  planner.SavePreviousSong(past);
  auto& plans = planner.Plans();
  ASSERT_EQ(plans.size(), 3u);
  EXPECT_TRUE(plans[0]->dropped && plans[0]->fromNow);
  EXPECT_TRUE(plans[1]->fromStart && plans[1]->asked && !plans[1]->dropped);
  EXPECT_EQ(plans[2]->songId, past->Songs()[0].id);
  // A song shorter than 30 s of its own is kept only when asked for.
  FilePlan shortSong;
  shortSong.songId = 1;
  shortSong.song.begin = 10, shortSong.song.end = 38;
  EXPECT_EQ(FateOf(shortSong, {false, false, true, 9, 39}), FileFate::Drop);
  EXPECT_EQ(FateOf(shortSong, {false, true, true, 9, 39}), FileFate::KeepIncomplete);
  for (auto& plan : plans) plan->done = true;
  planner.Sweep();
  EXPECT_TRUE(plans.empty());
}

TEST(StreamPast, TinyFramesCountTheirBookkeeping) {
  StreamPast past(Format("opus", 48000), "Radio", kKeepSeconds, 1 << 20);
  const std::uint8_t byte = 0xF8;
  for (int i = 0; i < 200000; ++i) past.AddFrame(&byte, 1, 960);
  EXPECT_LE(past.BytesKept(), std::size_t(1) << 20);
  EXPECT_LT(past.Now() - past.Oldest(), (1 << 20) / kFrameBookkeeping * 0.02 + 0.1);
}

}  // namespace
}  // namespace songs
