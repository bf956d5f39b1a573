// The https certificates that the user chose to trust although they are not valid, one a
// host, kept with their hosts in trustedhosts.ini beside the settings. When a station
// fails for its certificate, the user is asked once whether to trust that certificate
// for its host; a yes remembers it for the host and plays the station again. Another
// certificate of that host later asks again.
#pragma once

#include <string>

#include "playback/CertificateCheck.h"

class TMainForm;

namespace app {

class CertificateTrust {
 public:
  explicit CertificateTrust(TMainForm& form) : form_(form) {}

  // Reads the program directory's file; raises EInOutError when the file exists and
  // cannot be read.
  void Load(const std::string& programDirectory);
  // Each tick: asks about a station that has just failed for its certificate.
  void Tick();

 private:
  void Ask(const playback::CertificateFault& refused, const std::string& fault, const std::string& name,
           const std::string& url);

  TMainForm& form_;
  std::string path_;
  int faultsSeen_ = 0;  // the monitor's count of failures shown, when last looked at
};

}  // namespace app
