#include "app/CertificateTrust.h"

#include "base/TextFile.h"
#include "ui/Application.h"
#include "ui/Synchronize.h"

namespace app {

void CertificateTrust::Load(const std::string& programDirectory) {
  path_ = programDirectory + "\\" + playback::kTrustedHostsFileName;
  if (const auto text = base::ReadTextFile(path_)) playback::SetTrustedCertificates(playback::ParseTrustedHosts(*text));
}

void CertificateTrust::Tick() {
  if (monitor_.stationFaultsShown == faultsSeen_) return;
  faultsSeen_ = monitor_.stationFaultsShown;
  const std::string& fault = monitor_.stationFault;
  const playback::CertificateFault refused = player_.untrustedCertificate();
  // A server that sent no certificate has none to trust.
  if (!refused.Refused() || refused.fingerprint.empty()) return;
  // Asked once the tick is over: the ticks go on behind the question.
  ui::Post([this, refused, fault, name = monitor_.currentStationName, url = player_.URL()] {
    Ask(refused, fault, name, url);
  });
}

void CertificateTrust::Ask(const playback::CertificateFault& refused, const std::string& fault, const std::string& name,
                           const std::string& url) {
  const std::string question =
      fault + ".\n\nPlay stations from " + refused.host +
      " with this certificate all the same? Choose Yes only if you are sure that this is the station's own "
      "server: its sound could otherwise come from anyone on the way. Should the host show another certificate "
      "later, you are asked again.";
  if (ui::App().ShowMessageBox(question, MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) != IDYES) return;
  // This certificate, and no other, for the host from now on.
  playback::TrustedCertificates trusted = playback::GetTrustedCertificates();
  trusted[playback::TrustedHostName(refused.host)] = refused.fingerprint;
  playback::SetTrustedCertificates(trusted);
  play_(name, url);
  base::WriteTextFile(path_, playback::TrustedHostsText(trusted));
}

}  // namespace app
