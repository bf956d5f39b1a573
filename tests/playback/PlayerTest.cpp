// The station player under Wine: files, the local test station, playlists and servers
// that misbehave. The station's addresses come from the environment (see
// tests/playback/with-station.sh); without them the station tests are skipped (and fail
// under CI).
#include <windows.h>
#include <winsock2.h>
#include <ws2tcpip.h>

#include <gtest/gtest.h>

#include <mmsystem.h>
#include <tlhelp32.h>
#include <wincrypt.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <set>
#include <thread>
#include <vector>

#include "playback/CertificateCheck.h"
#include "support/LoopbackServer.h"
#include "playback/NameLookup.h"
#include "playback/NameLookupRules.h"
#include "support/ProcessCounts.h"
#include "support/SoundCapture.h"
#include "playback/StationPlayer.h"
#include "support/StationTesting.h"
#include "support/Waiting.h"
#include "playback/WindowsMediaPlayer.h"

extern "C" {
#include <libavformat/avio.h>
#include <libavutil/error.h>
// Asked by our build of FFmpeg's TLS once a handshake is done (scripts/patches).
extern int (*ff_schannel_check_peer)(const char* host, const void* certContext);
}

using playback::StationPlayer;

namespace {

// A file in the temporary directory that no other test or run uses at the same time: the
// process id and a count go before the name's extension.
std::string TempPath(const std::string& name) {
  static std::atomic<int> count{0};
  char dir[MAX_PATH];
  GetTempPathA(MAX_PATH, dir);
  const std::size_t dot = name.rfind('.');
  const std::string stem = name.substr(0, dot), extension = dot == std::string::npos ? "" : name.substr(dot);
  return std::string(dir) + stem + "-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++count) +
         extension;
}

// A WAVE file of a sine tone, 16-bit stereo.
std::string WriteTone(const std::string& name, double seconds, int rate = 44100, double hz = 1000) {
  const std::string path = TempPath(name);
  std::ofstream(path, std::ios::binary) << ToneWave(seconds, rate, hz);
  return path;
}

// Records what reaches the sound server's null sink (through its monitor source) and
// measures the tone's frequency and level, skipping the first tenth: the capture starts
// before the sound settles.
Tone Listen(DWORD ms) {
  SoundCapture capture(ms);
  if (!capture.Recording()) return {};
  capture.Finish();
  return MeasureTone(capture.Samples(), SoundCapture::kRate, capture.Samples().size() / 10);
}

// Reads about `bytes` of a live stream as a client: material for servers that misbehave.
std::string Fetch(const std::string& url, std::size_t bytes) {
  const SOCKET s = OpenStream(url);
  std::string data;
  char buf[4096];
  while (s != INVALID_SOCKET && data.size() < bytes) {
    const int n = recv(s, buf, sizeof buf, 0);
    if (n <= 0) break;
    data.append(buf, std::size_t(n));
  }
  if (s != INVALID_SOCKET) closesocket(s);
  return data;
}

// A one-connection server on 127.0.0.1: sends an MP3 header and `body`, then closes the
// connection or, with `hold`, keeps it open sending nothing until destroyed.
class MisbehavingServer {
 public:
  MisbehavingServer(std::string body, bool hold) : body_(std::move(body)), hold_(hold) {
    listener_ = ListenOnLoopback(port_);
    thread_ = std::thread([this] { Serve(); });
  }
  ~MisbehavingServer() {
    done_ = true;
    closesocket(listener_);
    thread_.join();
  }
  std::string Url() const { return "http://127.0.0.1:" + std::to_string(port_) + "/live"; }

