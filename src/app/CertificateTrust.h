// The hosts whose https certificate the user chose to trust although it is not valid.
// They are kept in trustedhosts.ini beside the settings. When a station fails for its
// certificate, the user is asked once whether to trust its host; a yes remembers the
// host and plays the station again.
#pragma once

#include <string>

class TMainForm;

namespace app {

class CertificateTrust {
 public:
  explicit CertificateTrust(TMainForm& form) : form_(form) {}

  // Reads the hosts of the program directory's file; raises EInOutError when the file
  // exists and cannot be read.
  void Load(const std::string& programDirectory);
  // Each tick: asks about a station that has just failed for its certificate.
  void Tick();

 private:
  void Ask(const std::string& host, const std::string& fault, const std::string& name, const std::string& url);

  TMainForm& form_;
  std::string path_;
  int faultsSeen_ = 0;  // the monitor's count of failures shown, when last looked at
};

}  // namespace app
