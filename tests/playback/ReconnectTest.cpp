// A live stream that drops is brought back by the player itself: through the real
// player, against servers of the test's own that relay the local test station.
#include <windows.h>
#include <winsock2.h>

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>

#include "support/LoopbackServer.h"
#include "support/RelayServer.h"
#include "support/SoundCapture.h"
#include "playback/StationPlayer.h"
#include "support/StationTesting.h"
#include "support/Waiting.h"

using playback::StationPlayer;
using testing_support::TimeUntil;
using testing_support::WaitFor;

namespace {

bool Playing(const StationPlayer& p) {
  return p.State() == playback::psPlaying;
}

// A player that plays the relay, for `seconds` of sound.
void PlayFor(StationPlayer& p, const std::string& url, double seconds) {
  p.SetUrl(url);
  p.Play();
  ASSERT_TRUE(WaitFor([&] { return Playing(p); }, 8000)) << p.LastError();
  ASSERT_TRUE(WaitFor([&] { return p.CurrentPosition() >= seconds; }, DWORD(seconds * 1000) + 10000));
}

// A WAVE file of a 2 s tone.
std::string Wave() {
  return ToneWave(2, 22050, 440, 6000);
}

}  // namespace

TEST(Reconnect, ADroppedStreamComesBackFromTheAddressItsPlaylistNamedAndPlaysOn) {
  REQUIRE_STATION("TUNORA_STATION_MP3");
  RelayServer relay(StationAddress("TUNORA_STATION_MP3"));
  LoopbackServer lists(
      [&](const std::string&) { return Ok("audio/x-scpls", "[playlist]\nFile1=" + relay.Url() + "\n"); });
  StationPlayer p;
  PlayFor(p, lists.Url("/station.pls"), 4.0);
  if (::testing::Test::HasFatalFailure()) return;
  const double before = p.CurrentPosition();
  const DWORD beforeTick = GetTickCount();
  const int listRequests = lists.Requests();

  SoundCapture heard(25000);
  ASSERT_TRUE(heard.Recording()) << "the null sink's monitor";
  ASSERT_TRUE(heard.WaitUntilRecording(5000)) << "the null sink's monitor delivers";
  const DWORD dropped = relay.Drop();
  // The player sees the drop once it has read what the burst put ahead of it, and
  // connects again while the ring plays on; nothing to tell meanwhile.
  EXPECT_TRUE(WaitFor([&] { return relay.Connections() >= 2; }, 15000));
  const DWORD noticed = GetTickCount();
  EXPECT_EQ(p.LastError(), "");
  ASSERT_TRUE(WaitFor([&] { return Playing(p) && p.CurrentPosition() > before + 1; }, 15000)) << p.LastError();
  const double after = p.CurrentPosition();
  heard.Finish();
  EXPECT_EQ(lists.Requests(), listRequests) << "the stream's own address is asked again, not the playlist";
  EXPECT_LE(after, before + (GetTickCount() - beforeTick) / 1000.0 + 0.5)
      << "the position goes on from where it stopped, never ahead of the time played";
  const DWORD drop = HeardDrop(dropped, noticed);
  const DWORD silent = heard.SilenceFrom(drop);
  const DWORD back = heard.SoundFrom(silent ? silent : drop);
  // How soon it returns is judged through the main window (reconnect_tests), alone.
  ASSERT_NE(back, 0u) << "the sound comes back";
  std::printf("sound back %lu ms after the drop (silent from %ld ms)\n", back > drop ? back - drop : 0,
              silent ? long(silent - drop) : -1L);
}

TEST(Reconnect, AStallOrSoundlessBytesAreNoticedWithinSecondsAndBroughtBack) {
  REQUIRE_STATION("TUNORA_STATION_MP3");
  RelayServer relay(StationAddress("TUNORA_STATION_MP3"));
  StationPlayer p;
  PlayFor(p, relay.Url(), 1.5);
  if (::testing::Test::HasFatalFailure()) return;

  // No bytes for 5 s: the sound queued (under half a second) plays out first.
  relay.SetMode(RelayServer::Mode::Stall);
  const DWORD stalled = TimeUntil([&] { return !Playing(p); }, 20000);
  relay.SetMode(RelayServer::Mode::Relay);
  // Noticed after the 5 s (later on a machine too busy to run the player).
  EXPECT_GE(stalled, 4500u);
  EXPECT_LE(stalled, 15000u);
  EXPECT_TRUE(WaitFor([&] { return Playing(p); }, 15000)) << p.LastError();
  const int afterStall = relay.Connections();
  EXPECT_GE(afterStall, 2);

  // Bytes keep coming without sound in them: more than 2 s of that drops the stream.
  ASSERT_TRUE(WaitFor([&] { return p.CurrentPosition() > 0 && Playing(p); }, 3000));
  // The garbage comes into a stream that has played on for a while since it came back.
  const double back = p.CurrentPosition();
  ASSERT_TRUE(WaitFor([&] { return p.CurrentPosition() > back + 1.5; }, 8000)) << "the stream plays on";
  relay.SetMode(RelayServer::Mode::Garbage);
  const DWORD garbled = TimeUntil([&] { return !Playing(p); }, 20000);
  relay.SetMode(RelayServer::Mode::Relay);
  EXPECT_GE(garbled, 1500u);
  EXPECT_LE(garbled, 15000u);  // like the stall: later on a machine too busy to decode
  EXPECT_TRUE(WaitFor([&] { return Playing(p); }, 8000)) << p.LastError();
  EXPECT_GT(relay.Connections(), afterStall);
  p.Stop();
}

