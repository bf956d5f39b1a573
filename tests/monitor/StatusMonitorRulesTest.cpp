// The status monitor's decisions, with a fake window and fake players.
#include <gtest/gtest.h>

#include <map>
#include <stdexcept>
#include <vector>

#include "monitor/StatusMonitorRules.h"

using namespace monitor;

namespace {

struct FakePlayer : MonitoredPlayer {
  int state = 1;
  double position = 0, duration = 0;
  int progress = 0, bitRate = 0;
  std::string url;
  std::vector<std::string> calls;
  bool failState = false;

  int PlayState() override {
    if (failState) throw std::runtime_error("player gone");
    return state;
  }
  double CurrentPosition() override { return position; }
  void Play() override { calls.push_back("play " + url); }
  void Stop() override { calls.push_back("stop"); }
  void SetUrl(const std::string& u) override {
    url = u;
    calls.push_back("url " + u);
  }
  int BufferingProgress() override { return progress; }
  int BitRate() override { return bitRate; }
  double Duration() override { return duration; }
  std::string error;
  std::string LastError() override { return error; }
};

struct FakeWindow : MonitorWindow {
  FakePlayer station, file;
  bool connected = true;
  int connectionProbes = 0;
  std::string matrix = kNoConnectionText, stationText = "none", buffer = "0%", bitRate = "0";
  bool stationVisible = true, icon = false;
  std::map<MonitorClock, MonitorTime> clocks;
  std::map<std::string, int> writes;
  std::vector<std::string> messages;
  int closeRequests = 0, buttonsEnabled = 0;

  MonitoredPlayer& StationPlayer() override { return station; }
  MonitoredPlayer& FilePlayer() override { return file; }
  bool IsInternetConnected() override {
    ++connectionProbes;
    return connected;
  }
  std::string SkinLedText() override { return "OVEXIA TUNORA ONLINE!"; }
  std::string MatrixText() override { return matrix; }
  void SetMatrixText(const std::string& t) override { Write("matrix", matrix, t); }
  std::string StationText() override { return stationText; }
  void SetStationText(const std::string& t) override { Write("station", stationText, t); }
  bool StationVisible() override { return stationVisible; }
  void SetStationVisible(bool on) override { stationVisible = on; }
  std::string BufferText() override { return buffer; }
  void SetBufferText(const std::string& t) override { Write("buffer", buffer, t); }
  std::string BitRateText() override { return bitRate; }
  void SetBitRateText(const std::string& t) override { Write("bitrate", bitRate, t); }
  MonitorTime ClockTime(MonitorClock c) override { return clocks[c]; }
  void SetClockHours(MonitorClock c, int v) override { Part("hours", clocks[c].hours, v); }
  void SetClockMinutes(MonitorClock c, int v) override { Part("minutes", clocks[c].minutes, v); }
  void SetClockSeconds(MonitorClock c, int v) override { Part("seconds", clocks[c].seconds, v); }
  bool PlayingIconVisible() override { return icon; }
  void SetPlayingIconVisible(bool on) override { icon = on; }
  std::string RecordingFileName() override { return "C:\\rec\\webfile.wav"; }
  void EnableFileButtons() override { ++buttonsEnabled; }
  void CloseWindow() override { ++closeRequests; }
  void ShowMessage(const std::string& text) override { messages.push_back(text); }

