// The certificate of every https server that the player connects to (a station, a
// playlist, an HLS list or segment, a redirect's target) is checked against the system's
// store of trusted authorities, for the server's name and for serving web sites, once the
// connection's handshake is done; a connection whose certificate is not valid is ended,
// unless it is the very certificate that the user chose to trust for that host.
#pragma once

#include <string>

#include "playback/CertificateRules.h"

namespace playback {

// Makes FFmpeg's TLS connections ask the check; done once, by the first stream reader.
// Until then FFmpeg refuses every TLS connection.
void InstallCertificateCheck();

// The certificates trusted although they are not valid, for the rest of the run.
void SetTrustedCertificates(const TrustedCertificates& trusted);
TrustedCertificates GetTrustedCertificates();

// A certificate that the check refused on this thread since the last ClearCertificateFault.
struct CertificateFault {
  std::string host;         // as the certificate was checked for: international names in ASCII
  unsigned long code = 0;   // CERT_E_* or TRUST_E_*
  std::string fingerprint;  // of the certificate refused; empty when the server sent none
  bool changed = false;     // the user had trusted another certificate for the host
  bool Refused() const { return !host.empty(); }
  std::string Text() const { return CertificateFaultText(code, host, changed); }
};
CertificateFault LastCertificateFault();
void ClearCertificateFault();

}  // namespace playback
