#include "recording/CueSheetRules.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <fstream>

using namespace recording;

namespace {

constexpr std::uint32_t kCdRate = 176400;  // bytes a second of 44.1 kHz 16-bit stereo

std::string Output(const std::string& command) {
  std::string out;
  if (FILE* pipe = popen((command + " 2>&1").c_str(), "r")) {
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
    pclose(pipe);
  }
  return out;
}

}  // namespace

// Titles become tracks where they begin: the same title again is none, an untitled stretch
// after a title (an advert) is one, and a title that replaces one before any sound of it
// takes its place. A sheet names each with its performer, at its time in minutes that go
// past 99 in a long recording.
TEST(CueSheet, NamesEachTitleHeardAtItsTimeWithItsPerformer) {
  CueTracks tracks;
  const struct {
    const char* title;
    std::int64_t at;
    std::size_t changed;
  } heard[] = {{"", 0, std::string::npos},
               {"Artist - Song \"One\"", 0, 0},
               {"Artist - Song \"One\"", 1000, std::string::npos},
               {"", kCdRate * 61 + kCdRate / 75 * 3, 1},
               {"Jingle", kCdRate * 90, 2},
               {"News", kCdRate * 90, 2},
               {"Late\tShow", kCdRate * (125 * 60 + 7), 3}};
  for (const auto& h : heard) EXPECT_EQ(tracks.Heard(h.title, h.at), h.changed) << h.title;
  EXPECT_EQ(CueSheetText("take.wav", 0, tracks.Tracks(), kCdRate),
            std::string(kCueSheetMark) +
                "\r\nFILE \"take.wav\" WAVE\r\n"
                "  TRACK 01 AUDIO\r\n    TITLE \"Song 'One'\"\r\n    PERFORMER \"Artist\"\r\n    INDEX 01 00:00:00\r\n"
                "  TRACK 02 AUDIO\r\n    INDEX 01 01:01:03\r\n"
                "  TRACK 03 AUDIO\r\n    TITLE \"News\"\r\n    INDEX 01 01:30:00\r\n"
                "  TRACK 04 AUDIO\r\n    TITLE \"Late Show\"\r\n    INDEX 01 125:07:00\r\n");
}

// A title the ANSI code page lacks characters of keeps its ANSI lines and adds its UTF-8
// text in comments (check-cue.sh has cuetools read them); two titles with the same ANSI
// form are two tracks.
TEST(CueSheet, TitlesInAnotherScriptAddTheirUtf8TextAndStayApart) {
  const std::string kino = "\xD0\x9A\xD0\xB8\xD0\xBD\xD0\xBE", star = "\xD0\x97\xD0\xB2\xD0\xB5\xD0\xB7\xD0\xB4\xD0\xB0";
  CueTracks tracks;
  EXPECT_EQ(tracks.Heard("???? - ??????", 0, kino + " - " + star), 0u);
  EXPECT_EQ(tracks.Heard("???? - ??????", kCdRate, kino + " - \xD0\x93" + star.substr(2)), 1u);
  EXPECT_NE(CueSheetText("take.wav", 0, tracks.Tracks(), kCdRate)
                .find("    TITLE \"??????\"\r\n    PERFORMER \"????\"\r\n    REM UTF8-TITLE \"" + star +
                      "\"\r\n    REM UTF8-PERFORMER \"" + kino + "\"\r\n    INDEX 01 00:00:00\r\n"),
            std::string::npos);
}

