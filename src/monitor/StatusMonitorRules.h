// The status monitor: the main window's 100 ms tick that follows the internet
// connection, the station player and the file player on the displays, starts a queued
// file playback and counts down the delayed close after Exit. Portable: the window and
// the players are reached through the interfaces below, so the decisions can be tested
// with fakes.
#pragma once

#include <string>

namespace monitor {

// The play state that means "sound is leaving the device"; every other one is "not
// playing".
constexpr int kPlaying = 3;

// The operations of a media player that the monitor uses.
class MonitoredPlayer {
 public:
  virtual ~MonitoredPlayer() = default;
  virtual int PlayState() = 0;
  virtual double CurrentPosition() = 0;
  virtual void Play() = 0;
  virtual void Stop() = 0;
  virtual void SetUrl(const std::string& url) = 0;
  virtual int BufferingProgress() = 0;
  virtual int BitRate() = 0;
  virtual double Duration() = 0;
  // Why the media asked to play could not be played, or why a live stream ended; empty
  // while there is nothing to tell.
  virtual std::string LastError() = 0;
};

// The three clocks the monitor writes.
enum class MonitorClock { StationPosition, RecordPosition, RecordLength };

struct MonitorTime {
  int hours = 0, minutes = 0, seconds = 0;
  friend bool operator==(const MonitorTime&, const MonitorTime&) = default;
};

// The displays and services of the main window the monitor reads and writes.
class MonitorWindow {
 public:
  virtual ~MonitorWindow() = default;
  virtual MonitoredPlayer& StationPlayer() = 0;
  virtual MonitoredPlayer& FilePlayer() = 0;

  virtual bool IsInternetConnected() = 0;
  // The LED text of the skin, shown while connected.
  virtual std::string SkinLedText() = 0;
  virtual std::string MatrixText() = 0;
  virtual void SetMatrixText(const std::string& text) = 0;

  virtual std::string StationText() = 0;
  virtual void SetStationText(const std::string& text) = 0;
  virtual bool StationVisible() = 0;
  virtual void SetStationVisible(bool on) = 0;
  virtual std::string BufferText() = 0;
  virtual void SetBufferText(const std::string& text) = 0;
  virtual std::string BitRateText() = 0;
  virtual void SetBitRateText(const std::string& text) = 0;

  virtual MonitorTime ClockTime(MonitorClock clock) = 0;
  virtual void SetClockHours(MonitorClock clock, int hours) = 0;
  virtual void SetClockMinutes(MonitorClock clock, int minutes) = 0;
  virtual void SetClockSeconds(MonitorClock clock, int seconds) = 0;

  virtual bool PlayingIconVisible() = 0;
  virtual void SetPlayingIconVisible(bool on) = 0;

  // The recording that PLAY queued for playback.
  virtual std::string RecordingFileName() = 0;
  // PLAY, REC, Options and About are enabled again, in that order.
  virtual void EnableFileButtons() = 0;
  virtual void CloseWindow() = 0;
  // A modal message; further ticks run while it is open.
  virtual void ShowMessage(const std::string& text) = 0;
};

// The flags and counters the monitor shares with the window's handlers.
struct MonitorState {
  bool internetConnected = false;
  bool connecting = false;
  int connectTicks = 0;
  std::string currentStationName;
  // The station player's failure that the displays show, until another station starts
  // or the station is disconnected.
  std::string stationFault;
  // Counts the failures shown, so that a window can tell a new one from the last.
  int stationFaultsShown = 0;
  bool filePlaybackPending = false;
  bool filePlaybackRunning = false;
  bool closing = false;
  int closeTicks = 0;
};

inline constexpr const char* kNoConnectionText = "INTERNET CONNECTION?";
inline constexpr const char* kConnectingText = "Connecting.....";
inline constexpr const char* kTimeoutMessage =
    "Currently no connection to this radio station is possible! Please check your "
    "internet connection and the URL of the station.";
// LabelStation while the station player's failure scrolls on the LED display.
inline constexpr const char* kStationFaultText = "Cannot play";
// The window closes at this tick of the exit countdown.
constexpr int kCloseTicks = 25;
// Ticks of reported play without a whole second of position before giving up.
constexpr int kConnectTimeoutTicks = 300;

// "hh:mm:ss" of a count of seconds, rounded half to even; 24 hours show as "00".
std::string FormatClockTime(double seconds);
// The time of day a clock text shows; hours beyond a day wrap around.
MonitorTime ClockTextTime(const std::string& text);

// Shows `seconds` on a clock, writing only the parts that change.
void ShowClockTime(MonitorWindow& w, MonitorClock clock, double seconds);
void ZeroClock(MonitorWindow& w, MonitorClock clock);

// Hands a station to the station player, unless the name is empty or "none", the URL is
// empty or there is no internet connection.
void PlayStation(MonitorState& s, MonitorWindow& w, const std::string& name, const std::string& url);

// The LED display's text for a failure: the matrix takes "%" as a colour code.
std::string MatrixFaultText(const std::string& fault);

// One tick. An exception from a player ends the tick where it was raised.
void MonitorTick(MonitorState& s, MonitorWindow& w);

}  // namespace monitor
