// The file of the certificates that the user trusts (trustedhosts.ini), read at start-up:
// it comes from outside. What it trusts must be well formed and come back the same after
// it is written out and read again.
#include "FuzzInput.h"
#include "playback/CertificateRules.h"

namespace {

constexpr std::size_t kMaxInput = 64 * 1024;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > kMaxInput) return 0;
  const fuzz::Input in(data, size);
  const playback::TrustedCertificates trusted = playback::ParseTrustedHosts(in.Rest());
  for (const auto& [host, fingerprint] : trusted) {
    FUZZ_CHECK(!host.empty() && playback::TrustedHostName(host) == host);
    FUZZ_CHECK(fingerprint.size() == 64 && playback::TrustedFingerprint(fingerprint) == fingerprint);
    FUZZ_CHECK(playback::TrustFor(trusted, host, fingerprint) == playback::HostTrust::Trusted);
  }
  FUZZ_CHECK(playback::ParseTrustedHosts(playback::TrustedHostsText(trusted)) == trusted);
  return 0;
}
