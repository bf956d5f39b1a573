// The main window started the way the program starts, driven by real window messages,
// with the real player and the local test station: the volume, the connection, playing,
// certificates and the history.
#include "ReceiverTesting.h"

#include <wininet.h>

#include <tuple>

#include "playback/CertificateCheck.h"
#include "support/MainWindowView.h"
#include "support/StationTesting.h"

namespace {

// The fader sets both players and the VOL% display, and the players keep the volume.
TEST_F(Receiver, TheVolumeFaderSetsBothPlayersAndItsDisplay) {
  widgets::TVrSlider& fader = w.VrScrollBarPlayer1;
  PressKey(fader, VK_HOME);
  const int low = fader.Position();
  EXPECT_NE(low, 1000);
  EXPECT_EQ(w.WindowsMediaPlayer.settings().volume(), low / 10);
  EXPECT_EQ(w.PlayerRec.settings().volume(), low / 10);
  EXPECT_EQ(w.VrNumVolume.Value(), low / 10);
  for (int i = 0; i < 25; ++i) PressKey(fader, low == 0 ? VK_UP : VK_DOWN);
  const int moved = fader.Position();
  EXPECT_EQ(std::abs(moved - low), 25) << "a key moves the fader by one step";
  EXPECT_EQ(w.WindowsMediaPlayer.settings().volume(), moved / 10);
  EXPECT_EQ(w.PlayerRec.settings().volume(), moved / 10);
  EXPECT_EQ(w.VrNumVolume.Value(), moved / 10);
}

// Without a connection the display says so, a preset press asks the system to connect
// and plays nothing; once the connection is seen a press plays. The probe looks every
// second; a machine busy with other Wine programs may take several to show it.
constexpr DWORD kProbeSeesMs = 10000;
TEST_F(Receiver, OfflineAPressAsksToConnectAndPlaysOnlyOnceConnected) {
  ASSERT_FALSE(StationUrl().empty()) << "run with the local test station (tests/playback/with-station.sh)";
  SetPreset(m, 0, "Tone", StationUrl());
  connection_->connected = false;
  ASSERT_TRUE(WaitFor([&] { return w.VrMatrixConn.Text() == "INTERNET CONNECTION?"; }, kProbeSeesMs));
  LeftClick(w.VrDemoButtonStation[0]);
  EXPECT_EQ(connection_->attempts, 1);
  EXPECT_FALSE(m.Monitor().connecting);
  EXPECT_EQ(w.WindowsMediaPlayer.URL(), "");
  EXPECT_EQ(HistoryForm->Entries()[0].name, "Tone") << "the press is remembered all the same";

  connection_->connected = true;
  ASSERT_TRUE(WaitFor([&] { return m.Monitor().internetConnected; }, kProbeSeesMs));
  EXPECT_TRUE(WaitFor([&] { return w.VrMatrixConn.Text() == "OVEXIA TUNORA ONLINE!"; }, kProbeSeesMs));
  LeftClick(w.VrDemoButtonStation[0]);
  EXPECT_EQ(connection_->attempts, 1) << "no dial request while connected";
  EXPECT_TRUE(m.Monitor().connecting);
  EXPECT_EQ(w.WindowsMediaPlayer.URL(), StationUrl());
}

// A station plays on the displays; another one replaces it; Disconnect stops it.
TEST_F(Receiver, AStationPlaysOnTheDisplaysAnotherReplacesItAndDisconnectStopsIt) {
  ASSERT_FALSE(StationUrl().empty()) << "run with the local test station (tests/playback/with-station.sh)";
  const char* aac = std::getenv("TUNORA_STATION_AAC");
  ASSERT_NE(aac, nullptr);
  SetPreset(m, 1, "Tone", StationUrl());
  SetPreset(m, 2, "Other Tone", aac);
  LeftClick(w.VrDemoButtonStation[1]);
  EXPECT_TRUE(m.Monitor().connecting);
  EXPECT_EQ(HistoryForm->Entries()[0], (stations::Preset{"Tone", StationUrl()}));

  // "Connecting....." blinks until a whole second has played.
  bool seenHidden = false, seenShown = false;
  ASSERT_TRUE(WaitFor(
      [&] {
        if (w.LabelStation.Caption() == "Connecting.....") (w.LabelStation.Visible() ? seenShown : seenHidden) = true;
        return w.LabelStation.Caption() == "Tone";
      },
      15000))
      << w.WindowsMediaPlayer.lastError();
  EXPECT_TRUE(seenHidden && seenShown);
  EXPECT_TRUE(w.LabelStation.Visible());
  EXPECT_FALSE(m.Monitor().connecting);
  EXPECT_EQ(w.LabelBuffer.Caption(), "100%");
  EXPECT_EQ(w.LabelBandwidth.Caption(), "128000");
  const int shown = w.VrClockstposition.Seconds();
  EXPECT_GE(shown, 1);
  EXPECT_TRUE(WaitFor([&] { return w.VrClockstposition.Seconds() > shown; }, 6000)) << "the position runs";
  bool iconBlinked = false;
  const bool iconBefore = w.ImagePlayer1GO.Visible();
  WaitFor([&] { return iconBlinked = w.ImagePlayer1GO.Visible() != iconBefore; }, 1000);
  EXPECT_TRUE(iconBlinked);

  // Another preset while this one plays: the position starts again from zero.
  LeftClick(w.VrDemoButtonStation[2]);
  EXPECT_TRUE(m.Monitor().connecting);
  EXPECT_EQ(w.VrClockstposition.Seconds(), 0);
  EXPECT_EQ(w.WindowsMediaPlayer.URL(), aac);
  ASSERT_TRUE(WaitFor([&] { return w.LabelStation.Caption() == "Other Tone"; }, 15000))
      << w.WindowsMediaPlayer.lastError();
  EXPECT_EQ(HistoryForm->Entries()[0].name, "Other Tone");
  EXPECT_EQ(HistoryForm->Entries()[1].name, "Tone");

  LeftClick(w.VrDemoButtonUnplug);
  EXPECT_EQ(w.LabelStation.Caption(), "none");
  EXPECT_TRUE(WaitFor([&] { return !Playing(w.WindowsMediaPlayer); }, 200));
  EXPECT_TRUE(WaitFor([&] { return w.LabelBuffer.Caption() == "0%" && w.VrClockstposition.Seconds() == 0; }, 500));
}

// A station whose certificate nobody vouches for fails with the reason, and the user is
// asked once whether to trust it for its host: No leaves it so, Yes plays it and
// remembers the certificate with the host beside the settings for the next start.
// Another certificate of that host asks again and says that it changed.
TEST_F(Receiver, AStationWithAnUnknownCertificatePlaysOnceTheUserTrustsIt) {
  REQUIRE_STATION("TUNORA_STATION_HTTPS_CLIENT");
  playback::SetTrustedCertificates({});
  SetPreset(m, 1, "Secure", StationAddress("TUNORA_STATION_HTTPS_UNKNOWN"));
  SetPreset(m, 2, "Changed", StationAddress("TUNORA_STATION_HTTPS_CLIENT"));
  const std::tuple<int, int, const char*> steps[] = {
      {IDNO, 1, "not valid: it was not issued by an authority"},
      {IDYES, 1, "not valid: it was not issued by an authority"},
      {IDNO, 2, "(127.0.0.1); it has changed since this host was trusted"},
  };
  for (const auto& [answer, preset, said] : steps) {
    SCOPED_TRACE(said);
    MessageBoxWatcher boxes(ui::App().Title(), answer);
    LeftClick(w.VrDemoButtonStation[preset]);
    ASSERT_TRUE(WaitFor([&] { return !boxes.Seen().empty(); }, 10000)) << w.LabelStation.Caption();
    Pump(500);  // time for a second question, which must not come
    const std::vector<SeenBox> seen = boxes.Seen();
    ASSERT_EQ(seen.size(), 1u) << "asked once";
    EXPECT_NE(seen[0].text.find(said), std::string::npos) << seen[0].text;
    EXPECT_NE(seen[0].text.find("from 127.0.0.1 with this certificate all the same?"), std::string::npos)
        << seen[0].text;
    if (answer == IDNO) {
      EXPECT_EQ(w.LabelStation.Caption(), "Cannot play");
      EXPECT_NE(w.VrMatrixConn.Text().find("certificate is not valid"), std::string::npos);
      EXPECT_EQ(ProgramFolder().Has("trustedhosts.ini"), preset == 2);
    } else {
      EXPECT_TRUE(WaitFor([&] { return w.LabelStation.Caption() == "Secure"; }, 10000))
          << w.WindowsMediaPlayer.lastError();
    }
  }
  const std::string fingerprint = StationAddress("TUNORA_STATION_HTTPS_UNKNOWN_SHA256");
  EXPECT_EQ(ProgramFolder().Content("trustedhosts.ini"), "127.0.0.1 " + fingerprint + "\r\n");
  playback::SetTrustedCertificates({});
  w.Certificates.Load(ProgramFolder().Path());
  EXPECT_EQ(playback::GetTrustedCertificates(), (playback::TrustedCertificates{{"127.0.0.1", fingerprint}}))
      << "read at the next start";
  playback::SetTrustedCertificates({});
}

// "Station History" shows the dialog; a click on an entry plays its station under the
// band label "Station History", and Options then saves the band, not that label.
TEST_F(Receiver, AHistoryEntryPlaysAndOptionsSavesTheBandNotTheHistoryLabel) {
  ASSERT_FALSE(StationUrl().empty()) << "run with the local test station (tests/playback/with-station.sh)";
  m.PushHistory("Tone", StationUrl());
  bool ran = false;
  WhenShown(
      *HistoryForm,
      [] {
        LeftClick(HistoryForm->EntryButton(1));
        LeftClick(HistoryForm->VrDemoButtonCloseHistory);
      },
      &ran);
  LeftClick(w.VrDemoButtonHistory);
  ASSERT_TRUE(ran);
  EXPECT_EQ(w.Labelgenre.Caption(), "Station History");
  EXPECT_EQ(w.WindowsMediaPlayer.URL(), StationUrl());
  EXPECT_TRUE(WaitFor([&] { return w.LabelStation.Caption() == "Tone"; }, 15000)) << w.WindowsMediaPlayer.lastError();

  WhenShown(
      *OptionsForm, [] { LeftClick(OptionsForm->VrDemoButtonExit); }, &ran);
  LeftClick(w.VrDemoButtonOptions);
  ASSERT_TRUE(ran);
  EXPECT_FALSE(IsWindowVisible(OptionsForm->Handle()));
  const auto settings = FileLines("Defaults.ini");
  ASSERT_EQ(settings.size(), 28u);
  EXPECT_EQ(settings[3], "Tone");
  EXPECT_EQ(settings[25], "Ovexia Radio Network");
  EXPECT_EQ(w.Labelgenre.Caption(), "Station History") << "the label goes on showing the history station";
}

}  // namespace
