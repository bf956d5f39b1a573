// A media player seen through the operations the status monitor uses.
#pragma once

#include "monitor/StatusMonitorRules.h"
#include "playback/WindowsMediaPlayer.h"

namespace monitor {

class MonitoredMediaPlayer : public MonitoredPlayer {
 public:
  explicit MonitoredMediaPlayer(TWindowsMediaPlayer& player) : p_(player) {}
  int PlayState() override { return p_.playState(); }
  double CurrentPosition() override { return p_.controls().currentPosition(); }
  void Play() override { p_.controls().play(); }
  void Stop() override { p_.controls().stop(); }
  void SetUrl(const std::string& url) override { p_.SetURL(url); }
  int BufferingProgress() override { return p_.network().bufferingProgress(); }
  int BitRate() override { return p_.network().bitRate(); }
  double Duration() override { return p_.currentMedia().duration(); }
  std::string LastError() override { return p_.lastError(); }

 private:
  TWindowsMediaPlayer& p_;
};

}  // namespace monitor
