// The titles the station player publishes: ICY metadata of a stream that this test
// serves itself (charsets, control characters, a long title, a block whose length
// lies), and the title and comments of the local test station's mounts.
#include <windows.h>
#include <winsock2.h>

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

#include "support/LoopbackServer.h"
#include "playback/StationPlayer.h"
#include "support/StationTesting.h"
#include "support/TestMedia.h"
#include "support/Waiting.h"

using playback::StationPlayer;
using testing_support::WaitFor;

namespace {

// Every title the player shows while it plays, in order, until it stops playing.
std::vector<std::string> TitlesWhilePlaying(StationPlayer& p, DWORD ms) {
  std::vector<std::string> seen;
  bool played = false;
  WaitFor(
      [&] {
        played = played || p.State() == playback::psPlaying;
        if (played && p.State() != playback::psPlaying) return true;
        const std::string t = p.Title();
        if (seen.empty() || seen.back() != t) seen.push_back(t);
        return false;
      },
      ms);
  return seen;
}

// An ICY metadata block: its length byte in 16-byte units, then the text padded with NULs.
std::string Block(const std::string& text) {
  const std::size_t units = (text.size() + 15) / 16;
  std::string b(1, char(units));
  b += text;
  b.resize(1 + units * 16, '\0');
  return b;
}

bool HasControl(const std::string& s) {
  for (unsigned char c : s)
    if (c < 0x20 || c == 0x7F) return true;
  return false;
}

TEST(Titles, IcyMetadataIsDecodedCleanedAndCapped) {
  ASSERT_EQ(GetACP(), 1252u) << "the expected texts are in Windows-1252";
  const std::string mp3 = ReadMedia("tone.mp3");
  ASSERT_GT(mp3.size(), 40000u);
  const std::string sound = mp3 + mp3;    // six seconds
  constexpr std::size_t kMetaInt = 4096;  // a block every quarter second
  std::map<int, std::string> blocks = {
      {1, Block("StreamTitle='Caf\xE9 \x80 \x93quoted\x94';StreamUrl='';")},
      {5, Block("StreamTitle='Na\xC3\xAFve \xCE\xA9mega\r\nnext\x01 line';")},
      {9, Block("StreamTitle='" + std::string(400, 'x') + "';")},
  };
  std::string body;
  int index = 0;
  for (std::size_t at = 0; at < sound.size(); at += kMetaInt) {
    body += sound.substr(at, kMetaInt);
    ++index;
    if (index == 13) {
      // A length byte that promises 3200 bytes where the server meant 32: sound is
      // taken for metadata, and the stream goes on from the wrong place.
      body += std::string(1, char(200)) + "StreamTitle='Short';" + std::string(12, '\0');
    } else {
      body += blocks.count(index) ? blocks[index] : std::string(1, '\0');
    }
  }
  StartSockets();
  LoopbackServer server([&](const std::string&) {
    // Sent as a station sends, in real time: the player reads seconds ahead of what it
    // plays, and a burst would bring several titles in one read.
    return Reply{"HTTP/1.0 200 OK\r\nContent-Type: audio/mpeg\r\nicy-metaint: " + std::to_string(kMetaInt) + "\r\n",
                 body, 16000};
  });
  StationPlayer p;
  // The stream's end is looked at here, not the player bringing it back: no attempts.
  p.SetTimeouts({.reconnectBudgetMs = 0});
  p.SetUrl(server.Url("/icy"));
  p.Play();
  const std::vector<std::string> seen = TitlesWhilePlaying(p, 15000);
  const std::set<std::string> titles(seen.begin(), seen.end());
  EXPECT_TRUE(titles.count("Caf\xE9 \x80 \x93quoted\x94")) << "Windows-1252 as it is";
  EXPECT_TRUE(titles.count("Na\xEFve ?mega next line")) << "UTF-8, with '?' for what the code page lacks";
  EXPECT_TRUE(titles.count(std::string(256, 'x'))) << "cut at 256 characters";
  for (const std::string& t : seen) {
    EXPECT_FALSE(HasControl(t)) << t;
    EXPECT_LE(t.size(), 256u);
  }
  EXPECT_EQ(seen.front(), "") << "no title before the stream names one";
  // The stream ended (or broke off, by the lying block): its title is gone with it.
  WaitFor([&] { return p.State() == playback::psMediaEnded || p.State() == playback::psStopped; }, 10000);
  EXPECT_EQ(p.Title(), "") << "state " << p.State();
  p.SetUrl(server.Url("/icy"));
  p.Play();
  EXPECT_TRUE(WaitFor([&] { return p.Title() == "Caf\xE9 \x80 \x93quoted\x94"; }, 8000));
  p.Stop();
  EXPECT_EQ(p.Title(), "") << "stopping forgets the title";
}

TEST(Titles, TheStationsMountsNameTheirTitles) {
  REQUIRE_STATION("TUNORA_STATION_MP3");
  const std::pair<const char*, const char*> mounts[] = {
      {"TUNORA_STATION_MP3", "Tone 440 Hz"},   // ICY metadata
      {"TUNORA_STATION_OGG", "Tone 660 Hz"},   // Vorbis comment
      {"TUNORA_STATION_OPUS", "Tone 770 Hz"},  // Opus comment
  };
  for (const auto& [var, title] : mounts) {
    SCOPED_TRACE(var);
    StationPlayer p;
    // A machine busy with other Wine programs may take longer than the 10 s to connect.
    p.SetTimeouts({.connectMs = 30000});
    p.SetUrl(StationAddress(var));
    p.Play();
    WaitFor([&] { return p.Title() == title; }, 30000);
    EXPECT_EQ(p.Title(), title) << p.LastError();
    p.SetUrl("");
    EXPECT_EQ(p.Title(), "");
  }
}

}  // namespace
