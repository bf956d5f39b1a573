// The player and the local test station: https and its certificates, every mount and its
// tone, playlists, a stream that dies or stalls, a playlist that names local files, and
// names that are never looked up.
#include "PlayerTesting.h"
#include "support/TestFolder.h"

namespace {

// The test station's own authority among this process's trusted ones, from before any
// certificate is checked (the system keeps what it has read of its store).
class TrustedAuthority : public ::testing::Environment {
 public:
  void SetUp() override {
    const char* unixPath = StationAddress("TUNORA_STATION_CA");
    if (!unixPath) return;
    std::string path = std::string("Z:") + unixPath;
    std::replace(path.begin(), path.end(), '/', '\\');
    std::ifstream f(path, std::ios::binary);
    const std::string pem{std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
    std::vector<BYTE> der(pem.size());
    DWORD size = DWORD(der.size());
    store_ = CertOpenStore(CERT_STORE_PROV_SYSTEM_A, 0, 0, CERT_SYSTEM_STORE_LOCAL_MACHINE, "ROOT");
    if (store_ && CryptStringToBinaryA(pem.c_str(), DWORD(pem.size()), CRYPT_STRING_BASE64HEADER, der.data(), &size,
                                       nullptr, nullptr))
      CertAddEncodedCertificateToStore(store_, X509_ASN_ENCODING, der.data(), size, CERT_STORE_ADD_REPLACE_EXISTING,
                                       &cert_);
    CertControlStore(store_, 0, CERT_STORE_CTRL_COMMIT, nullptr);  // for the other handles of the store
    if (!cert_) ADD_FAILURE() << "the station's authority could not be trusted: " << path;
  }
  void TearDown() override {
    if (cert_) CertDeleteCertificateFromStore(cert_);
    if (!store_) return;
    CertControlStore(store_, 0, CERT_STORE_CTRL_COMMIT, nullptr);
    CertCloseStore(store_, 0);
  }

 private:
  HCERTSTORE store_ = nullptr;
  PCCERT_CONTEXT cert_ = nullptr;
};
const auto* const kTrustedAuthority = ::testing::AddGlobalTestEnvironment(new TrustedAuthority);

// The test station's https fronts, and a server of the test's own that leads to them. A
// certificate for 127.0.0.1 from the station's authority, which the tests trust, plays;
// every other connection is refused with the reason and the host, wherever its address
// came from. A certificate that the user trusts plays then, for its host alone; another
// certificate of that host is refused again, as changed.
TEST(Station, AnHttpsStationPlaysOnlyWithAValidOrTrustedCertificate) {
  REQUIRE_STATION("TUNORA_STATION_HTTPS_CLIENT");
  playback::SetTrustedCertificates({});
  const std::string valid = StationAddress("TUNORA_STATION_HTTPS"),
                    unknown = StationAddress("TUNORA_STATION_HTTPS_UNKNOWN"),
                    client = StationAddress("TUNORA_STATION_HTTPS_CLIENT");
  const auto onLocalhost = [](std::string url) { return url.replace(url.find("127.0.0.1"), 9, "localhost"); };
  LoopbackServer server([&](const std::string& path) {
    if (path == "/redirect") return Redirect(302, unknown);
    if (path == "/list.m3u") return Ok("audio/x-mpegurl", unknown + "\r\n");
    return Ok("application/vnd.apple.mpegurl",
              "#EXTM3U\n#EXT-X-TARGETDURATION:10\n#EXTINF:10,\n" + unknown + "\n#EXT-X-ENDLIST\n");
  });
  StationPlayer p;
  const auto plays = [&](const std::string& url) {
    p.SetUrl(url);
    p.Play();
    return WaitFor([&] { return p.State() == playback::psPlaying || !p.LastError().empty(); }, 10000) &&
           p.State() == playback::psPlaying;
  };
  const auto refused = [&](const std::string& url, const std::string& why) {
    EXPECT_FALSE(plays(url)) << url;
    EXPECT_EQ(p.LastError(), playback::kCertificateFaultText + why) << url;
  };
  EXPECT_TRUE(plays(valid)) << p.LastError();
  const std::string notTrusted = "it was not issued by an authority that this computer trusts (127.0.0.1)";
  for (const std::string& url :
       {unknown, unknown + ".m3u", server.Url("/redirect"), server.Url("/segment.m3u8"), server.Url("/list.m3u")})
    refused(url, notTrusted);
  refused(onLocalhost(valid), "it was issued for another name (localhost)");
  refused(client, "it is not meant for a web server (127.0.0.1)");
  EXPECT_EQ(p.Untrusted().host, "127.0.0.1");
  playback::SetTrustedCertificates({{"127.0.0.1", StationAddress("TUNORA_STATION_HTTPS_UNKNOWN_SHA256")}});
  EXPECT_TRUE(plays(unknown)) << p.LastError();
  refused(onLocalhost(unknown), "it was not issued by an authority that this computer trusts (localhost)");
  refused(client, "it is not meant for a web server (127.0.0.1); it has changed since this host was trusted");
  playback::SetTrustedCertificates({});
}

// The check that FFmpeg asks: an international host name is checked in the ASCII form
// that certificates name it in, whether its address spelled it in ANSI or in UTF-8; and
// while no check is set, FFmpeg refuses every TLS connection.
TEST(Station, TheCertificateCheckReadsInternationalNamesAndIsNeverSkipped) {
  REQUIRE_STATION("TUNORA_STATION_IDN_CERT");
  playback::InstallCertificateCheck();
  std::string path = std::string("Z:") + StationAddress("TUNORA_STATION_IDN_CERT");
  std::replace(path.begin(), path.end(), '/', '\\');
  std::ifstream f(path, std::ios::binary);
  const std::string der{std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
  const PCCERT_CONTEXT cert = CertCreateCertificateContext(X509_ASN_ENCODING, (const BYTE*)der.data(), der.size());
  ASSERT_TRUE(cert) << path;
  char ansi[32] = "";
  BOOL lossy = FALSE;
  WideCharToMultiByte(CP_ACP, 0, L"b\u00FCcher.example", -1, ansi, sizeof ansi, nullptr, &lossy);
  ASSERT_FALSE(lossy) << "the ANSI code page has no u with diaeresis";
  for (const char* host : {static_cast<const char*>(ansi),
                           "b\xC3\xBC"
                           "cher.example",
                           "xn--bcher-kva.example"})
    EXPECT_EQ(ff_schannel_check_peer(host, cert), 0) << host << ": " << playback::LastCertificateFault().Text();
  EXPECT_LT(ff_schannel_check_peer("bucher.example", cert), 0);
  EXPECT_EQ(playback::LastCertificateFault().code, 0x800B010Fu);  // CERT_E_CN_NO_MATCH
  CertFreeCertificateContext(cert);

  const auto check = ff_schannel_check_peer;
  ff_schannel_check_peer = nullptr;
  AVIOContext* io = nullptr;
  EXPECT_EQ(avio_open2(&io, StationAddress("TUNORA_STATION_HTTPS"), AVIO_FLAG_READ, nullptr, nullptr), AVERROR(EACCES));
  ff_schannel_check_peer = check;
  avio_closep(&io);
}

TEST(Station, EveryMountPlays) {
  const char* vars[] = {"TUNORA_STATION_MP3",  "TUNORA_STATION_AAC", "TUNORA_STATION_OGG",
                        "TUNORA_STATION_OPUS", "TUNORA_STATION_ICY", "TUNORA_STATION_HTTPS"};
  REQUIRE_STATION(vars[0]);
  for (const char* var : vars) {
    SCOPED_TRACE(var);
    StationPlayer p;
    p.SetUrl(StationAddress(var));
    p.Play();
    ASSERT_TRUE(WaitFor([&] { return p.State() == playback::psPlaying; }, 10000)) << p.LastError();
    const double at = p.CurrentPosition();
    EXPECT_TRUE(WaitFor([&] { return p.CurrentPosition() > at + 0.4; }, 3000)) << "the position runs";
    EXPECT_TRUE(WaitFor([&] { return p.BitRate() > 0; }, 3000)) << "from the headers or measured";
    EXPECT_EQ(p.Duration(), 0.0) << "a live stream has no length";
    p.Stop();
  }
}

TEST(Station, PlaylistsLeadToTheStream) {
  REQUIRE_STATION("TUNORA_STATION_MP3");
  const char* mp3 = StationAddress("TUNORA_STATION_MP3");
  const std::string url = mp3;
  const std::pair<std::string, std::string> lists[] = {
      {"tunora-list.pls", "[playlist]\r\nNumberOfEntries=2\r\nFile1=" + DeadUrl("/dead") + "\r\nFile2=" + url + "\r\n"},
      {"tunora-list.m3u", "#EXTM3U\n#EXTINF:-1,Tone\n" + url + "\n"},
      {"tunora-list.asx", "<ASX version=\"3.0\"><Entry><Ref href=\"" + url + "\"/></Entry></ASX>"},
  };
  for (const auto& [name, body] : lists) {
    SCOPED_TRACE(name);
    const std::string path = TempPath(name);
    std::ofstream(path, std::ios::binary) << body;
    StationPlayer p;
    p.SetUrl(path);
    p.Play();
    EXPECT_TRUE(WaitFor([&] { return p.State() == playback::psPlaying; }, 10000)) << p.LastError();
    p.SetUrl("");
    DeleteFileA(path.c_str());
  }
}

TEST(Station, EveryMountSendsItsOwnTone) {
  const char* vars[][2] = {{"TUNORA_STATION_MP3", "TUNORA_STATION_MP3_HZ"},
                           {"TUNORA_STATION_AAC", "TUNORA_STATION_AAC_HZ"},
                           {"TUNORA_STATION_OGG", "TUNORA_STATION_OGG_HZ"},
                           {"TUNORA_STATION_OPUS", "TUNORA_STATION_OPUS_HZ"}};
  REQUIRE_STATION(vars[0][0]);
  for (const auto& v : vars) {
    SCOPED_TRACE(v[0]);
    StationPlayer p;
    p.SetVolume(100);
    p.SetUrl(StationAddress(v[0]));
    p.Play();
    ASSERT_TRUE(WaitFor([&] { return p.State() == playback::psPlaying; }, 10000)) << p.LastError();
    ASSERT_TRUE(PlaysOn(p, 0.3)) << "the sound settles at the sink";
    EXPECT_NEAR(Listen(1000).hz, std::atof(StationAddress(v[1])), 8);
    p.Stop();
  }
}

// A stream that dies or stalls leaves playing; the player tries to bring it back (the
// server takes no second connection here) and, once the attempts are over, tells why it
// dropped.
TEST(Station, AStreamThatDiesOrStallsLeavesPlaying) {
  REQUIRE_STATION("TUNORA_STATION_MP3");
  const char* mp3 = StationAddress("TUNORA_STATION_MP3");
  StartSockets();
  const std::string sample = Fetch(mp3, 48 * 1024);  // about 3 s at 128 kb/s
  ASSERT_GT(sample.size(), 32u * 1024);
  {
    // The server closes the connection: the sound plays out, then playing ends (3 s of
    // sound take longer on a busy machine).
    MisbehavingServer server(sample, false);
    StationPlayer p;
    p.SetTimeouts({.reconnectBudgetMs = 3000});
    p.SetUrl(server.Url());
    p.Play();
    ASSERT_TRUE(WaitFor([&] { return p.State() == playback::psPlaying; }, 8000)) << p.LastError();
    EXPECT_TRUE(WaitFor([&] { return p.State() != playback::psPlaying; }, 15000));
    EXPECT_TRUE(WaitFor([&] { return !p.LastError().empty(); }, 10000));
    EXPECT_EQ(p.State(), playback::psStopped) << p.LastError();
  }
  {
    // The server keeps the connection but sends nothing more: the player gives up.
    MisbehavingServer server(sample, true);
    StationPlayer p;
    p.SetTimeouts({.reconnectBudgetMs = 3000});
    p.SetUrl(server.Url());
    p.Play();
    ASSERT_TRUE(WaitFor([&] { return p.State() == playback::psPlaying; }, 8000)) << p.LastError();
    EXPECT_TRUE(WaitFor([&] { return p.State() != playback::psPlaying; }, 25000));
    EXPECT_TRUE(WaitFor([&] { return !p.LastError().empty(); }, 10000));
    EXPECT_NE(p.LastError().find("stopped sending"), std::string::npos) << p.LastError();
  }
}

// A playlist that a server sends may lead only to streams on the network: entries naming
// files on this machine or network shares are skipped and named in the error, even when
// the file would play.
TEST(Player, APlaylistFromTheNetworkOpensNoLocalFiles) {
  const std::string wav = WriteTone("tunora-local.wav", 3.0);
  const std::string wavBytes = testing_support::ReadFileBytes(wav);
  std::string fileUrl = "file:///" + wav;
  std::replace(fileUrl.begin(), fileUrl.end(), '\\', '/');
  std::map<std::string, Reply> site;
  std::atomic<int> streamed{0};
  LoopbackServer server([&](const std::string& path) {
    streamed += path == "/tone.wav";
    const auto it = site.find(path);
    return it == site.end() ? NotFound() : it->second;
  });
  site["/tone.wav"] = Ok("audio/wav", wavBytes);
  site["/local.m3u"] =
      Ok("audio/x-mpegurl", "#EXTM3U\r\n" + wav + "\r\n" + fileUrl + "\r\n\\\\127.0.0.1\\c$\\x.mp3\r\n");
  site["/mixed.pls"] = Ok("audio/x-scpls", "[playlist]\nFile1=" + fileUrl + "\nFile2=" + wav +
                                               "\nFile3=" + server.Url("/tone.wav") + "\nNumberOfEntries=3\n");
  {
    StationPlayer p;
    p.SetUrl(server.Url("/local.m3u"));
    p.Play();
    ASSERT_TRUE(WaitFor([&] { return !p.LastError().empty(); }, 5000));
    Sleep(300);  // nothing to wait for: no entry may start playing after the error
    EXPECT_NE(p.State(), playback::psPlaying);
    const std::string error = p.LastError();
    EXPECT_NE(error.find("http"), std::string::npos) << error;
    for (const std::string& named : {wav, fileUrl, std::string("\\\\127.0.0.1\\c$\\x.mp3")})
      EXPECT_NE(error.find(named), std::string::npos) << named << " is named in: " << error;
  }
  {
    StationPlayer p;
    p.SetUrl(server.Url("/mixed.pls"));
    p.Play();
    EXPECT_TRUE(WaitFor([&] { return p.State() == playback::psPlaying; }, 5000)) << p.LastError();
    EXPECT_GT(streamed, 0) << "the stream on the network is the one that plays";
    p.SetUrl("");
  }
  {
    // A local playlist may still lead to a local file.
    const std::string list = TempPath("tunora-local.m3u");
    std::ofstream(list, std::ios::binary) << "#EXTM3U\r\n" << wav << "\r\n";
    StationPlayer p;
    p.SetUrl(list);
    p.Play();
    EXPECT_TRUE(WaitFor([&] { return p.State() == playback::psPlaying; }, 5000)) << p.LastError();
    p.SetUrl("");
    DeleteFileA(list.c_str());
  }
  EXPECT_TRUE(DeleteOnceReleased(wav)) << "the file stays in use";
}

}  // namespace
