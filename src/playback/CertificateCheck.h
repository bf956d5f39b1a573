// The certificate of every https server that the player connects to (a station, a
// playlist, an HLS list or segment, a redirect's target) is checked against the system's
// store of trusted authorities and for the server's name, once the connection's
// handshake is done; a connection whose certificate is not valid is ended. Hosts that the
// user chose to trust are not checked.
#pragma once

#include <string>
#include <vector>

namespace playback {

// Makes FFmpeg's TLS connections ask the check; done once, by the first stream reader.
void InstallCertificateCheck();

// The hosts trusted although their certificate is not valid, for the rest of the run.
void SetTrustedHosts(const std::vector<std::string>& hosts);
std::vector<std::string> TrustedHosts();

// A certificate that the check refused on this thread since the last ClearCertificateFault.
struct CertificateFault {
  std::string host;
  unsigned long code = 0;
  bool Refused() const { return !host.empty(); }
};
CertificateFault LastCertificateFault();
void ClearCertificateFault();

}  // namespace playback
