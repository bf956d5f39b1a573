#include "app/CertificateTrust.h"

#include <algorithm>

#include "app/MainForm.h"
#include "playback/CertificateCheck.h"
#include "playback/CertificateRules.h"
#include "base/TextFile.h"
#include "ui/Application.h"
#include "ui/Synchronize.h"

namespace app {

void CertificateTrust::Load(const std::string& programDirectory) {
  path_ = programDirectory + "\\" + playback::kTrustedHostsFileName;
  if (const auto text = base::ReadTextFile(path_)) playback::SetTrustedHosts(playback::ParseTrustedHosts(*text));
}

void CertificateTrust::Tick() {
  const playback::MonitorState& monitor = form_.Monitor();
  if (monitor.stationFaultsShown == faultsSeen_) return;
  faultsSeen_ = monitor.stationFaultsShown;
  const std::string& fault = monitor.stationFault;
  const std::string host = form_.WindowsMediaPlayer.untrustedHost();
  if (host.empty()) return;
  // Asked once the tick is over: the ticks go on behind the question.
  ui::Post([this, host, fault, name = monitor.currentStationName, url = form_.WindowsMediaPlayer.URL()] {
    Ask(host, fault, name, url);
  });
}

void CertificateTrust::Ask(const std::string& host, const std::string& fault, const std::string& name,
                           const std::string& url) {
  const std::string question =
      fault + ".\n\nPlay stations from " + host +
      " all the same? Choose Yes only if you are sure that this is the station's own server: its sound could "
      "otherwise come from anyone on the way.";
  if (ui::App().ShowMessageBox(question, MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) != IDYES) return;
  std::vector<std::string> hosts = playback::TrustedHosts();
  const std::string trusted = playback::TrustedHostName(host);
  if (std::find(hosts.begin(), hosts.end(), trusted) == hosts.end()) hosts.push_back(trusted);
  playback::SetTrustedHosts(hosts);
  form_.PlayStation(name, url);
  base::WriteTextFile(path_, playback::TrustedHostsText(hosts));
}

}  // namespace app
