#include "stations/StationFilesRules.h"

#include <gtest/gtest.h>

#include <set>

using namespace stations;
using Lines = std::vector<std::string>;

TEST(StationFilesRules, LinesEndAtCrLfOrCrLfAndReadingStopsAtNul) {
  struct Case {
    std::string text;
    Lines lines;
  };
  const Case cases[] = {
      {"", {}},
      {"a", {"a"}},
      {"a\r\n", {"a"}},
      {"a\n", {"a"}},
      {"a\r", {"a"}},
      {"a\r\nb", {"a", "b"}},
      {"a\rb\nc\r\nd", {"a", "b", "c", "d"}},
      {"a\r\n\r\nb\r\n", {"a", "", "b"}},
      {"a\n\n", {"a", ""}},
      {"\r\n", {""}},
      {"a\n\rb", {"a", "", "b"}},  // LF CR is two breaks, not one
      {"a\r\r\nb", {"a", "", "b"}},
      {std::string("ab\0cd\r\ne", 8), {"ab"}},
      {std::string("\0a", 2), {}},
      {" padded \t\r\n", {" padded \t"}},
  };
  for (const Case& c : cases) EXPECT_EQ(SplitLines(c.text), c.lines) << '"' << c.text << '"';
}

TEST(StationFilesRules, JoinedLinesAllEndInCrLfAndReadBackTheSame) {
  EXPECT_EQ(JoinLines({}), "");
  EXPECT_EQ(JoinLines({""}), "\r\n");
  EXPECT_EQ(JoinLines({"a", "", "b"}), "a\r\n\r\nb\r\n");
  const Lines lines{"Radio \xE9t\xE9", "", "  blanks kept  ", "http://h:8000/;stream.nsv", ""};
  EXPECT_EQ(SplitLines(JoinLines(lines)), lines);
}

TEST(StationFilesRules, ALineBreakInsideAValueCannotShiftTheLinesAfterIt) {
  const Lines lines{"one\r\ntwo", "x\ry", std::string("n\0l", 3), "last"};
  const Lines back = SplitLines(JoinLines(lines));
  EXPECT_EQ(back, (Lines{"one  two", "x y", "n l", "last"}));
}

TEST(StationFilesRules, GroupFileNamesUseTheBandVerbatim) {
  EXPECT_EQ(GroupFileName("C:\\radio", "Pop-Rock", 12), "C:\\radio\\Pop-Rock12.dat");
  EXPECT_EQ(GroupFileName("C:\\radio", "Ovexia Radio Network", 1), "C:\\radio\\Ovexia Radio Network1.dat");
  EXPECT_EQ(GroupFileName("D:", "Others - New", 3), "D:\\Others - New3.dat");
  EXPECT_EQ(GroupFileName("D:", " x ", 100), "D:\\ x 100.dat");
}

TEST(StationFilesRules, AGroupReadsByPositionAndAlwaysWritesFourteenLines) {
  // A short file: preset 1 whole, preset 2 without its URL, the rest empty.
  const PresetGroup shortGroup = ParseGroup({"Jazz FM", "http://jazz:8000", "Talk"});
  EXPECT_EQ(shortGroup[0], (Preset{"Jazz FM", "http://jazz:8000"}));
  EXPECT_EQ(shortGroup[1], (Preset{"Talk", ""}));
  for (int k = 2; k < kPresetsPerGroup; ++k) EXPECT_EQ(shortGroup[std::size_t(k)], Preset{}) << k;
  const Lines written = GroupLines(shortGroup);
  ASSERT_EQ(written.size(), 14u);
  std::string expected = "Jazz FM\r\nhttp://jazz:8000\r\nTalk\r\n";
  for (int i = 0; i < 11; ++i) expected += "\r\n";
  EXPECT_EQ(JoinLines(written), expected);

  // Extra lines are ignored; a full group survives a round trip.
  Lines full;
  for (int i = 1; i <= 14; ++i) full.push_back((i % 2 ? "name " : "url ") + std::to_string(i));
  Lines longer = full;
  longer.push_back("ignored");
  EXPECT_EQ(GroupLines(ParseGroup(longer)), full);

  for (const Preset& p : EmptyGroup()) EXPECT_EQ(p, (Preset{"none", "none"}));
}

