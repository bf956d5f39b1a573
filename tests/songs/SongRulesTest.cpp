#include <gtest/gtest.h>

#include <set>

#include "songs/SongNameRules.h"
#include "songs/StreamPastRules.h"

namespace songs {
namespace {

constexpr int kRate = 44100;
constexpr int kTicks = 1152;  // an MP3 frame: about 26 ms

// Plays `seconds` of frames into the past, loud except where quiet(t) says.
template <typename Quiet>
void Play(StreamPast& past, double seconds, Quiet quiet) {
  const double end = past.Now() + seconds;
  std::vector<std::int16_t> sound(kTicks * 2);
  while (past.Now() < end) {
    const bool silent = quiet(past.Now());
    for (std::size_t i = 0; i < sound.size(); ++i) sound[i] = silent ? 0 : std::int16_t(i % 2 ? 8000 : -8000);
    const std::uint8_t frame[4] = {0xFF, 0xFB, 0x90, 0x00};
    past.AddFrame(frame, sizeof frame, kTicks);
    past.AddSound(kRate, sound.data(), sound.size());
  }
}

StreamPast MakePast(double keepSeconds = kKeepSeconds, std::size_t keepBytes = kKeepBytes) {
  playback::StreamFormat format;
  format.codec = "mp3";
  format.sampleRate = kRate;
  return StreamPast(format, "Station", keepSeconds, keepBytes);
}

TEST(StreamPast, CutsEachSongAtTheQuietestMomentNearItsTitle) {
  StreamPast past = MakePast();
  const auto quietAt = [](double a, double b) { return [a, b](double t) { return t >= a && t < b; }; };
  Play(past, 5, [](double) { return false; });
  past.AddTitle("First");  // under way when the stream began
  Play(past, 10, [](double) { return false; });
  past.AddTitle("Second");  // announced 2 s before the song really changes...
  Play(past, 30, quietAt(17.0, 17.06));
  past.AddTitle("Third");  // ...and a quiet moment 4 s late is too far: the cut stays at the title
  Play(past, 2, quietAt(49.0, 49.06));
  // Before the cut is known, nothing is taken for the song that a later cut would leave out.
  const double taken = past.TakeUntil(past.Songs()[1]);
  Play(past, 8, quietAt(49.0, 49.06));
  past.End();

  const auto& songs = past.Songs();
  ASSERT_EQ(songs.size(), 3u);
  EXPECT_TRUE(songs[0].joined);
  EXPECT_DOUBLE_EQ(songs[0].begin, 0.0);
  EXPECT_NEAR(songs[1].begin, 17.03, 0.03);
  EXPECT_DOUBLE_EQ(songs[0].end, songs[1].begin);
  EXPECT_NEAR(songs[2].begin, 45.0, 0.06);
  EXPECT_LE(taken, past.TakeUntil(songs[1]));
  EXPECT_DOUBLE_EQ(past.TakeUntil(songs[1]), songs[1].end + kOverlapSeconds);
  EXPECT_TRUE(songs[2].cutOff);
  EXPECT_DOUBLE_EQ(songs[2].end, past.Now());
  // Every cut is at a frame's start: a file holds whole frames.
  for (const Song& s : songs) EXPECT_EQ(past.FramesFrom(past.IndexAt(s.begin), 1e9).front().at, s.begin);
}

TEST(StreamPast, KeepsItsLastStretchWithinTimeAndBytes) {
  StreamPast byTime = MakePast(60, kKeepBytes);
  Play(byTime, 100, [](double) { return false; });
  EXPECT_NEAR(byTime.Now() - byTime.Oldest(), 60, 0.1);
  StreamPast byBytes = MakePast(kKeepSeconds, 4000);
  Play(byBytes, 100, [](double) { return false; });
  EXPECT_EQ(byBytes.BytesKept(), 4000u);
  // A repeated title (a reconnection announces it again) is the same song; a bridged drop
  // is noted in it.
  byTime.AddTitle("A");
  byTime.Resumed();
  byTime.AddTitle("A");
  ASSERT_EQ(byTime.Songs().size(), 1u);
  EXPECT_EQ(byTime.Songs()[0].gaps, 1);
}

TEST(SongNames, AreSafeUniqueAndShortEnough) {
  const std::pair<const char*, const char*> names[] = {{"AC/DC: Back in Black?", "AC_DC_ Back in Black_"},
                                                       {"..\\..\\boot.ini", ".._.._boot.ini"},
                                                       {"Dots...  ", "Dots"},
                                                       {"..", "_"},
                                                       {"con", "con_"},
                                                       {"NUL.txt", "NUL_.txt"},
                                                       {"com7", "com7_"},
                                                       {"Comet", "Comet"},
                                                       {"tab\there", "tab_here"},
                                                       {"Lpt\xB9 .x", "Lpt\xB9_ .x"},
                                                       {"CON. Live", "CON_. Live"}};
  for (const auto& [in, out] : names) EXPECT_EQ(SafeFileName(in), out) << in;

  const std::string path = SongPath("C:\\Songs", "Radio <1>", std::string(400, 'x'), ".mp3", true);
  EXPECT_EQ(path.rfind("C:\\Songs\\Radio _1_\\incomplete\\xxx", 0), 0u);
  EXPECT_EQ(path.size() + kNameReserve, kMaxPath);
  EXPECT_EQ(SongPath(std::string(250, 'f'), "S", "T", ".mp3", false), "");

  // In a double-byte code page (here Shift-JIS) a character's second byte may be '\\' or
  // '|': it stays, and a name is cut between characters.
  const ui::CodePageShape sjis{false, [](unsigned char c) { return (c >= 0x81 && c <= 0x9F) || c >= 0xE0; }};
  EXPECT_EQ(SafeFileName("\x95\x5C|\x83", sjis), "\x95\x5C__");
  std::string table;  // 116 whole characters fit after "x", 233 of the 234 bytes left
  for (int i = 0; i < 200; ++i) table += "\x95\x5C";
  EXPECT_EQ(SongPath("C:\\Songs", "S", "x" + table, ".mp3", false, sjis),
            "C:\\Songs\\S\\x" + table.substr(0, 232) + ".mp3");

  const std::set<std::string> taken = {"C:\\a\\Song.mp3", "C:\\a\\Song (2).mp3"};
  EXPECT_EQ(UniquePath("C:\\a\\Song.mp3", [&](const std::string& p) { return taken.count(p) > 0; }),
            "C:\\a\\Song (3).mp3");

  EXPECT_EQ(SplitArtist("Queen - Bohemian Rhapsody").artist, "Queen");
  EXPECT_EQ(SplitArtist("Queen - Bohemian Rhapsody").title, "Bohemian Rhapsody");
  EXPECT_EQ(SplitArtist("Just a title").artist, "");
  EXPECT_EQ(StretchName("Jazz", 2026, 1, 2, 3, 4, 5), "Jazz 2026-01-02 03-04-05");
  EXPECT_STREQ(FileKindFor("aac").muxer, "adts");
  EXPECT_EQ(FileKindFor("wmav2").muxer, nullptr);

  const SongSettings s = ParseSongSettings(SongSettingsText({true, "D:\\Music"}));
  EXPECT_TRUE(s.record);
  EXPECT_EQ(s.folder, "D:\\Music");
  EXPECT_FALSE(ParseSongSettings("garbage\n\x01\nRecord=yes").record);
}

}  // namespace
}  // namespace songs
