#include "playback/CertificateRules.h"

#include <gtest/gtest.h>

#include <tuple>

using namespace playback;

// The faults that the test station's certificates show (an unknown authority, another
// name, another purpose, a changed certificate) are read from the player as users see
// them; these are the ones no local certificate brings about.
TEST(CertificateRules, FaultsTheStationCannotShowAreToldInWordsToo) {
  const std::pair<unsigned long, const char*> cases[] = {
      {0x800B0101, "it has expired, or is not valid yet (radio.example)"},
      {0x800B010C, "it was revoked (radio.example)"},
      {0x80092012, "the check failed with error 0x80092012 (radio.example)"},
  };
  for (const auto& [code, why] : cases)
    EXPECT_EQ(CertificateFaultText(code, "radio.example"), std::string(kCertificateFaultText) + why)
        << std::hex << code;
}

// The chain's own trust errors decide where the system's SSL policy overlooks them: a
// chain that ends short of an authority is no valid chain.
TEST(CertificateRules, AChainsTrustErrorsAmountToItsFault) {
  const std::pair<unsigned long, unsigned long> cases[] = {
      {0, 0},
      {0x00000040 | 0x01000000, 0},  // revocation unknown, offline: not checked, not refused
      {0x00010000, 0x800B010A},      // partial chain
      {0x00000020, 0x800B0109},      // untrusted root
      {0x00000001, 0x800B0101},      // expired
      {0x00000021, 0x800B0109},      // an untrusted root is told before the time
      {0x00000004 | 0x00000020, 0x800B010C},
      {0x00000010, 0x800B0110},
  };
  for (const auto& [errors, fault] : cases) EXPECT_EQ(ChainTrustFault(errors), fault) << std::hex << errors;
}

// One certificate a host, as browsers keep their exceptions: the same one is trusted,
// another of that host asks again, and no other host is trusted through it. Lines of
// older files (a host alone) and damaged lines trust nothing.
TEST(CertificateRules, TheTrustedHostsFileKeepsOneCertificateAHost) {
  const std::string a(64, 'A'), b(64, 'b'), bUpper(64, 'B');
  const TrustedCertificates trusted =
      ParseTrustedHosts("Radio.Example " + a + "\r\n 127.0.0.1\t" + b + " \nold.example\r\n\nbad host " + a + "\nx/y " +
                        a + "\nshort.example " + a.substr(1) + "\nradio.example " + b);
  EXPECT_EQ(trusted, (TrustedCertificates{{"radio.example", a}, {"127.0.0.1", bUpper}}));
  EXPECT_EQ(TrustedHostsText(trusted), "127.0.0.1 " + bUpper + "\r\nradio.example " + a + "\r\n");
  const std::tuple<const char*, std::string, HostTrust> cases[] = {
      {"RADIO.example", a, HostTrust::Trusted},
      {"radio.example", bUpper, HostTrust::Changed},
      {"www.radio.example", a, HostTrust::None},
      {"old.example", a, HostTrust::None},
  };
  for (const auto& [host, fingerprint, trust] : cases) EXPECT_EQ(TrustFor(trusted, host, fingerprint), trust) << host;
  EXPECT_EQ(CertificateFaultText(0x800B0110, "h", true),
            std::string(kCertificateFaultText) +
                "it is not meant for a web server (h); it has changed since this "
                "host was trusted");
}
