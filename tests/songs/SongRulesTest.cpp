#include <gtest/gtest.h>

#include <set>

#include "songs/LeftoverRules.h"
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
  // Each frame counts its bookkeeping too: 4-byte frames take 4 + kFrameBookkeeping.
  StreamPast byBytes = MakePast(kKeepSeconds, 4000);
  Play(byBytes, 100, [](double) { return false; });
  EXPECT_EQ(byBytes.BytesKept(), 4000 / (4 + kFrameBookkeeping) * (4 + kFrameBookkeeping));
  // A repeated title (a reconnection announces it again) is the same song; a bridged drop
  // is noted in it.
  byTime.AddTitle("A");
  byTime.Resumed();
  byTime.AddTitle("A");
  ASSERT_EQ(byTime.Songs().size(), 1u);
  EXPECT_EQ(byTime.Songs()[0].gaps, 1);
}

// A song's own length leaves out the second that its file reaches into each song beside
// it: a 28 s jingle is no song. A piece of a song takes its own part of the song.
TEST(StreamPast, ASongsOwnLengthLeavesOutTheOverlap) {
  Song jingle;
  jingle.begin = 40;
  jingle.end = 68;
  const Song stretch;  // no song: a stretch of time
  Song playing;
  playing.begin = 100;
  const struct {
    const Song& song;
    double from, to, seconds;
  } files[] = {{jingle, 39, 69, 28}, {jingle, 50, 69, 18}, {playing, 99, 131, 31}, {stretch, 5, 35, 30}};
  for (const auto& f : files) EXPECT_DOUBLE_EQ(SongSecondsIn(f.song, f.from, f.to), f.seconds) << f.from;

  // A large stretch leaves the past a piece at a time, each at least one frame.
  StreamPast past = MakePast();
  Play(past, 10, [](double) { return false; });
  EXPECT_EQ(past.FramesFrom(0, 1e9, 10).size(), 2u) << "4-byte frames";
  EXPECT_EQ(past.FramesFrom(5, 1e9, 1).front().index, 5);
}

// What a run that ended unexpectedly left: its songs under way and the spooled frames of
// earlier versions, told by name; what of them plays, told by their first bytes.
TEST(Leftovers, AreToldByNameAndKeptWhereTheyPlay) {
  const struct {
    std::string name;
    LeftoverKind kind;
    unsigned long owner;
    const char* songFile;
  } names[] = {{"~song1234-5.frames", LeftoverKind::Spool, 1234, ""},
               {"Artist - Tune.mp3.~77-3.part", LeftoverKind::Part, 77, "Artist - Tune.mp3"},
               {"Song.ogg" + PartSuffix(4294967295ul, 4294967295ul), LeftoverKind::Part, 4294967295ul, "Song.ogg"},
               {"Tune.mp3.part", LeftoverKind::None, 0, ""},  // a browser's download, perhaps
               {"~song12a-1.frames", LeftoverKind::None, 0, ""},
               {"~song99999999999-1.frames", LeftoverKind::None, 0, ""},
               {"notes.txt", LeftoverKind::None, 0, ""}};
  for (const auto& n : names) {
    const Leftover left = ParseLeftoverName(n.name);
    EXPECT_EQ(left.kind, n.kind) << n.name;
    EXPECT_EQ(left.owner, n.owner) << n.name;
    EXPECT_EQ(left.songFile, n.songFile) << n.name;
  }

  std::string mp3(417, '\0');
  mp3[0] = '\xFF', mp3[1] = '\xFB', mp3[2] = '\x90';
  std::string adts(100, '\0');
  const char header[] = "\xFF\xF1\x50\x80\x0C\x9F\xFC";
  std::copy(header, header + 7, adts.begin());
  const std::string id3 = std::string("ID3\x04\0\0\0\0\0\x05", 10) + "abcde";
  std::string page = "OggS" + std::string(23, '\0');
  std::string soundPage = page;
  soundPage[7] = 4;  // granule position 1024
  const std::pair<std::string, std::string> heads[] = {{mp3 + mp3 + mp3 + mp3, ".mp3"},
                                                       {id3 + mp3 + mp3 + mp3 + mp3, ".mp3"},
                                                       {adts + adts + adts + adts, ".aac"},
                                                       {page + page, ""},
                                                       {page + page + soundPage, ".ogg"},
                                                       {std::string("\x01vorbis") + std::string(3000, 'x'), ""},
                                                       {"", ""}};
  for (const auto& [head, playable] : heads) EXPECT_EQ(PlayableStream(head), playable) << head.size();
  EXPECT_TRUE(SameStreamKind(".opus", ".ogg"));
  EXPECT_FALSE(SameStreamKind(".aac", ".mp3"));
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
  const base::CodePageShape sjis{false, [](unsigned char c) { return (c >= 0x81 && c <= 0x9F) || c >= 0xE0; }};
  EXPECT_EQ(SafeFileName("\x95\x5C|\x83", sjis), "\x95\x5C__");

  // Paths are UTF-8, their length counted in UTF-16 units as Windows counts it: a name in
  // kana (3 bytes, 1 unit) or beyond the BMP (4 bytes, 2 units) is cut on whole characters.
  const std::size_t left = kMaxPath - std::string("C:\\Songs\\S\\x.mp3").size() - kNameReserve;
  for (const std::string one : {"\xE3\x81\x82", "\xF0\x9F\x8E\xB5"}) {
    std::string name;
    for (int i = 0; i < 300; ++i) name += one;
    EXPECT_EQ(SongPath("C:\\Songs", "S", "x" + name, ".mp3", false),
              "C:\\Songs\\S\\x" + name.substr(0, left / (one.size() - 2) * one.size()) + ".mp3");
  }
  const std::string kino = "\xD0\x9A\xD0\xB8\xD0\xBD\xD0\xBE", greek = "\xCE\xA1\xCE\xAC\xCE\xB4";
  EXPECT_EQ(SongPath("C:\\" + kino, greek + ": 1", "COM\xC2\xB9.?" + kino, ".mp3", true),
            "C:\\" + kino + "\\" + greek + "_ 1\\incomplete\\COM\xC2\xB9_._" + kino + ".mp3");

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