TEST(StationFilesRules, HistoryPushesDownAndLosesTheOldest) {
  History h = EmptyHistory();
  for (const Preset& p : h) EXPECT_EQ(p, (Preset{"none", "Empty"}));
  for (int i = 1; i <= 12; ++i) PushHistory(h, "S" + std::to_string(i), "u" + std::to_string(i));
  EXPECT_EQ(h[0], (Preset{"S12", "u12"}));
  EXPECT_EQ(h[10], (Preset{"S2", "u2"})) << "the first press has left; slot 11 holds the second";

  // No test for duplicates or empty presets.
  PushHistory(h, "same", "u");
  PushHistory(h, "same", "u");
  PushHistory(h, "none", "none");
  EXPECT_EQ(h[0], (Preset{"none", "none"}));
  EXPECT_EQ(h[1], h[2]);
}

TEST(StationFilesRules, SettingsIntegersAreDecimalWithinThirtyTwoBits) {
  struct Good {
    const char* text;
    int value;
  };
  const Good good[] = {{"0", 0},
                       {"-1", -1},
                       {"+7", 7},
                       {"0012", 12},
                       {" 5", 5},
                       {"5 ", 5},
                       {"\t-3\t", -3},
                       {"2147483647", INT_MAX},
                       {"-2147483648", INT_MIN}};
  for (const Good& g : good) EXPECT_EQ(ParseSettingsInteger(g.text), g.value) << g.text;

  const char* bad[] = {"",    " ",   "abc", "12a",  "1 2", "1.5",        "+",           "-",
                       "+-1", "--1", "- 1", "0x10", "$10", "2147483648", "-2147483649", "99999999999999999999"};
  for (const char* b : bad) {
    try {
      ParseSettingsInteger(b);
      ADD_FAILURE() << "accepted '" << b << "'";
    } catch (const EConvertError& e) {
      EXPECT_EQ(std::string(e.what()), "'" + std::string(b) + "' is not a valid integer value");
    }
  }
}

TEST(StationFilesRules, RecordingPathIsKeptOnlyWhileItsFileExists) {
  const std::set<std::string> files{"C:\\rec\\show.wav", "C:\\[old]\\a.wav"};
  const FileExistsFn exists = [&](const std::string& p) { return files.count(p) > 0; };
  EXPECT_EQ(RecordingPathFromSettings("C:\\rec\\show.wav", "C:\\prog", exists), "C:\\rec\\show.wav");
  EXPECT_EQ(RecordingPathFromSettings("C:\\rec\\gone.wav", "C:\\prog", exists), "C:\\prog\\webfile.wav");
  EXPECT_EQ(RecordingPathFromSettings("", "C:\\prog", exists), "C:\\prog\\webfile.wav");
  EXPECT_EQ(RecordingPathFromSettings("C:\\[old]\\a.wav", "C:\\prog", exists), "C:\\[old]\\a.wav")
      << "brackets in a folder name are no fault of the file name";

  for (const char* refused : {"C:\\rec\\a<b.wav", "a>b.wav", "C:\\x\\[1].wav", "x]", "C:/rec/a|b.wav", "C:a|b"}) {
    try {
      RecordingPathFromSettings(refused, "C:\\prog", exists);
      ADD_FAILURE() << "accepted " << refused;
    } catch (const EInvalidFileName& e) {
      EXPECT_EQ(std::string(e.what()), std::string("Invalid file name - ") + refused);
    }
  }
}

namespace {

// Records what the settings set, in order.
struct Recorder : SettingsTarget {
  std::vector<std::string> calls;
  void SetRecordingPath(const std::string& p) override { calls.push_back("path=" + p); }
  void SetFormatIndex(int i) override { calls.push_back("format=" + std::to_string(i)); }
  void SetDriverIndex(int i) override { calls.push_back("driver=" + std::to_string(i)); }
  void SetHistoryName(int k, const std::string& s) override { calls.push_back("name" + std::to_string(k) + "=" + s); }
  void SetHistoryUrl(int k, const std::string& s) override { calls.push_back("url" + std::to_string(k) + "=" + s); }
  void SetBand(const std::string& b) override { calls.push_back("band=" + b); }
  void SetLeft(int v) override { calls.push_back("left=" + std::to_string(v)); }
  void SetTop(int v) override { calls.push_back("top=" + std::to_string(v)); }
};

SettingsValues SampleValues() {
  SettingsValues v;
  v.recordingPath = "C:\\rec\\show.wav";
  v.formatIndex = 3;
  v.driverIndex = -1;
  for (int k = 0; k < kHistorySlots; ++k)
    v.history[std::size_t(k)] = {"S" + std::to_string(k + 1), "u" + std::to_string(k + 1)};
  v.band = "Others - New";
  v.left = -12;
  v.top = 40;
  return v;
}

}  // namespace