// A server that accepts every connection and closes it at once: each is a failed attempt,
// and the waits grow.
TEST(Reconnect, AServerThatClosesAtOnceIsNoLoop) {
  REQUIRE_STATION("TUNORA_STATION_MP3");
  RelayServer relay(StationAddress("TUNORA_STATION_MP3"));
  StationPlayer p;
  PlayFor(p, relay.Url(), 1.0);
  if (::testing::Test::HasFatalFailure()) return;
  relay.SetAcceptAndClose(true);
  const DWORD dropped = relay.Drop();
  // Attempts at about 0.5, 1.5, 3.5 and 7.5 s after the drop: three by then, the fifth
  // not before 15.5 s.
  EXPECT_TRUE(WaitFor([&] { return relay.Connections() - 1 >= 3; }, 10000)) << "fewer than three attempts";
  // Waited out to the time: what is checked is that no more attempts come than planned.
  const DWORD since = GetTickCount() - dropped;
  if (since < 8500) Sleep(8500 - since);
  const int attempts = relay.Connections() - 1;
  EXPECT_GE(attempts, 3);
  EXPECT_LE(attempts, 5);
  EXPECT_EQ(p.State(), playback::psBuffering);
  EXPECT_EQ(p.LastError(), "");
  EXPECT_GE(p.CurrentPosition(), 1.0) << "the position waits where it stopped";
}

// Stop, another address and the player's end each end the attempts there and then.
TEST(Reconnect, StopAnotherAddressOrThePlayersEndEndTheAttemptsAtOnce) {
  REQUIRE_STATION("TUNORA_STATION_MP3");
  const char* ways[] = {"Stop", "another address", "the player's end"};
  for (int way = 0; way < 3; ++way) {
    SCOPED_TRACE(ways[way]);
    RelayServer relay(StationAddress("TUNORA_STATION_MP3"));
    auto p = std::make_unique<StationPlayer>();
    PlayFor(*p, relay.Url(), 1.0);
    if (::testing::Test::HasFatalFailure()) return;
    relay.SetAcceptAndClose(true);
    relay.Drop();
    ASSERT_TRUE(WaitFor([&] { return relay.Connections() >= 2; }, 15000)) << "the first attempt";
    const DWORD start = GetTickCount();
    if (way == 0) p->Stop();
    if (way == 1) p->SetUrl(DeadUrl("/elsewhere"));
    if (way == 2) p.reset();
    // At once: under 0.3 s on a quiet machine; a busy one may hold the test's own thread
    // up for a second.
    EXPECT_LE(GetTickCount() - start, 2000u);
    if (p) {
      EXPECT_NE(p->State(), playback::psBuffering);
    }
    const int atEnd = relay.Connections();
    Sleep(3500);  // waited out: the next attempts were due 1 s and 3 s after the first
    EXPECT_EQ(relay.Connections(), atEnd) << "no attempt after the end";
    if (p) {
      EXPECT_EQ(p->LastError(), "");
      EXPECT_NE(p->State(), playback::psBuffering);
    }
  }
}

TEST(Reconnect, AStationThatStaysDownEndsWithTheDropsErrorWhenTheAttemptsAreOver) {
  REQUIRE_STATION("TUNORA_STATION_MP3");
  RelayServer relay(StationAddress("TUNORA_STATION_MP3"));
  StationPlayer p;
  p.SetTimeouts({.reconnectBudgetMs = 4000});
  PlayFor(p, relay.Url(), 1.0);
  if (::testing::Test::HasFatalFailure()) return;
  // A busy machine may have had the player connect once more while it played.
  const int connections = relay.Connections();
  relay.Down();
  const DWORD start = GetTickCount();
  ASSERT_TRUE(WaitFor([&] { return !p.LastError().empty(); }, 10000));
  const DWORD told = GetTickCount() - start;
  EXPECT_GE(told, 1500u) << "attempts at 0.5 and 1.5 s came first";
  EXPECT_NE(p.LastError().find("closed the connection"), std::string::npos)
      << "the drop's error, not the refusals of the attempts: " << p.LastError();
  EXPECT_EQ(p.State(), playback::psStopped);
  EXPECT_EQ(relay.Connections(), connections) << "the attempts were refused";
}

TEST(Reconnect, FilesAndStationsThatNeverPlayedAreNotTriedAgain) {
  REQUIRE_STATION("TUNORA_STATION_MP3");
  {
    // A sound file over http, of known length: it ends, and is not fetched again.
    const std::string wave = Wave();
    LoopbackServer files([&](const std::string&) { return Ok("audio/wav", wave); });
    StationPlayer p;
    p.SetUrl(files.Url("/tone.wav"));
    p.Play();
    ASSERT_TRUE(WaitFor([&] { return Playing(p); }, 5000)) << p.LastError();
    ASSERT_TRUE(WaitFor([&] { return p.State() == playback::psMediaEnded; }, 6000)) << p.State();
    Sleep(2000);  // waited out: the file is not to be fetched again
    EXPECT_EQ(p.State(), playback::psMediaEnded);
    EXPECT_EQ(files.Requests(), 1);
  }
  {
    // A station whose every connection closes at once never played: its error is told
    // at once, as ever.
    RelayServer relay(StationAddress("TUNORA_STATION_MP3"));
    relay.SetAcceptAndClose(true);
    StationPlayer p;
    p.SetUrl(relay.Url());
    p.Play();
    EXPECT_TRUE(WaitFor([&] { return !p.LastError().empty(); }, 5000));
    const int tried = relay.Connections();  // the address as a stream, then as a playlist
    Sleep(2000);  // waited out: no attempt is to follow
    EXPECT_EQ(relay.Connections(), tried) << p.LastError();
    EXPECT_EQ(p.State(), playback::psStopped);
  }
}
