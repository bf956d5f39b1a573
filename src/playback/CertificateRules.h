// The certificates of https stations: what the user is told when one is not valid, and
// the file of the hosts the user chose to trust all the same. Portable.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace playback {

// The start of every message about a certificate that is not valid.
inline constexpr const char* kCertificateFaultText = "The station's certificate is not valid: ";

// The message for a certificate of `host` that the system's checks refused with `code`
// (a CERT_E_* or TRUST_E_* result).
std::string CertificateFaultText(unsigned long code, const std::string& host);

// The fault that a chain's trust errors (CERT_TRUST_IS_* bits) amount to, as a CERT_E_*
// or TRUST_E_* result; 0 when none of them makes the certificate invalid (revocation that
// could not be checked does not). The SSL policy's own check overlooks some of these on
// some systems: a chain that ends short of a trusted authority, for one.
unsigned long ChainTrustFault(unsigned long trustErrors);

// A host name as the trusted list keeps it: trimmed and in lower case; empty when it is
// no host name (blanks, control characters, slashes, an empty text).
std::string TrustedHostName(std::string_view host);

inline constexpr const char* kTrustedHostsFileName = "trustedhosts.ini";
// One host a line; lines that name no host are left out.
std::vector<std::string> ParseTrustedHosts(std::string_view text);
std::string TrustedHostsText(const std::vector<std::string>& hosts);

}  // namespace playback
