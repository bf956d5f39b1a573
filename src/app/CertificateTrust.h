// The https certificates that the user chose to trust although they are not valid, one a
// host, kept with their hosts in trustedhosts.ini beside the settings. When a station
// fails for its certificate, the user is asked once whether to trust that certificate
// for its host; a yes remembers it for the host and plays the station again. Another
// certificate of that host later asks again.
#pragma once

#include <functional>
#include <string>

#include "monitor/StatusMonitorRules.h"
#include "playback/CertificateCheck.h"
#include "playback/WindowsMediaPlayer.h"

namespace app {

class CertificateTrust {
 public:
  using PlayStation = std::function<void(const std::string& name, const std::string& url)>;
  // The monitor tells of the station's failures, the player of the certificate refused,
  // and play starts the station again once its certificate is trusted.
  CertificateTrust(const monitor::MonitorState& monitor, TWindowsMediaPlayer& player, PlayStation play)
      : monitor_(monitor), player_(player), play_(std::move(play)) {}

  // Reads the program directory's file; raises EInOutError when the file exists and
  // cannot be read.
  void Load(const std::string& programDirectory);
  // Each tick: asks about a station that has just failed for its certificate.
  void Tick();

 private:
  void Ask(const playback::CertificateFault& refused, const std::string& fault, const std::string& name,
           const std::string& url);

  const monitor::MonitorState& monitor_;
  TWindowsMediaPlayer& player_;
  PlayStation play_;
  std::string path_;
  int faultsSeen_ = 0;  // the monitor's count of failures shown, when last looked at
};

}  // namespace app
