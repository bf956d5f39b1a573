#include "monitor/StatusMonitorRules.h"

#include <cmath>
#include <cstdio>

namespace monitor {

namespace {

void AppendTwoDigits(std::string& out, unsigned long long value) {
  if (value < 10) out += '0';
  out += std::to_string(value);
}

bool Playing(MonitoredPlayer& p) {
  return p.PlayState() == kPlaying;
}

void SetStation(MonitorWindow& w, const std::string& text) {
  if (w.StationText() != text) w.SetStationText(text);
}

void SetBuffer(MonitorWindow& w, const std::string& text) {
  if (w.BufferText() != text) w.SetBufferText(text);
}

void SetBitRate(MonitorWindow& w, const std::string& text) {
  if (w.BitRateText() != text) w.SetBitRateText(text);
}

void SetMatrix(MonitorWindow& w, const std::string& text) {
  if (w.MatrixText() != text) w.SetMatrixText(text);
}

void ShowStation(MonitorWindow& w) {
  if (!w.StationVisible()) w.SetStationVisible(true);
}

void ToggleIcon(MonitorWindow& w) {
  w.SetPlayingIconVisible(!w.PlayingIconVisible());
}

void FollowStationPlayer(MonitorState& s, MonitorWindow& w) {
  MonitoredPlayer& station = w.StationPlayer();
  ShowClockTime(w, MonitorClock::StationPosition, station.CurrentPosition());
  // The connection counts as made once the clock shows a seconds value other than 0.
  if (w.ClockTime(MonitorClock::StationPosition).seconds != 0) {
    ShowStation(w);
    SetStation(w, s.currentStationName);
    s.connecting = false;
  }
  SetBuffer(w, std::to_string(station.BufferingProgress()) + "%");
  SetBitRate(w, std::to_string(station.BitRate()));
  if (!s.connecting) return;
  if (++s.connectTicks <= kConnectTimeoutTicks) return;
  // Cleared before the message opens: the ticks that run behind it must not repeat it.
  s.connecting = false;
  ShowStation(w);
  station.Stop();
  w.ShowMessage(kTimeoutMessage);
}

// A station that fails (refused, no answer, no sound, a stream that breaks off) says
// why: the label stops blinking "Connecting....." and the LED display scrolls the reason.
void FollowStationFault(MonitorState& s, MonitorWindow& w) {
  const std::string fault = w.StationPlayer().LastError();
  if (fault.empty() || fault == s.stationFault) return;
  s.stationFault = fault;
  ++s.stationFaultsShown;
  s.connecting = false;
  ShowStation(w);
  SetStation(w, kStationFaultText);
  if (s.internetConnected) SetMatrix(w, MatrixFaultText(fault));
}

void FollowFilePlayer(MonitorState& s, MonitorWindow& w) {
  MonitoredPlayer& file = w.FilePlayer();
  if (Playing(file)) {
    s.filePlaybackRunning = true;
    ToggleIcon(w);
    ShowClockTime(w, MonitorClock::RecordPosition, file.CurrentPosition());
    ShowClockTime(w, MonitorClock::RecordLength, file.Duration());
  } else {
    ZeroClock(w, MonitorClock::RecordPosition);
    ZeroClock(w, MonitorClock::RecordLength);
  }
  if (s.filePlaybackRunning && !Playing(file)) {
    s.filePlaybackRunning = false;
    w.EnableFileButtons();
    file.Stop();
    file.SetUrl("");
  }
}

}  // namespace

std::string FormatClockTime(double seconds) {
  unsigned long long s = 0;
  if (seconds > 0) {
    // nearbyint rounds halves to even in the default rounding mode.
    const double rounded = std::nearbyint(seconds);
    s = rounded >= 4294967295.0 ? 4294967295ULL : static_cast<unsigned long long>(rounded);
  }
  const unsigned long long h = s / 3600;
  const unsigned long long m = (s - 3600 * h) / 60;
  const unsigned long long r = s - 3600 * h - 60 * m;
  std::string text;
  if (h == 24) {
    text = "00";
  } else {
    AppendTwoDigits(text, h);
  }
  text += ':';
  AppendTwoDigits(text, m);
  text += ':';
  AppendTwoDigits(text, r);
  return text;
}

MonitorTime ClockTextTime(const std::string& text) {
  unsigned long long h = 0;
  int m = 0, s = 0;
  if (std::sscanf(text.c_str(), "%llu:%d:%d", &h, &m, &s) != 3) return {};
  return {static_cast<int>(h % 24), m, s};
}

void ShowClockTime(MonitorWindow& w, MonitorClock clock, double seconds) {
  const MonitorTime shown = w.ClockTime(clock);
  const MonitorTime wanted = ClockTextTime(FormatClockTime(seconds));
  if (shown.hours != wanted.hours) w.SetClockHours(clock, wanted.hours);
  if (shown.minutes != wanted.minutes) w.SetClockMinutes(clock, wanted.minutes);
  if (shown.seconds != wanted.seconds) w.SetClockSeconds(clock, wanted.seconds);
}

void ZeroClock(MonitorWindow& w, MonitorClock clock) {
  ShowClockTime(w, clock, 0);
}

std::string MatrixFaultText(const std::string& fault) {
  std::string text;
  for (const char c : fault) text += c == '%' ? std::string("%%") : std::string(1, c);
  return text;
}

void PlayStation(MonitorState& s, MonitorWindow& w, const std::string& name, const std::string& url) {
  if (name == "none" || name.empty() || url.empty() || !s.internetConnected) return;
  MonitoredPlayer& station = w.StationPlayer();
  station.Stop();
  ZeroClock(w, MonitorClock::StationPosition);
  s.currentStationName = name;
  s.stationFault.clear();
  s.connecting = true;
  s.connectTicks = 0;
  station.SetUrl(url);
  station.Play();
}

void MonitorTick(MonitorState& s, MonitorWindow& w) {
  MonitoredPlayer& station = w.StationPlayer();
  if (s.closing) {
    if (++s.closeTicks >= kCloseTicks) w.CloseWindow();
  } else {
    s.internetConnected = w.IsInternetConnected();
    SetMatrix(w, !s.internetConnected     ? kNoConnectionText
                 : s.stationFault.empty() ? w.SkinLedText()
                                          : MatrixFaultText(s.stationFault));
    if (s.connecting) {
      SetStation(w, kConnectingText);
      w.SetStationVisible(!w.StationVisible());
    }
    if (!Playing(station) && !Playing(w.FilePlayer())) {
      ZeroClock(w, MonitorClock::StationPosition);
      SetBuffer(w, "0%");
      SetBitRate(w, "0");
    }
    if (s.filePlaybackPending && !Playing(station)) {
      s.filePlaybackPending = false;
      MonitoredPlayer& file = w.FilePlayer();
      file.SetUrl(w.RecordingFileName());
      file.Play();
    }
    if (Playing(station)) {
      // A fault the player got over while it plays on (a sound device that came back)
      // leaves the displays to the station again.
      if (!s.stationFault.empty() && station.LastError().empty()) s.stationFault.clear();
      FollowStationPlayer(s, w);
    } else
      FollowStationFault(s, w);
  }
  if (station.CurrentPosition() > 1.0 && Playing(station)) ToggleIcon(w);
  FollowFilePlayer(s, w);
}

}  // namespace monitor