  void Write(const char* what, std::string& field, const std::string& value) {
    ++writes[what];
    field = value;
  }
  void Part(const char* what, int& field, int value) {
    ++writes[what];
    field = value;
  }
};

TEST(StatusMonitorRules, ClockTimeRoundsHalvesToEvenAndWrapsADay) {
  struct Case {
    double seconds;
    const char* text;
  } cases[] = {
      {0, "00:00:00"},       {-5, "00:00:00"},           {0.5, "00:00:00"},   {1.5, "00:00:02"},
      {2.5, "00:00:02"},     {59.5, "00:01:00"},         {3725, "01:02:05"},  {86400, "00:00:00"},
      {90000, "25:00:00"},   {360000 + 61, "100:01:01"}, {1e300, "1193046:28:15"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.seconds);
    EXPECT_EQ(FormatClockTime(c.seconds), c.text);
  }
  EXPECT_EQ(ClockTextTime("25:00:07"), (MonitorTime{1, 0, 7}));
  EXPECT_EQ(ClockTextTime("01:02:05"), (MonitorTime{1, 2, 5}));
}

TEST(StatusMonitorRules, PlayStationRefusesEmptyPresetsAndTheOfflineState) {
  FakeWindow w;
  MonitorState s;
  s.internetConnected = true;
  PlayStation(s, w, "none", "http://a/");
  PlayStation(s, w, "", "http://a/");
  PlayStation(s, w, "Jazz", "");
  s.internetConnected = false;
  PlayStation(s, w, "Jazz", "http://a/");
  EXPECT_TRUE(w.station.calls.empty());
  EXPECT_FALSE(s.connecting);

  s.internetConnected = true;
  w.clocks[MonitorClock::StationPosition] = {0, 3, 9};
  PlayStation(s, w, "None", "http://a/");  // only the exact "none" is empty
  EXPECT_EQ(w.station.calls, (std::vector<std::string>{"stop", "url http://a/", "play http://a/"}));
  EXPECT_EQ(w.clocks[MonitorClock::StationPosition], MonitorTime{});
  EXPECT_TRUE(s.connecting);
  EXPECT_EQ(s.currentStationName, "None");
}

TEST(StatusMonitorRules, ConnectingBlinksUntilTheClockShowsAWholeSecond) {
  FakeWindow w;
  MonitorState s;
  MonitorTick(s, w);
  EXPECT_EQ(w.matrix, "OVEXIA TUNORA ONLINE!");
  PlayStation(s, w, "Tone", "http://127.0.0.1/tone.mp3");

  std::vector<bool> visibility;
  for (int i = 0; i < 4; ++i) {
    MonitorTick(s, w);
    visibility.push_back(w.stationVisible);
    EXPECT_EQ(w.stationText, kConnectingText);
  }
  EXPECT_EQ(visibility, (std::vector<bool>{false, true, false, true}));

  w.station.state = kPlaying;
  w.station.position = 0.4;
  w.station.progress = 100;
  w.station.bitRate = 128000;
  MonitorTick(s, w);
  EXPECT_TRUE(s.connecting);
  EXPECT_EQ(w.buffer, "100%");
  EXPECT_EQ(w.bitRate, "128000");

  w.station.position = 1.2;
  MonitorTick(s, w);
  EXPECT_FALSE(s.connecting);
  EXPECT_TRUE(w.stationVisible);
  EXPECT_EQ(w.stationText, "Tone");

  // Nothing changes any more: no display is written again.
  const auto before = w.writes;
  MonitorTick(s, w);
  MonitorTick(s, w);
  EXPECT_EQ(w.writes, before);
  EXPECT_EQ(w.connectionProbes, 9);
}

TEST(StatusMonitorRules, TimeOutOnlyCountsTicksThatReportPlaying) {
  FakeWindow w;
  MonitorState s;
  s.internetConnected = true;
  PlayStation(s, w, "Slow", "http://slow/");
  for (int i = 0; i < 1000; ++i) MonitorTick(s, w);  // never playing: blinks, no time-out
  EXPECT_TRUE(s.connecting);
  EXPECT_TRUE(w.messages.empty());

  w.station.state = kPlaying;
  w.station.position = 0.3;
  for (int i = 0; i < kConnectTimeoutTicks; ++i) MonitorTick(s, w);
  EXPECT_TRUE(s.connecting);
  w.station.calls.clear();
  MonitorTick(s, w);
  EXPECT_FALSE(s.connecting);
  EXPECT_EQ(w.messages, (std::vector<std::string>{kTimeoutMessage}));
  EXPECT_EQ(w.station.calls, (std::vector<std::string>{"stop"}));
  EXPECT_TRUE(w.stationVisible);
  EXPECT_EQ(w.stationText, kConnectingText);
  for (int i = 0; i < 50; ++i) MonitorTick(s, w);
  EXPECT_EQ(w.messages.size(), 1u);
}

TEST(StatusMonitorRules, TheIconBlinksAfterOneSecondAndBothPlayersCancelOut) {
  FakeWindow w;
  MonitorState s;
  w.station.state = kPlaying;
  w.station.position = 1.0;
  MonitorTick(s, w);
  EXPECT_FALSE(w.icon);
  w.station.position = 1.01;
  MonitorTick(s, w);
  EXPECT_TRUE(w.icon);
  MonitorTick(s, w);
  EXPECT_FALSE(w.icon);

  w.file.state = kPlaying;
  MonitorTick(s, w);
  MonitorTick(s, w);
  EXPECT_FALSE(w.icon);
}

TEST(StatusMonitorRules, AQueuedRecordingPlaysAfterTheStationStopsAndEndsCleanly) {
  FakeWindow w;
  MonitorState s;
  w.station.state = kPlaying;
  s.filePlaybackPending = true;
  MonitorTick(s, w);
  EXPECT_TRUE(w.file.calls.empty());

  w.station.state = 1;
  MonitorTick(s, w);
  EXPECT_FALSE(s.filePlaybackPending);
  EXPECT_EQ(w.file.calls, (std::vector<std::string>{"url C:\\rec\\webfile.wav", "play C:\\rec\\webfile.wav"}));

  w.file.state = kPlaying;
  w.file.position = 61;
  w.file.duration = 3725;
  MonitorTick(s, w);
  EXPECT_TRUE(s.filePlaybackRunning);
  EXPECT_EQ(w.clocks[MonitorClock::RecordPosition], (MonitorTime{0, 1, 1}));
  EXPECT_EQ(w.clocks[MonitorClock::RecordLength], (MonitorTime{1, 2, 5}));
  EXPECT_EQ(w.buttonsEnabled, 0);

  w.file.state = 8;
  w.file.calls.clear();
  MonitorTick(s, w);
  EXPECT_FALSE(s.filePlaybackRunning);
  EXPECT_EQ(w.buttonsEnabled, 1);
  EXPECT_EQ(w.file.calls, (std::vector<std::string>{"stop", "url "}));
  EXPECT_EQ(w.clocks[MonitorClock::RecordLength], MonitorTime{});
}

TEST(StatusMonitorRules, TheExitCountdownSkipsTheDisplaysAndClosesOnTheTwentyFifthTick) {
  FakeWindow w;
  MonitorState s;
  s.closing = true;
  w.station.state = kPlaying;
  w.station.position = 5;
  MonitorTick(s, w);
  EXPECT_TRUE(w.icon);  // the icon still blinks
  for (int i = 2; i < kCloseTicks; ++i) MonitorTick(s, w);
  EXPECT_EQ(w.closeRequests, 0);
  EXPECT_EQ(w.connectionProbes, 0);
  MonitorTick(s, w);
  EXPECT_EQ(w.closeRequests, 1);
  MonitorTick(s, w);
  EXPECT_EQ(w.closeRequests, 2);
}

TEST(StatusMonitorRules, AFailingPlayerEndsTheTickWhereItFailed) {
  FakeWindow w;
  MonitorState s;
  w.connected = false;
  w.station.failState = true;
  EXPECT_THROW(MonitorTick(s, w), std::runtime_error);
  EXPECT_EQ(w.matrix, kNoConnectionText);
  EXPECT_FALSE(s.internetConnected);
  w.station.failState = false;
  w.connected = true;
  MonitorTick(s, w);
  EXPECT_TRUE(s.internetConnected);
}

// A station that fails says why: the label stops blinking and the LED display scrolls the
// reason until another station starts; a failure after playing replaces the name too.
TEST(StatusMonitorRules, AFailingStationShowsWhyUntilAnotherStarts) {
  FakeWindow w;
  MonitorState s;
  MonitorTick(s, w);
  PlayStation(s, w, "Jazz", "http://a/");
  w.station.state = 9;
  MonitorTick(s, w);
  EXPECT_EQ(w.stationText, kConnectingText);
  w.station.state = 1;
  w.station.error = "The station refuses the connection (100% sure)";
  MonitorTick(s, w);
  EXPECT_FALSE(s.connecting);
  EXPECT_EQ(w.stationText, kStationFaultText);
  EXPECT_TRUE(w.stationVisible);
  EXPECT_EQ(w.matrix, "The station refuses the connection (100%% sure)") << "a percent sign is no colour code";
  const int matrixWrites = w.writes["matrix"];
  for (int i = 0; i < 5; ++i) MonitorTick(s, w);
  EXPECT_EQ(w.writes["matrix"], matrixWrites) << "the reason keeps scrolling undisturbed";
  EXPECT_TRUE(w.stationVisible) << "no blinking";

  // Offline, the connection's state comes first; online again, the reason returns.
  w.connected = false;
  MonitorTick(s, w);
  EXPECT_EQ(w.matrix, kNoConnectionText);
  w.connected = true;
  MonitorTick(s, w);
  EXPECT_EQ(w.matrix, "The station refuses the connection (100%% sure)");

  // Another station: connecting again, the skin's text back; the player's new attempt
  // has no failure yet.
  w.station.error.clear();
  PlayStation(s, w, "Blues", "http://b/");
  MonitorTick(s, w);
  EXPECT_TRUE(s.connecting);
  EXPECT_EQ(w.stationText, kConnectingText);
  EXPECT_EQ(w.matrix, "OVEXIA TUNORA ONLINE!");

  // It plays, then the stream breaks off.
  w.station.state = kPlaying;
  w.station.position = 2;
  MonitorTick(s, w);
  EXPECT_EQ(w.stationText, "Blues");
  w.station.state = 1;
  w.station.error = "The station stopped sending";
  MonitorTick(s, w);
  EXPECT_EQ(w.stationText, kStationFaultText);
  EXPECT_EQ(w.matrix, "The station stopped sending");
  // The same failure again, at the next try of the same station, is shown again.
  PlayStation(s, w, "Blues", "http://b/");
  MonitorTick(s, w);
  EXPECT_EQ(w.stationText, kStationFaultText);
  EXPECT_FALSE(s.connecting);

  // No sound device while it connects; the device comes back and it plays.
  w.station.state = 6;
  w.station.error = "No sound device";
  MonitorTick(s, w);
  EXPECT_EQ(w.matrix, "No sound device");
  w.station.state = kPlaying;
  w.station.error.clear();
  MonitorTick(s, w);
  MonitorTick(s, w);
  EXPECT_EQ(w.stationText, "Blues");
  EXPECT_EQ(w.matrix, "OVEXIA TUNORA ONLINE!");
}

}  // namespace