 private:
  void Serve() {
    SOCKET c = accept(listener_, nullptr, nullptr);
    if (c == INVALID_SOCKET) return;
    char request[2048];
    recv(c, request, sizeof request, 0);
    const std::string head = "HTTP/1.0 200 OK\r\nContent-Type: audio/mpeg\r\n\r\n";
    send(c, head.data(), int(head.size()), 0);
    send(c, body_.data(), int(body_.size()), 0);
    while (hold_ && !done_) Sleep(20);
    closesocket(c);
  }
  std::string body_;
  bool hold_;
  SOCKET listener_;
  int port_ = 0;
  std::atomic<bool> done_{false};
  std::thread thread_;
};

// Counts what a stream tap is told out of turn: a new stream that begins before the last
// one ended, frames or sound outside a connection, or two calls at the same time.
class TurnWatch : public playback::StreamTap {
 public:
  void Connected(const playback::StreamFormat&, bool resumed) override { Turn(open_ && !resumed, true); }
  void NewFormat(const playback::StreamFormat&) override { Turn(!open_, open_); }
  void Frame(const std::uint8_t*, std::size_t, std::int64_t) override { Turn(!open_, open_); }
  void Sound(int, const std::int16_t*, std::size_t) override { Turn(!open_, open_); }
  void Title(const std::string&) override {}
  void Ended() override { Turn(false, false); }
  std::atomic<int> faults{0};

 private:
  void Turn(bool wrong, bool open) {
    faults += int(busy_.exchange(true)) + int(wrong);
    open_ = open;
    busy_ = false;
  }
  std::atomic<bool> busy_{false}, open_{false};
};

// A name server that answers no name of ".silent.invalid" while it lives (or for 20 s: a
// player that waits for it fails its test rather than hangs); other names are looked up
// as usual.
class SilentNameServer {
 public:
  SilentNameServer() : before_(playback::SetNameResolver(&Resolve)) {}
  ~SilentNameServer() {
    playback::SetNameResolver(before_);
    SetEvent(answer_);
  }
  static inline std::atomic<int> asked{0};

 private:
  static int Resolve(const char* host, const char* service, const addrinfo* hints, addrinfo** found) {
    if (!std::strstr(host, ".silent.invalid")) return getaddrinfo(host, service, hints, found);
    ++asked;
    WaitForSingleObject(answer_, 20000);
    return EAI_FAIL;
  }
  static inline HANDLE answer_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  playback::NameResolver before_;
};

}  // namespace

TEST(Player, PlaysAWaveFileToItsEndAndFreesIt) {
  const std::string path = WriteTone("tunora-player-4s.wav", 4.0);
  StationPlayer p;
  EXPECT_EQ(p.Volume(), 50);
  p.SetUrl(path);
  EXPECT_EQ(p.State(), playback::psReady);
  p.Play();
  ASSERT_TRUE(WaitFor([&] { return p.State() == playback::psPlaying; }, 5000)) << p.LastError();
  EXPECT_NEAR(p.Duration(), 4.0, 0.01);
  const double early = p.CurrentPosition();
  Sleep(500);
  EXPECT_GT(p.CurrentPosition(), early + 0.3) << "the position follows the device";
  EXPECT_EQ(p.BufferingProgress(), 100);
  ASSERT_TRUE(WaitFor([&] { return p.State() == playback::psMediaEnded; }, 6000));
  EXPECT_NEAR(p.CurrentPosition(), 4.0, 0.2);
  p.SetUrl("");
  EXPECT_TRUE(WaitFor([&] { return DeleteFileA(path.c_str()) != FALSE; }, 1000)) << "the file stays in use";
}

TEST(Player, StopLeavesPlayingAtOnceAndTwoPlayersPlayTogether) {
  const std::string a = WriteTone("tunora-player-a.wav", 3.0, 48000, 500);
  const std::string b = WriteTone("tunora-player-b.wav", 3.0, 8000, 300);
  StationPlayer first, second;
  first.SetUrl(a);
  second.SetUrl(b);
  first.Play();
  second.Play();
  ASSERT_TRUE(
      WaitFor([&] { return first.State() == playback::psPlaying && second.State() == playback::psPlaying; }, 5000))
      << first.LastError() << " / " << second.LastError();
  first.Stop();
  EXPECT_NE(first.State(), playback::psPlaying);
  EXPECT_EQ(first.CurrentPosition(), 0.0);
  Sleep(300);
  EXPECT_NE(first.State(), playback::psPlaying) << "a stopped player does not come back";
  EXPECT_EQ(second.State(), playback::psPlaying) << "players are independent";
  second.SetUrl("");
  first.SetUrl("");
  Sleep(100);
  DeleteFileA(a.c_str());
  DeleteFileA(b.c_str());
}

