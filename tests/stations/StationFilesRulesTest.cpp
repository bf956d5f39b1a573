#include "stations/StationFilesRules.h"
#include "base/LineRules.h"

#include <gtest/gtest.h>

#include <climits>
#include <set>

using namespace base;
using namespace stations;
using Lines = std::vector<std::string>;

TEST(StationFilesRules, LinesSplitAtCrLfOrCrLfStopAtNulAndJoinWithCrLf) {
  const std::pair<std::string, Lines> cases[] = {
      {"", {}},
      {"a\r\n", {"a"}},
      {"a\rb\nc\r\nd", {"a", "b", "c", "d"}},
      {"a\r\n\r\nb\r\n", {"a", "", "b"}},
      {"a\n\n", {"a", ""}},
      {"a\n\rb", {"a", "", "b"}},  // LF CR is two breaks
      {std::string("ab\0cd\r\ne", 8), {"ab"}},
      {" padded \t\r\n", {" padded \t"}},
  };
  for (const auto& [text, lines] : cases) EXPECT_EQ(SplitLines(text), lines) << '"' << text << '"';

  EXPECT_EQ(JoinLines({"a", "", "b"}), "a\r\n\r\nb\r\n");
  // A line break inside a value cannot push the later lines out of their positions.
  EXPECT_EQ(SplitLines(JoinLines({"one\r\ntwo", "x\ry", std::string("n\0l", 3), "last"})),
            (Lines{"one  two", "x y", "n l", "last"}));
}

TEST(StationFilesRules, AGroupReadsByPositionAndAlwaysWritesFourteenLines) {
  EXPECT_EQ(GroupFileName("C:\\radio", "Others - New", 3), "C:\\radio\\Others - New3.dat");

  // A short file: preset 1 whole, preset 2 without its URL, the rest empty.
  const PresetGroup group = ParseGroup({"Jazz FM", "http://jazz:8000", "Talk"});
  EXPECT_EQ(group[0], (Preset{"Jazz FM", "http://jazz:8000"}));
  EXPECT_EQ(group[1], (Preset{"Talk", ""}));
  EXPECT_EQ(group[6], Preset{});
  EXPECT_EQ(JoinLines(GroupLines(group)),
            "Jazz FM\r\nhttp://jazz:8000\r\nTalk\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n");

  Lines full;
  for (int i = 1; i <= 15; ++i) full.push_back("line " + std::to_string(i));
  EXPECT_EQ(GroupLines(ParseGroup(full)), Lines(full.begin(), full.begin() + 14)) << "line 15 is ignored";
}

TEST(StationFilesRules, HistoryPushesDownAndLosesTheOldest) {
  History h = EmptyHistory();
  EXPECT_EQ(h[10], (Preset{"none", "Empty"}));
  for (int i = 1; i <= 12; ++i) PushHistory(h, "S" + std::to_string(i), "u" + std::to_string(i));
  EXPECT_EQ(h[0], (Preset{"S12", "u12"}));
  EXPECT_EQ(h[10], (Preset{"S2", "u2"})) << "the first press has left; slot 11 holds the second";
}

TEST(StationFilesRules, SettingsIntegersAreDecimalWithinThirtyTwoBits) {
  const std::pair<const char*, int> good[] = {
      {"-1", -1}, {"+7", 7}, {"0012", 12}, {"\t-3 ", -3}, {"2147483647", INT_MAX}, {"-2147483648", INT_MIN}};
  for (const auto& [text, value] : good) EXPECT_EQ(ParseSettingsInteger(text), value) << text;

  for (const char* bad :
       {"", " ", "12a", "1 2", "1.5", "+", "+-1", "- 1", "0x10", "$10", "2147483648", "-2147483649"}) {
    try {
      ParseSettingsInteger(bad);
      ADD_FAILURE() << "accepted '" << bad << "'";
    } catch (const EConvertError& e) {
      EXPECT_EQ(e.what(), "'" + std::string(bad) + "' is not a valid integer value");
    }
  }
}

