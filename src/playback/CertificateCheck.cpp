#include "playback/CertificateCheck.h"

#include <windows.h>

#include <wincrypt.h>

#include <algorithm>

#include "base/Encoding.h"
#include "base/Lock.h"

extern "C" {
#include <libavutil/error.h>
// Set in our build of FFmpeg's schannel TLS (scripts/patches): asked once a handshake is
// done, with the server's certificate context. While it is not set, FFmpeg refuses.
extern int (*ff_schannel_check_peer)(const char* host, const void* certContext);
}

namespace playback {

namespace {

constexpr unsigned long kNoCertificate = 0x800B0100;  // TRUST_E_NOSIGNATURE

base::Mutex trustMutex;
TrustedCertificates trusted;
// The last refusal of each thread, kept without a destructor: the C runtime may free a
// thread's storage before it runs the destructors of what lives there, and the player
// ends a thread with every play. A host name has at most 253 characters.
struct StoredFault {
  char host[256];
  unsigned long code;
  char fingerprint[65];
  bool changed;
};
thread_local StoredFault lastFault;

template <std::size_t N>
void Store(char (&to)[N], const std::string& from) {
  const std::size_t n = std::min(from.size(), N - 1);
  from.copy(to, n);
  to[n] = '\0';
}

// The host as certificates name it. FFmpeg hands over the host as the address spelled
// it: in the ANSI code page for an address of the user's, mostly in UTF-8 for one that a
// server sent (a redirect, an HLS list); bytes that read as UTF-8 are taken so, others as
// ANSI. An international name is then put in its ASCII form (xn--...), the only form a
// certificate names it in. A name that has none is left as it was: no certificate
// matches it.
std::string CertificateHostName(const std::string& host) {
  if (std::all_of(host.begin(), host.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; })) return host;
  const std::wstring wide = base::WideFromUtf8OrAnsi(host);
  wchar_t ascii[256];
  const int n = IdnToAscii(0, wide.c_str(), int(wide.size()), ascii, int(std::size(ascii)));
  return n > 0 ? std::string(ascii, ascii + n) : host;
}

std::string Fingerprint(PCCERT_CONTEXT cert) {
  BYTE digest[32];
  DWORD size = sizeof digest;
  if (!CryptHashCertificate2(L"SHA256", 0, nullptr, cert->pbCertEncoded, cert->cbCertEncoded, digest, &size)) return {};
  return FingerprintText(digest, size);
}

// 0 when the chain leads to a trusted authority, is meant for web servers and names the
// host (in ASCII); else the reason.
unsigned long Verify(const std::string& host, PCCERT_CONTEXT cert) {
  // Without the usage asked for, the chain takes a certificate made for anything (mail,
  // code signing, a client) for a server's.
  char serverAuth[] = szOID_PKIX_KP_SERVER_AUTH;
  LPSTR usages[] = {serverAuth};
  CERT_CHAIN_PARA para{};
  para.cbSize = sizeof para;
  para.RequestedUsage.dwType = USAGE_MATCH_TYPE_AND;
  para.RequestedUsage.Usage.cUsageIdentifier = 1;
  para.RequestedUsage.Usage.rgpszUsageIdentifier = usages;
  PCCERT_CHAIN_CONTEXT chain = nullptr;
  if (!CertGetCertificateChain(nullptr, cert, nullptr, cert->hCertStore, &para, 0, nullptr, &chain))
    return GetLastError() ? GetLastError() : kNoCertificate;
  if (const unsigned long fault = ChainTrustFault(chain->TrustStatus.dwErrorStatus)) {
    CertFreeCertificateChain(chain);
    return fault;
  }
  std::wstring wideHost(host.begin(), host.end());
  HTTPSPolicyCallbackData extra{};
  extra.cbStruct = sizeof extra;
  extra.dwAuthType = AUTHTYPE_SERVER;
  extra.pwszServerName = wideHost.data();
  CERT_CHAIN_POLICY_PARA policy{};
  policy.cbSize = sizeof policy;
  policy.pvExtraPolicyPara = &extra;
  CERT_CHAIN_POLICY_STATUS status{};
  status.cbSize = sizeof status;
  const BOOL checked = CertVerifyCertificateChainPolicy(CERT_CHAIN_POLICY_SSL, chain, &policy, &status);
  CertFreeCertificateChain(chain);
  if (!checked) return GetLastError() ? GetLastError() : kNoCertificate;
  return status.dwError;
}

int CheckPeer(const char* rawHost, const void* certContext) {
  const std::string host = CertificateHostName(rawHost ? rawHost : "");
  const auto cert = static_cast<PCCERT_CONTEXT>(certContext);
  const std::string fingerprint = cert ? Fingerprint(cert) : std::string();
  HostTrust trust;
  {
    std::lock_guard lock(trustMutex);
    trust = TrustFor(trusted, host, fingerprint);
  }
  if (trust == HostTrust::Trusted) return 0;
  const unsigned long code = cert ? Verify(host, cert) : kNoCertificate;
  if (code == 0) return 0;
  Store(lastFault.host, host);
  lastFault.code = code;
  Store(lastFault.fingerprint, fingerprint);
  lastFault.changed = trust == HostTrust::Changed;
  return AVERROR(EACCES);
}

}  // namespace

void InstallCertificateCheck() {
  static std::once_flag once;
  std::call_once(once, [] { ff_schannel_check_peer = &CheckPeer; });
}

void SetTrustedCertificates(const TrustedCertificates& certificates) {
  TrustedCertificates kept;
  for (const auto& [host, fingerprint] : certificates) {
    const std::string name = TrustedHostName(host), print = TrustedFingerprint(fingerprint);
    if (!name.empty() && !print.empty()) kept.emplace(name, print);
  }
  std::lock_guard lock(trustMutex);
  trusted = std::move(kept);
}

TrustedCertificates GetTrustedCertificates() {
  std::lock_guard lock(trustMutex);
  return trusted;
}

CertificateFault LastCertificateFault() {
  return {lastFault.host, lastFault.code, lastFault.fingerprint, lastFault.changed};
}

void ClearCertificateFault() {
  lastFault = {};
}

}  // namespace playback
