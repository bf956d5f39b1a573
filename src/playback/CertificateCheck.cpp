#include "playback/CertificateCheck.h"

#include <windows.h>

#include <wincrypt.h>

#include <algorithm>
#include <mutex>

#include "playback/CertificateRules.h"

extern "C" {
#include <libavutil/error.h>
// Set in our build of FFmpeg's schannel TLS (scripts/patches): asked once a handshake is
// done, with the server's certificate context.
extern int (*ff_schannel_check_peer)(const char* host, const void* certContext);
}

namespace playback {

namespace {

std::mutex trustMutex;
std::vector<std::string> trustedHosts;
// The last refusal of each thread, kept without a destructor: the C runtime may free a
// thread's storage before it runs the destructors of what lives there, and the player
// ends a thread with every play. A host name has at most 253 characters.
struct StoredFault {
  char host[256];
  unsigned long code;
};
thread_local StoredFault lastFault;

bool Trusted(const std::string& host) {
  std::lock_guard lock(trustMutex);
  return std::find(trustedHosts.begin(), trustedHosts.end(), TrustedHostName(host)) != trustedHosts.end();
}

// 0 when the chain leads to a trusted authority and names the host; else the reason.
unsigned long Verify(const std::string& host, PCCERT_CONTEXT cert) {
  constexpr unsigned long kNoCertificate = 0x800B0100;  // TRUST_E_NOSIGNATURE
  if (!cert) return kNoCertificate;
  CERT_CHAIN_PARA para{};
  para.cbSize = sizeof para;
  PCCERT_CHAIN_CONTEXT chain = nullptr;
  if (!CertGetCertificateChain(nullptr, cert, nullptr, cert->hCertStore, &para, 0, nullptr, &chain))
    return GetLastError() ? GetLastError() : kNoCertificate;
  if (const unsigned long fault = ChainTrustFault(chain->TrustStatus.dwErrorStatus)) {
    CertFreeCertificateChain(chain);
    return fault;
  }
  std::wstring wideHost(host.size() + 1, L'\0');
  wideHost.resize(std::size_t(
      std::max(0, MultiByteToWideChar(CP_UTF8, 0, host.c_str(), -1, wideHost.data(), int(wideHost.size())) - 1)));
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

int CheckPeer(const char* host, const void* certContext) {
  const std::string name = host ? host : "";
  if (Trusted(name)) return 0;
  const unsigned long code = Verify(name, static_cast<PCCERT_CONTEXT>(certContext));
  if (code == 0) return 0;
  const std::size_t n = std::min(name.size(), sizeof lastFault.host - 1);
  name.copy(lastFault.host, n);
  lastFault.host[n] = '\0';
  lastFault.code = code;
  return AVERROR(EACCES);
}

}  // namespace

void InstallCertificateCheck() {
  static std::once_flag once;
  std::call_once(once, [] { ff_schannel_check_peer = &CheckPeer; });
}

void SetTrustedHosts(const std::vector<std::string>& hosts) {
  std::lock_guard lock(trustMutex);
  trustedHosts.clear();
  for (const std::string& h : hosts)
    if (const std::string name = TrustedHostName(h); !name.empty()) trustedHosts.push_back(name);
}

std::vector<std::string> TrustedHosts() {
  std::lock_guard lock(trustMutex);
  return trustedHosts;
}

CertificateFault LastCertificateFault() {
  return {lastFault.host, lastFault.code};
}

void ClearCertificateFault() {
  lastFault = {};
}

}  // namespace playback
