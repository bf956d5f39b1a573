#include "playback/CertificateRules.h"

#include <gtest/gtest.h>

using namespace playback;

TEST(CertificateRules, TheChecksResultsAreToldInWords) {
  const std::pair<unsigned long, const char*> cases[] = {
      {0x800B0101, "it has expired, or is not valid yet (radio.example)"},
      {0x800B010C, "it was revoked (radio.example)"},
      {0x800B0109, "it was not issued by an authority that this computer trusts (radio.example)"},
      {0x800B010A, "it was not issued by an authority that this computer trusts (radio.example)"},
      {0x800B010F, "it was issued for another name (radio.example)"},
      {0x800B0110, "it is not meant for a web server (radio.example)"},
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

TEST(CertificateRules, TheTrustedHostsFileKeepsHostNamesOnly) {
  EXPECT_EQ(ParseTrustedHosts("Radio.Example\r\n  127.0.0.1 \n\nbad host\r\nx/y\r\nradio.example\r\n[::1]"),
            (std::vector<std::string>{"radio.example", "127.0.0.1", "[::1]"}));
  EXPECT_EQ(TrustedHostsText({"a.example", "127.0.0.1"}), "a.example\r\n127.0.0.1\r\n");
  EXPECT_EQ(ParseTrustedHosts(TrustedHostsText({"a.example", "b"})), (std::vector<std::string>{"a.example", "b"}));
  EXPECT_EQ(TrustedHostName("\t"), "");
  EXPECT_EQ(TrustedHostName("a\x01"
                            "b"),
            "");
}