namespace {

// Records what the settings set, in order.
struct Recorder : SettingsTarget {
  Lines calls;
  void SetRecordingPath(const std::string& p) override { calls.push_back("path=" + p); }
  void SetFormatIndex(int i) override { calls.push_back("format=" + std::to_string(i)); }
  void SetDriverIndex(int i) override { calls.push_back("driver=" + std::to_string(i)); }
  void SetHistoryName(int k, const std::string& s) override { calls.push_back("name" + std::to_string(k) + "=" + s); }
  void SetHistoryUrl(int k, const std::string& s) override { calls.push_back("url" + std::to_string(k) + "=" + s); }
  void SetBand(const std::string& b) override { calls.push_back("band=" + b); }
  void SetLeft(int v) override { calls.push_back("left=" + std::to_string(v)); }
  void SetTop(int v) override { calls.push_back("top=" + std::to_string(v)); }
};

Lines SampleLines() {
  SettingsValues v;
  v.recordingPath = "C:\\rec\\show.wav";
  v.formatIndex = 3;
  for (int k = 0; k < kHistorySlots; ++k) v.history[std::size_t(k)] = {"S" + std::to_string(k + 1), "u"};
  v.band = "Others - New";
  v.left = -12;
  v.top = 40;
  return SettingsLines(v);
}

const FileExistsFn kAllExist = [](const std::string&) { return true; };
const FileExistsFn kNoneExist = [](const std::string&) { return false; };

}  // namespace

TEST(StationFilesRules, SettingsWriteTwentyEightLinesThatReadBackInOrder) {
  const Lines lines = SampleLines();
  ASSERT_EQ(lines.size(), 28u);
  Recorder r;
  ReadSettings(SplitLines(JoinLines(lines)), "C:\\prog", kAllExist, r);
  ASSERT_EQ(r.calls.size(), 28u);
  const std::pair<std::size_t, const char*> expected[] = {{0, "path=C:\\rec\\show.wav"},
                                                          {1, "format=3"},
                                                          {2, "driver=-1"},
                                                          {3, "name1=S1"},
                                                          {4, "url1=u"},
                                                          {23, "name11=S11"},
                                                          {25, "band=Others - New"},
                                                          {26, "left=-12"},
                                                          {27, "top=40"}};
  for (const auto& [i, call] : expected) EXPECT_EQ(r.calls[i], call);

  // Empty and missing lines leave their controls alone.
  Lines sparse = lines;
  for (int i = 3; i < 25; ++i) sparse[std::size_t(i)].clear();
  sparse.resize(27);
  Recorder s;
  ApplySettings(sparse, s);
  EXPECT_EQ(s.calls, (Lines{"format=3", "driver=-1", "band=Others - New", "left=-12"}));
}

TEST(StationFilesRules, ABadIntegerStopsTheSettingsAtItsLine) {
  // line (1-based) -> how many values were set before it
  for (const auto& [line, before] : {std::pair{2, 0u}, {3, 1u}, {27, 25u}, {28, 26u}}) {
    Lines lines = SampleLines();
    lines[std::size_t(line - 1)] = "12x";
    Recorder r;
    EXPECT_THROW(ApplySettings(lines, r), EConvertError) << "line " << line;
    EXPECT_EQ(r.calls.size(), before) << "line " << line;
  }
}