TEST(Player, BadAddressesNeverPlayAndTheMembersStayQuick) {
  // A server that accepts and never answers.
  int port = 0;
  SOCKET silent = ListenOnLoopback(port);
  const std::string hang = "http://127.0.0.1:" + std::to_string(port) + "/";

  const std::string html = TempPath("tunora-page.html");
  std::ofstream(html) << "<html><body>Not a station</body></html>";
  const int threadsBefore = int(testing_support::ThreadIds().size());
  // GetProcessHandleCount answers 0 under Wine: the system's handle table tells.
  const int handlesBefore = testing_support::HandleCount();
  ASSERT_GT(handlesBefore, 0);
  {
    struct Case {
      std::string url;
      const char* error;  // part of the expected error text, or nullptr for "any"
    };
    const Case cases[] = {{"mms://example.invalid/live", "scheme"},
                          {DeadUrl("/"), "refuses"},
                          {html, nullptr},
                          {TempPath("no-such-file.mp3"), nullptr}};
    for (const Case& c : cases) {
      StationPlayer p;
      p.SetUrl(c.url);
      p.Play();
      // Every one of them is known to fail well before the connection time-out.
      ASSERT_TRUE(WaitFor([&] { return !p.LastError().empty(); }, 3000)) << c.url;
      EXPECT_NE(p.State(), playback::psPlaying) << c.url;
      if (c.error) {
        EXPECT_NE(p.LastError().find(c.error), std::string::npos) << p.LastError();
      }
    }
    // A member that waits for the hanging server is slow every time; a loaded machine
    // (the native tests run beside these) may slow one try: the best of three counts.
    StationPlayer p;
    DWORD fastest = INFINITE;
    for (int i = 0; i < 3; ++i) {
      p.SetUrl(hang);
      p.Play();
      Sleep(300);
      const DWORD t0 = GetTickCount();
      EXPECT_NE(p.State(), playback::psPlaying);
      p.Stop();
      p.SetUrl("");
      fastest = std::min(fastest, GetTickCount() - t0);
    }
    EXPECT_LT(fastest, 50u) << "members return at once while a server hangs";
  }
  EXPECT_LE(testing_support::HandleCount(), handlesBefore + 4) << "players leave no handles behind";
  EXPECT_LE(int(testing_support::ThreadIds().size()), threadsBefore + 1) << "players leave no threads behind";
  closesocket(silent);
  DeleteFileA(html.c_str());
}

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

