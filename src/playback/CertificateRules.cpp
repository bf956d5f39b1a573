#include "playback/CertificateRules.h"

#include <cctype>
#include <cstdio>

namespace playback {

namespace {

// The results of the system's certificate checks that a user can be told in words.
constexpr unsigned long kExpired = 0x800B0101;        // CERT_E_EXPIRED
constexpr unsigned long kRevoked = 0x800B010C;        // CERT_E_REVOKED
constexpr unsigned long kUntrustedRoot = 0x800B0109;  // CERT_E_UNTRUSTEDROOT
constexpr unsigned long kChaining = 0x800B010A;       // CERT_E_CHAINING
constexpr unsigned long kUntrustedTest = 0x800B010D;  // CERT_E_UNTRUSTEDTESTROOT
constexpr unsigned long kNameMismatch = 0x800B010F;   // CERT_E_CN_NO_MATCH
constexpr unsigned long kWrongUsage = 0x800B0110;     // CERT_E_WRONG_USAGE
constexpr unsigned long kBadSignature = 0x80096004;   // TRUST_E_CERT_SIGNATURE
constexpr unsigned long kNoCertificate = 0x800B0100;  // TRUST_E_NOSIGNATURE

}  // namespace

unsigned long ChainTrustFault(unsigned long trustErrors) {
  struct Fault {
    unsigned long bit, code;
  };
  // In the order of what matters most to say.
  static constexpr Fault kFaults[] = {
      {0x00000004, kRevoked},        // CERT_TRUST_IS_REVOKED
      {0x00000008, kBadSignature},   // CERT_TRUST_IS_NOT_SIGNATURE_VALID
      {0x00000020, kUntrustedRoot},  // CERT_TRUST_IS_UNTRUSTED_ROOT
      {0x00010000, kChaining},       // CERT_TRUST_IS_PARTIAL_CHAIN
      {0x00000080, kChaining},       // CERT_TRUST_IS_CYCLIC
      {0x00000001, kExpired},        // CERT_TRUST_IS_NOT_TIME_VALID
      {0x00000010, kWrongUsage},     // CERT_TRUST_IS_NOT_VALID_FOR_USAGE
  };
  for (const Fault& f : kFaults)
    if (trustErrors & f.bit) return f.code;
  return 0;
}

std::string CertificateFaultText(unsigned long code, const std::string& host, bool changed) {
  std::string why;
  switch (code) {
    case kExpired:
      why = "it has expired, or is not valid yet";
      break;
    case kRevoked:
      why = "it was revoked";
      break;
    case kUntrustedRoot:
    case kChaining:
    case kUntrustedTest:
    case kBadSignature:
      why = "it was not issued by an authority that this computer trusts";
      break;
    case kNameMismatch:
      why = "it was issued for another name";
      break;
    case kWrongUsage:
      why = "it is not meant for a web server";
      break;
    case kNoCertificate:
      why = "the server sent none";
      break;
    default: {
      char text[48];
      std::snprintf(text, sizeof text, "the check failed with error 0x%08lX", code & 0xFFFFFFFFul);
      why = text;
    }
  }
  return kCertificateFaultText + why + " (" + host + ")" +
         (changed ? "; it has changed since this host was trusted" : "");
}

std::string TrustedHostName(std::string_view host) {
  constexpr std::size_t kMaxHostName = 253;
  while (!host.empty() && std::isspace(static_cast<unsigned char>(host.front()))) host.remove_prefix(1);
  while (!host.empty() && std::isspace(static_cast<unsigned char>(host.back()))) host.remove_suffix(1);
  if (host.size() > kMaxHostName) return {};
  std::string name;
  for (const char ch : host) {
    const unsigned char c = static_cast<unsigned char>(ch);
    if (c <= 0x20 || c == 0x7F || c == '/' || c == '\\' || c == '@') return {};
    name += char(std::tolower(c));
  }
  return name;
}

std::string FingerprintText(const unsigned char* digest, std::size_t size) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string text;
  for (std::size_t i = 0; i < size; ++i) {
    text += kHex[digest[i] >> 4];
    text += kHex[digest[i] & 15];
  }
  return text;
}

std::string TrustedFingerprint(std::string_view text) {
  constexpr std::size_t kSha256Digits = 64;
  if (text.size() != kSha256Digits) return {};
  std::string upper;
  for (const char c : text) {
    if (!std::isxdigit(static_cast<unsigned char>(c))) return {};
    upper += char(std::toupper(static_cast<unsigned char>(c)));
  }
  return upper;
}

HostTrust TrustFor(const TrustedCertificates& trusted, std::string_view host, std::string_view fingerprint) {
  const auto it = trusted.find(TrustedHostName(host));
  if (it == trusted.end()) return HostTrust::None;
  return !fingerprint.empty() && it->second == fingerprint ? HostTrust::Trusted : HostTrust::Changed;
}

TrustedCertificates ParseTrustedHosts(std::string_view text) {
  TrustedCertificates trusted;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    start = end + 1;
    while (!line.empty() && std::isspace(static_cast<unsigned char>(line.back()))) line.remove_suffix(1);
    const std::size_t blank = line.find_last_of(" \t");
    if (blank == std::string_view::npos) continue;  // a host alone
    const std::string host = TrustedHostName(line.substr(0, blank));
    const std::string fingerprint = TrustedFingerprint(line.substr(blank + 1));
    if (!host.empty() && !fingerprint.empty()) trusted.try_emplace(host, fingerprint);
  }
  return trusted;
}

std::string TrustedHostsText(const TrustedCertificates& trusted) {
  std::string text;
  for (const auto& [host, fingerprint] : trusted) text += host + " " + fingerprint + "\r\n";
  return text;
}

}  // namespace playback