TEST(StationFilesRules, TheRecordingPathIsKeptOnlyWhileItsFileExists) {
  const std::set<std::string> files{"C:\\rec\\show.wav", "C:\\[old]\\a.wav"};
  const FileExistsFn exists = [&](const std::string& p) { return files.count(p) > 0; };
  EXPECT_EQ(RecordingPathFromSettings("C:\\rec\\show.wav", "C:\\prog", exists), "C:\\rec\\show.wav");
  EXPECT_EQ(RecordingPathFromSettings("C:\\rec\\gone.wav", "C:\\prog", exists), "C:\\prog\\webfile.wav");
  EXPECT_EQ(RecordingPathFromSettings("", "C:\\prog", exists), "C:\\prog\\webfile.wav");
  EXPECT_EQ(RecordingPathFromSettings("C:\\[old]\\a.wav", "C:\\prog", exists), "C:\\[old]\\a.wav")
      << "brackets in a folder's name are allowed";
  for (const char* refused : {"a<b.wav", "C:\\x\\[1].wav", "C:/rec/a|b.wav", "C:a>b"})
    EXPECT_FALSE(IsValidRecordingFileName(refused)) << refused;

  Recorder missing;
  ReadSettings(std::nullopt, "C:\\prog", kNoneExist, missing);
  EXPECT_EQ(missing.calls, Lines{"path=webfile.wav"}) << "no file: nothing else changes";

  Lines lines = SampleLines();
  lines[0] = "C:\\rec\\a|b.wav";
  Recorder refused;
  try {
    ReadSettings(lines, "C:\\prog", kAllExist, refused);
    ADD_FAILURE() << "a refused name was read";
  } catch (const EInvalidFileName& e) {
    EXPECT_STREQ(e.what(), "Invalid file name - C:\\rec\\a|b.wav");
  }
  EXPECT_TRUE(refused.calls.empty()) << "nothing applied after a refused line 1";
}

TEST(StationFilesRules, TheBandFileHoldsOneNamePerLine) {
  ASSERT_EQ(BuiltInBands().size(), 19u);
  EXPECT_EQ(ParseBandFile(BandFileText(BuiltInBands())).bands, BuiltInBands());
  EXPECT_EQ(ParseBandFile("b\nA\r\n\r\nc").bands, (Lines{"b", "A", "", "c"}));
  // A damaged file: the names that cannot be bands are left out, and named.
  const BandFile damaged = ParseBandFile("Jazz\r\n..\\x\r\nCOM\r\nTalk\r\nRock/Pop\r\n");
  EXPECT_EQ(damaged.bands, (Lines{"Jazz", "Talk"}));
  EXPECT_EQ(damaged.refused, (Lines{"..\\x", "COM", "Rock/Pop"}));
}

// A band names files of groups 1 to 100: each of them must be a plain file of the folder.
TEST(StationFilesRules, ABandNameMustNameAFileWithEveryGroupNumber) {
  const std::string longest(kMaxBandNameLength, 'a'), tooLong = longest + "a";
  for (const std::string good : {"Pop-Rock", "Others - New", "", "Rock..Pop", "COM10", "CONSOLE", "LPTX", "Con Brio",
                                 "\xDC"
                                 "ber",
                                 " Leading", longest.c_str()})
    EXPECT_TRUE(IsValidBandName(good)) << good;
  for (const std::string bad :
       {"..",  ".",         "..\\x",   "Rock/Pop", "a:b",    "a*b",  "what?",        "\"q\"", "<a>",
        "a|b", "tab\there", "del\x7F", "Rock.",    "Rock ",  " ",    "COM",          "lpt",   "CON",
        "nul", "Aux",       "con.x",   "NUL .x",   "CONIN$", "COM1", tooLong.c_str()})
    EXPECT_FALSE(IsValidBandName(bad)) << bad;
  EXPECT_NE(InvalidBandNameMessage("COM").find("\"COM\" cannot be the name of a station band"), std::string::npos);

  // A damaged settings file's band stops the reading at its line, like a bad number.
  Lines lines = SampleLines();
  lines[25] = "Rock/Pop";
  Recorder r;
  EXPECT_THROW(ApplySettings(lines, r), EInvalidBandName);
  EXPECT_EQ(r.calls.size(), 24u) << "lines 2 to 25 applied, the band and the position not";
}