TEST(StationFilesRules, SettingsWriteTwentyEightLinesThatReadBackInOrder) {
  const Lines lines = SettingsLines(SampleValues());
  ASSERT_EQ(lines.size(), 28u);
  EXPECT_EQ(lines[0], "C:\\rec\\show.wav");
  EXPECT_EQ(lines[1], "3");
  EXPECT_EQ(lines[2], "-1");
  EXPECT_EQ(lines[3], "S1");
  EXPECT_EQ(lines[24], "u11");
  EXPECT_EQ(lines[25], "Others - New");
  EXPECT_EQ(lines[26], "-12");
  EXPECT_EQ(lines[27], "40");

  Recorder r;
  ReadSettings(
      SplitLines(JoinLines(lines)), "C:\\prog", [](const std::string&) { return true; }, r);
  ASSERT_EQ(r.calls.size(), 28u);
  EXPECT_EQ(r.calls[0], "path=C:\\rec\\show.wav");
  EXPECT_EQ(r.calls[1], "format=3");
  EXPECT_EQ(r.calls[2], "driver=-1");
  EXPECT_EQ(r.calls[3], "name1=S1");
  EXPECT_EQ(r.calls[4], "url1=u1");
  EXPECT_EQ(r.calls[24], "url11=u11");
  EXPECT_EQ(r.calls[25], "band=Others - New");
  EXPECT_EQ(r.calls[26], "left=-12");
  EXPECT_EQ(r.calls[27], "top=40");
}

TEST(StationFilesRules, EmptyOrMissingSettingsLinesLeaveTheirControlsAlone) {
  Lines lines = SettingsLines(SampleValues());
  for (int i = 3; i < 25; ++i) lines[std::size_t(i)].clear();  // no history at all
  lines.resize(27);                                            // no top line
  Recorder r;
  ApplySettings(lines, r);
  EXPECT_EQ(r.calls, (Lines{"format=3", "driver=-1", "band=Others - New", "left=-12"}));

  Recorder none;
  ApplySettings({}, none);
  EXPECT_TRUE(none.calls.empty());
}

TEST(StationFilesRules, ABadIntegerStopsTheSettingsAtItsLine) {
  struct Case {
    int line;  // 1-based
    std::size_t appliedBefore;
  };
  // Each case breaks one integer line; the calls before it happen, none after it.
  const Case cases[] = {{2, 0}, {3, 1}, {27, 25}, {28, 26}};
  for (const Case& c : cases) {
    Lines lines = SettingsLines(SampleValues());
    lines[std::size_t(c.line - 1)] = "12x";
    Recorder r;
    EXPECT_THROW(
        {
          try {
            ApplySettings(lines, r);
          } catch (const EConvertError& e) {
            EXPECT_STREQ(e.what(), "'12x' is not a valid integer value");
            throw;
          }
        },
        EConvertError)
        << "line " << c.line;
    EXPECT_EQ(r.calls.size(), c.appliedBefore) << "line " << c.line;
  }
}

TEST(StationFilesRules, ReadingSettingsWithoutAFileOrWithARefusedPath) {
  const FileExistsFn nothingExists = [](const std::string&) { return false; };
  Recorder missing;
  ReadSettings(std::nullopt, "C:\\prog", nothingExists, missing);
  EXPECT_EQ(missing.calls, (Lines{"path=webfile.wav"}));

  Lines lines = SettingsLines(SampleValues());
  Recorder gone;
  ReadSettings(lines, "C:\\prog", nothingExists, gone);
  EXPECT_EQ(gone.calls.front(), "path=C:\\prog\\webfile.wav");
  EXPECT_EQ(gone.calls.size(), 28u);

  lines[0] = "C:\\rec\\a|b.wav";
  Recorder refused;
  EXPECT_THROW(ReadSettings(lines, "C:\\prog", nothingExists, refused), EInvalidFileName);
  EXPECT_TRUE(refused.calls.empty()) << "nothing applied after a refused line 1";
}

TEST(StationFilesRules, TheBandFileIsOneNamePerLine) {
  const std::vector<std::string>& bands = BuiltInBands();
  ASSERT_EQ(bands.size(), 19u);
  EXPECT_EQ(bands.front(), "Alternative");
  EXPECT_EQ(bands[12], kDefaultBand);
  EXPECT_EQ(bands.back(), "Top 40");

  EXPECT_EQ(BandFileText({"jazz", "Jazz", ""}), "jazz\r\nJazz\r\n\r\n");
  EXPECT_EQ(ParseBandFile("b\nA\r\n\r\nc"), (Lines{"b", "A", "", "c"}));
  EXPECT_EQ(ParseBandFile(BandFileText(bands)), bands);
}
