// The certificates of https stations: what the user is told when one is not valid, and
// the file of the certificates that the user chose to trust for their hosts all the
// same. Portable.
#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <string_view>

namespace playback {

// The start of every message about a certificate that is not valid.
inline constexpr const char* kCertificateFaultText = "The station's certificate is not valid: ";

// The message for a certificate of `host` that the system's checks refused with `code`
// (a CERT_E_* or TRUST_E_* result); `changed` when the user had trusted another
// certificate for that host.
std::string CertificateFaultText(unsigned long code, const std::string& host, bool changed = false);

// The fault that a chain's trust errors (CERT_TRUST_IS_* bits) amount to, as a CERT_E_*
// or TRUST_E_* result; 0 when none of them makes the certificate invalid (revocation that
// could not be checked does not). The SSL policy's own check overlooks some of these on
// some systems: a chain that ends short of a trusted authority, for one.
unsigned long ChainTrustFault(unsigned long trustErrors);

// A host name as the trusted list keeps it: trimmed and in lower case; empty when it is
// no host name (blanks, control characters, slashes, an empty text, more than a host
// name's 253 characters).
std::string TrustedHostName(std::string_view host);

// A certificate's SHA-256 fingerprint as the trusted list keeps it: 64 hex digits in
// upper case.
std::string FingerprintText(const unsigned char* digest, std::size_t size);
// A fingerprint read from outside in that form, either case; empty when it is none.
std::string TrustedFingerprint(std::string_view text);

// The one certificate that the user chose to trust for each host although it is not
// valid, as browsers keep their exceptions: host name -> fingerprint.
using TrustedCertificates = std::map<std::string, std::string>;

enum class HostTrust {
  None,     // nothing is trusted for the host
  Trusted,  // the certificate is the one trusted for it
  Changed,  // another certificate was trusted for it: this one asks again
};
HostTrust TrustFor(const TrustedCertificates& trusted, std::string_view host, std::string_view fingerprint);

inline constexpr const char* kTrustedHostsFileName = "trustedhosts.ini";
// One host and the fingerprint of its certificate a line, with a blank between. Lines
// without a valid host and fingerprint are left out (a file of older versions, which
// named hosts only, trusts nothing: those hosts are asked again); of a host named twice
// the first line counts.
TrustedCertificates ParseTrustedHosts(std::string_view text);
std::string TrustedHostsText(const TrustedCertificates& trusted);

}  // namespace playback