// 99 tracks to a sheet; further sheets begin with one track for what came before. A sheet
// carries the mark that tells a later recording into the same file that it may replace it.
TEST(CueSheet, MoreThan99TitlesGoOnInFurtherSheetsThatNameTheirFile) {
  for (const auto& [track, sheet] : {std::pair<std::size_t, std::size_t>{0, 0}, {98, 0}, {99, 1}, {196, 1}, {197, 2}})
    EXPECT_EQ(CueSheetOf(track), sheet) << track;
  EXPECT_EQ(CueSheetFirstTrack(2), 197u);
  std::vector<CueTrack> tracks;
  for (int i = 0; i < 250; ++i) tracks.push_back({"T" + std::to_string(i), std::int64_t(i) * kCdRate});
  const std::string second = CueSheetText("take.wav", 1, std::span(tracks).subspan(99), kCdRate);
  EXPECT_NE(second.find("  TRACK 01 AUDIO\r\n    TITLE \"Tracks 1 to 99 (the sheet before)\"\r\n    INDEX 01 00:00:00"),
            std::string::npos);
  EXPECT_NE(second.find("  TRACK 02 AUDIO\r\n    TITLE \"T99\"\r\n    INDEX 01 01:39:00"), std::string::npos);
  EXPECT_NE(second.find("  TRACK 99 AUDIO\r\n    TITLE \"T196\""), std::string::npos);
  EXPECT_EQ(second.find("T197"), std::string::npos) << "the third sheet's";

  const struct {
    std::string text, wave;
    bool own;
  } sheets[] = {{second, "take.wav", true},
                {second, "TAKE.WAV", true},
                {second, "other.wav", false},
                {"FILE \"take.wav\" WAVE\r\n  TRACK 01 AUDIO\r\n", "take.wav", false},  // a CD rip's
                {std::string(kCueSheetMark) + "\r\nFILE \"take.wav\" MP3\r\n", "take.wav", false},
                {CueSheetText("show.mp3", 0, {}, 44100), "show.mp3", true},
                {"", "take.wav", false}};
  for (const auto& s : sheets) EXPECT_EQ(IsOwnCueSheet(s.text, s.wave), s.own) << s.text.substr(0, 60) << s.wave;
  const std::pair<std::string, std::string> names[] = {
      {CueSheetPath("C:\\rec\\take.wav"), "C:\\rec\\take.cue"},
      {CueSheetPath("C:\\rec.d\\take"), "C:\\rec.d\\take.cue"},
      {CueSheetOtherPath("C:\\rec\\take.cue", 1), "C:\\rec\\take.cue"},
      {CueSheetOtherPath("C:\\rec\\take.cue", 2), "C:\\rec\\take (2).cue"},
      {CueSheetPartPath("C:\\rec\\take (2).cue", 2), "C:\\rec\\take (2) (part 3).cue"}};
  for (const auto& [got, expected] : names) EXPECT_EQ(got, expected);
}

// What cuetools reads from the sheets of a recording at the 4 GB limit (6.8 hours) with a
// title every 100 s: every break where its title began, none lost, none out of place.
TEST(CueSheet, CuebreakpointsReadsEveryBreakOfALongRecording) {
  if (Output("command -v cuebreakpoints").empty()) GTEST_SKIP() << "cuetools is not installed";
  std::vector<CueTrack> tracks;
  for (int i = 0; i < 245; ++i) tracks.push_back({"Song " + std::to_string(i), std::int64_t(i) * 100 * kCdRate});
  char dir[] = "/tmp/tunora-cue-XXXXXX";
  ASSERT_NE(mkdtemp(dir), nullptr);
  for (std::size_t sheet = 0; sheet <= CueSheetOf(tracks.size() - 1); ++sheet) {
    const std::string path = std::string(dir) + "/take" + std::to_string(sheet) + ".cue";
    std::ofstream(path, std::ios::binary)
        << CueSheetText("take.wav", sheet, std::span(tracks).subspan(CueSheetFirstTrack(sheet)), kCdRate);
    // A sheet's first break is where its second track begins.
    std::string expected;
    const std::size_t first = CueSheetFirstTrack(sheet) + (sheet == 0 ? 1 : 0);
    for (std::size_t i = first; i < std::min(tracks.size(), CueSheetFirstTrack(sheet + 1)); ++i)
      expected += std::to_string(i * 100 / 60) + ":" + (i * 100 % 60 < 10 ? "0" : "") +
                  std::to_string(i * 100 % 60) + ".00\n";
    EXPECT_EQ(Output("cuebreakpoints " + path), expected) << "sheet " << sheet;
    std::remove(path.c_str());
  }
  rmdir(dir);
}