TEST(Player, TheToneReachesTheDeviceAtTheChosenVolume) {
  const std::string path = WriteTone("tunora-player-tone.wav", 8.0, 44100, 1000);
  StationPlayer p;
  p.SetUrl(path);
  p.SetVolume(100);
  p.Play();
  ASSERT_TRUE(WaitFor([&] { return p.State() == playback::psPlaying; }, 5000)) << p.LastError();
  // A busy machine may break the sound up in either listen: the pair is listened to
  // once more then. Half the volume is half the level, well apart from the same level
  // or a quarter.
  Tone full, half;
  for (int attempt = 0; attempt < 2 && (half.rms <= 0 || std::fabs(full.rms / half.rms - 2.0) > 0.3); ++attempt) {
    p.SetVolume(100);
    Sleep(600);  // the queued sound at the old volume plays out first
    full = Listen(1000);
    p.SetVolume(50);
    Sleep(600);
    half = Listen(1000);
  }
  EXPECT_NEAR(full.hz, 1000, 10);
  EXPECT_NEAR(half.hz, 1000, 10);
  ASSERT_GT(half.rms, 0);
  EXPECT_NEAR(full.rms / half.rms, 2.0, 0.3);
  p.SetVolume(0);
  Sleep(600);
  EXPECT_LT(Listen(500).rms, 20) << "volume 0 is silence";

  // A mono tone of the same samples is heard on both speakers at their level, not 3 dB
  // below a stereo one.
  const std::string monoPath = TempPath("tunora-player-mono.wav");
  std::ofstream(monoPath, std::ios::binary) << ToneWave(8.0, 44100, 1000, 8000, 1);
  p.SetUrl(monoPath);
  p.SetVolume(100);
  p.Play();
  ASSERT_TRUE(WaitFor([&] { return p.State() == playback::psPlaying; }, 5000)) << p.LastError();
  Tone mono;
  for (int attempt = 0; attempt < 2 && std::fabs(mono.rms / full.rms - 1.0) > 0.15; ++attempt) {
    Sleep(600);
    mono = Listen(1000);
  }
  EXPECT_NEAR(mono.rms / full.rms, 1.0, 0.15);
  p.SetUrl("");
  Sleep(100);
  DeleteFileA(path.c_str());
  DeleteFileA(monoPath.c_str());
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
    Sleep(300);
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

// The media player members: a call that cannot be carried out raises an error with the
// reason; an address that cannot be played is no failed call (the URL is only stored
// and opened in the background), it never plays and says why.
TEST(Player, MemberCallsRaiseOnlyWhatCannotBeDone) {
  TWindowsMediaPlayer player("WindowsMediaPlayer");
  EXPECT_EQ(player.settings().volume(), 50);
  for (int bad : {101, -1, 1000}) {
    try {
      player.settings().setVolume(bad);
      ADD_FAILURE() << bad << " was taken";
    } catch (const playback::PlayerError& e) {
      EXPECT_NE(std::string(e.what()).find("0 to 100"), std::string::npos) << e.what();
    }
    EXPECT_EQ(player.settings().volume(), 50) << "a refused volume changes nothing";
  }
  player.settings().setVolume(0);
  player.settings().setVolume(100);
  EXPECT_EQ(player.settings().volume(), 100);

  EXPECT_NO_THROW(player.SetURL("mms://example.invalid/live"));
  EXPECT_NO_THROW(player.controls().play());
  EXPECT_TRUE(WaitFor([&] { return !player.lastError().empty(); }, 3000));
  EXPECT_NE(player.playState(), playback::psPlaying);
  EXPECT_NE(player.lastError().find("scheme"), std::string::npos) << player.lastError();
  EXPECT_NO_THROW(player.controls().stop());
  EXPECT_NO_THROW(player.SetURL(""));
}

// Stop, Play and a new URL take effect whatever the worker is doing at that moment (opening,
// buffering, publishing that sound left the device): nothing the media they ended still
// reports may overwrite them, and a stopped player never turns to "playing" again. A stream
// tap hears one play after the other, never two at once.
TEST(Player, StopPlayAndNewUrlsWinOverTheWorkerAtAnyMoment) {
  const std::string a = WriteTone("tunora-race-a.wav", 20.0, 44100, 500);
  const std::string b = WriteTone("tunora-race-b.wav", 20.0, 8000, 300);
  StationPlayer p;
  const auto turns = std::make_shared<TurnWatch>();
  p.SetStreamTap(turns);
  p.SetUrl(a);
  p.Play();
  ASSERT_TRUE(WaitFor([&] { return p.State() == playback::psPlaying; }, 5000)) << p.LastError();
  int faults = 0, sawPlaying = 0;
  for (int i = 0; i < 200 && faults < 5; ++i) {
    // Stops land at every point of a start: while the file opens, while the device fills
    // and after it plays.
    const DWORD wait = DWORD((i * 37) % 160);
    const std::string& url = i % 2 ? a : b;
    std::string what;
    switch (i % 3) {
      case 0:
        p.Play();
        Sleep(wait);
        p.Stop();
        what = "after Stop";
        break;
      case 1:
        p.SetUrl(url);
        p.Play();
        Sleep(wait);
        p.SetUrl(i % 4 ? b : a);
        what = "after SetUrl";
        break;
      default:
        p.Play();
        Sleep(wait / 2);
        p.Play();  // starting over while it starts
        Sleep(wait / 2);
        sawPlaying += p.State() == playback::psPlaying;
        p.Stop();
        what = "after a restart and Stop";
        break;
    }
    // Whatever the worker was doing is done after a moment; it must not have come back.
    Sleep(15);
    const int state = p.State();
    const int expected = i % 3 == 1 ? playback::psReady : playback::psStopped;
    if (state != expected || p.CurrentPosition() != 0.0) {
      ++faults;
      ADD_FAILURE() << "round " << i << " (" << wait << " ms) " << what << ": state " << state << ", position "
                    << p.CurrentPosition();
    }
  }
  EXPECT_GT(sawPlaying, 10) << "the stops also came while the player played";
  EXPECT_EQ(turns->faults, 0) << "the stream tap was told of two plays at once";
  p.SetUrl(a);
  p.Play();
  EXPECT_TRUE(WaitFor([&] { return p.State() == playback::psPlaying; }, 15000)) << "the player still plays";
  p.SetUrl("");
  Sleep(100);
  DeleteFileA(a.c_str());
  DeleteFileA(b.c_str());
}

// A playlist that a server sends may lead only to streams on the network: entries naming
// files on this machine or network shares are skipped and named in the error, even when
// the file would play.
TEST(Player, APlaylistFromTheNetworkOpensNoLocalFiles) {
  const std::string wav = WriteTone("tunora-local.wav", 3.0);
  std::ifstream f(wav, std::ios::binary);
  const std::string wavBytes{std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
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
    Sleep(300);
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
  Sleep(100);
  DeleteFileA(wav.c_str());
}

// Stations whose name server never answers hold nothing up: another station plays at once
// and the player ends at once, while their lookups wait on threads of their own. Past the
// bound a name fails at once and says why; a numeric address needs no lookup and plays.
// Once the names are answered, the lookups end and leave no threads or handles.
TEST(Station, NamesThatAreNeverLookedUpHoldNothingUp) {
  REQUIRE_STATION("TUNORA_STATION_MP3");
  const std::string station = StationAddress("TUNORA_STATION_MP3");
  const auto plays = [](StationPlayer& p, const std::string& url) {
    p.SetUrl(url);
    p.Play();
    return WaitFor([&] { return p.State() == playback::psPlaying; }, 5000);
  };
  {
    StationPlayer first;  // the sound system starts its own threads with the first play
    EXPECT_TRUE(plays(first, station)) << first.LastError();
  }
  const std::set<DWORD> threadsBefore = testing_support::ThreadIds();
  const int handlesBefore = testing_support::HandleCount();
  {
    SilentNameServer names;
    names.asked = 0;
    const auto waitOn = [&](StationPlayer& p, int name) {
      p.SetUrl("http://radio" + std::to_string(name) + ".silent.invalid:8000/live");
      p.Play();
      EXPECT_TRUE(WaitFor([&] { return names.asked == name; }, 5000)) << "the lookup of name " << name;
    };
    auto p = std::make_unique<StationPlayer>();
    for (int name = 1; name < playback::kMaxLookups; ++name) waitOn(*p, name);
    EXPECT_TRUE(plays(*p, station)) << p->LastError();
    waitOn(*p, playback::kMaxLookups);
    const DWORD exitStart = GetTickCount();
    p.reset();
    EXPECT_LT(GetTickCount() - exitStart, 1000u) << "the player's end waits for no lookup";

    StationPlayer q;
    q.SetUrl("http://radio0.silent.invalid/");
    q.Play();
    EXPECT_TRUE(WaitFor([&] { return !q.LastError().empty(); }, 1000));
    EXPECT_NE(q.LastError().find("name cannot be looked up"), std::string::npos) << q.LastError();
    EXPECT_TRUE(plays(q, station)) << q.LastError();
  }
  EXPECT_TRUE(WaitFor([&] { return testing_support::NewThreads(threadsBefore).empty(); }, 5000))
      << "threads left: " << testing_support::NewThreads(threadsBefore);
  EXPECT_LE(testing_support::HandleCount(), handlesBefore + 4) << "the lookups leave no handles behind";
}
