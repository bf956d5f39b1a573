// The stream reader on its own, in this process: streams joined at any byte, and the
// formats and ways a station may be served, from a small server on 127.0.0.1. The
// samples are made next to the test program by make-media.sh.
#include <windows.h>
// psapi.h needs windows.h first
#include <psapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <fstream>
#include <iterator>
#include <map>
#include <mutex>
#include <sstream>
#include <thread>

#include "support/LoopbackServer.h"
#include "playback/MediaReader.h"
#include "support/TestMedia.h"
#include "support/Tones.h"

using playback::MediaReader;

namespace {

// The tone on the left channel of stereo sound, from frame skipFrames on.
Tone Measure(const std::vector<std::int16_t>& stereo, int rate, std::size_t skipFrames) {
  return MeasureTone(stereo, rate, 2 * skipFrames, 2);
}

// Opens url and decodes about `seconds` of it; the error text, if reading failed.
std::string Decode(const std::string& url, double seconds, std::vector<std::int16_t>& out, int& rate) {
  MediaReader reader([] { return false; });
  reader.SetDeadline(15000);  // generous: the cuts run four at a time, on a machine that may be busy
  try {
    reader.Open(url);
    rate = reader.SampleRate();
    while (out.size() < std::size_t(seconds * rate) * 2 && reader.Read(out)) {
    }
  } catch (const playback::MediaError& e) {
    return e.what();
  }
  return "";
}

// Serves `stream` from the byte named in the request path on and decodes the first 0.12 s
// of every cut; the cuts that do not give the tone at once, in words.
std::vector<std::string> JoinAt(const std::string& stream, const char* type, double hz, int rate,
                                const std::vector<std::size_t>& cuts) {
  // 12 KB from the cut (0.75 s or more) is plenty for the 0.12 s judged: the rest would cost
  // the server and the reader time, thousands of times over.
  constexpr std::size_t kServedBytes = 12000;
  LoopbackServer server([&](const std::string& path) {
    const std::size_t at = std::strtoul(path.c_str() + 1, nullptr, 10);
    return Ok(type, stream.substr(std::min(at, stream.size()), kServedBytes));
  });
  // The cuts are independent: a few run at once (each spends most of its time waiting on
  // the connection).
  std::atomic<std::size_t> next{0};
  std::mutex mutex;
  std::vector<std::string> faults;
  auto work = [&] {
    for (std::size_t i; (i = next++) < cuts.size();) {
      std::vector<std::int16_t> sound;
      int got = 0;
      const std::string error = Decode(server.Url("/" + std::to_string(cuts[i])), 0.12, sound, got);
      // The first frame after a cut may lack what it refers back to: judge what follows.
      const Tone t = Measure(sound, got, 2048);
      if (error.empty() && got == rate && std::abs(t.hz - hz) < 8 && t.rms > 1500) continue;
      std::ostringstream fault;
      fault << "cut at byte " << cuts[i] << ": " << error << " rate " << got << ", " << t.hz << " Hz, rms " << t.rms
            << ", " << sound.size() / 2 << " frames";
      std::lock_guard lock(mutex);
      faults.push_back(fault.str());
      if (faults.size() >= 5) next = cuts.size();
    }
  };
  std::thread a(work), b(work), d(work);
  work();
  a.join();
  b.join();
  d.join();
  return faults;
}

}  // namespace

// A listener joins a live stream wherever the server happens to be, mostly inside a
// frame. The reader has to find the real frames and not lock on to sync-like bytes, and
// the first whole frames already carry the tone.
TEST(Reader, LocksOnToAStreamJoinedAtAnyByte) {
  struct Case {
    const char* file;
    const char* type;
    double hz;
    std::size_t cuts;  // every offset from 0 to here: every byte of the first two frames
  };
  const Case cases[] = {{"tone.mp3", "audio/mpeg", 440, 900}, {"tone.aac", "audio/aac", 550, 600}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    const std::string stream = ReadMedia(c.file);
    ASSERT_GT(stream.size(), 16000u) << MediaPath(c.file);
    std::vector<std::size_t> cuts(c.cuts + 1);
    for (std::size_t i = 0; i < cuts.size(); ++i) cuts[i] = i;
    for (const std::string& f : JoinAt(stream, c.type, c.hz, 44100, cuts)) ADD_FAILURE() << f;
  }
}

// A server that sends a new listener its whole burst at once may start it anywhere in the
// first 64 KB of what the encoder wrote, and that begins with an ID3v2 tag (and, in a file,
// a Xing/Info frame). Every byte of the first 600 (the tag and the Xing frame) is a cut,
// every third up to 1500 (the first frames), then every 499th.
TEST(Reader, LocksOnToAnMp3StreamJoinedAnywhereInItsFirst64Kb) {
  struct Case {
    const char* file;
    double hz;
    int rate;
  };
  const Case cases[] = {{"live.mp3", 1000, 48000}, {"tagged.mp3", 440, 44100}};
  std::vector<std::size_t> cuts;
  for (std::size_t at = 0; at < 64 * 1024; at += at < 600 ? 1 : at < 1500 ? 3 : 499) cuts.push_back(at);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    const std::string stream = ReadMedia(c.file);
    ASSERT_GT(stream.size(), 90000u) << MediaPath(c.file);
    for (const std::string& f : JoinAt(stream, "audio/mpeg", c.hz, c.rate, cuts)) ADD_FAILURE() << f;
  }
}

// Damage in the middle of a stream (a relay's hiccup, a spliced feed) costs the frames it
// hits, never the stream: the reader skips to the next good frame and the tone goes on.
TEST(Reader, ResynchronisesAfterDamage) {
  struct Format {
    const char* file;
    const char* type;
    double hz;
  };
  const Format formats[] = {{"tone.mp3", "audio/mpeg", 440}, {"tone.aac", "audio/aac", 550}};
  std::string junk;
  for (int i = 0; i < 700; ++i) junk += char(i % 7 == 0 ? 0xFF : (i * 37 + 11) & 0xFF);  // sync-like bytes among noise
  for (const Format& f : formats) {
    const std::string s = ReadMedia(f.file);
    ASSERT_GT(s.size(), 16000u) << MediaPath(f.file);
    const std::size_t third = s.size() / 3;
    const std::pair<const char*, std::string> damaged[] = {
        {"intact", s},
        {"noise inserted twice", s.substr(0, third) + junk + s.substr(third, third) + junk + s.substr(2 * third)},
        {"a stretch zeroed", s.substr(0, third) + std::string(1500, '\0') + s.substr(third + 1500)},
        {"cut mid-frame and joined again", s.substr(0, third + 101) + s.substr(257)},
        {"noise right at the start", junk + s},
    };
    for (const auto& [what, stream] : damaged) {
      SCOPED_TRACE(std::string(f.file) + ", " + what);
      LoopbackServer server([&](const std::string&) { return Ok(f.type, stream); });
      std::vector<std::int16_t> sound;
      int rate = 0;
      const std::string error = Decode(server.Url("/live"), 60, sound, rate);
      EXPECT_EQ(error, "");
      ASSERT_EQ(rate, 44100);
      EXPECT_GT(double(sound.size()) / 2 / rate, 2.5)
          << "little more than the damage is lost: " << double(sound.size()) / 2 / rate << " s";
      // The last second before the encoder's fade-out at the very end.
      const std::size_t from = sound.size() - std::min<std::size_t>(sound.size(), 2 * 53000);
      const std::vector<std::int16_t> late(sound.begin() + from, sound.begin() + from + 2 * 44100);
      EXPECT_NEAR(Measure(late, rate, 0).hz, f.hz, 3) << "the tone goes on after the damage";
    }
  }
}

// The ways a station may be served beside Icecast's MP3, AAC and Ogg: FLAC, Windows
// Media (ASF), HLS lists of MPEG-TS and of ADTS segments, and redirects to the stream.
TEST(Reader, PlaysEveryFormatAndFollowsRedirects) {
  std::map<std::string, Reply> site;
  auto serve = [&](const char* path, const char* type, const char* file) { site[path] = Ok(type, ReadMedia(file)); };
  serve("/tone.mp3", "audio/mpeg", "tone.mp3");
  serve("/tone.flac", "audio/flac", "tone.flac");
  serve("/tone.wma", "audio/x-ms-wma", "tone.wma");
  serve("/hls/tone.m3u8", "application/vnd.apple.mpegurl", "tone.m3u8");
  for (int i = 0; i < 5; ++i) {
    const std::string segment = "seg" + std::to_string(i) + ".ts";
    site["/hls/" + segment] = Ok("video/mp2t", ReadMedia(segment));
  }
  // A list of raw ADTS segments, as some stations serve HLS.
  site["/hls/aac.m3u8"] = Ok("application/x-mpegURL",
                             "#EXTM3U\n#EXT-X-TARGETDURATION:3\n#EXT-X-MEDIA-SEQUENCE:7\n"
                             "#EXTINF:3.0,\npart.aac\n#EXTINF:3.0,\npart.aac\n#EXT-X-ENDLIST\n");
  serve("/hls/part.aac", "audio/aac", "tone.aac");
  LoopbackServer server([&](const std::string& path) {
    const auto it = site.find(path);
    return it == site.end() ? NotFound() : it->second;
  });
  site["/moved"] = Redirect(301, server.Url("/tone.mp3"));
  site["/found"] = Redirect(302, "/moved");  // relative, and on to a second redirect
  struct Case {
    const char* path;
    double hz;
  };
  const Case cases[] = {{"/tone.flac", 880},    {"/tone.wma", 990}, {"/hls/tone.m3u8", 660},
                        {"/hls/aac.m3u8", 550}, {"/moved", 440},    {"/found", 440}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    std::vector<std::int16_t> sound;
    int rate = 0;
    EXPECT_EQ(Decode(server.Url(c.path), 1.5, sound, rate), "");
    EXPECT_NEAR(Measure(sound, rate, 4096).hz, c.hz, 3);
  }
  // A tab or form feed after a preset's address is left out, not sent with the request.
  std::vector<std::int16_t> sound;
  int rate = 0;
  EXPECT_EQ(Decode(" " + server.Url("/tone.mp3") + "\t\v\f", 1.5, sound, rate), "");
}

// Winsock reports a refused connection in a way FFmpeg's connect does not look at; the
// reader must still tell it at once, and must not mistake a slow server for a refusal.
TEST(Reader, ARefusedConnectionFailsAtOnce) {
  int silentPort = 0;
  SOCKET silent = ListenOnLoopback(silentPort);  // accepts, never answers
  struct Case {
    std::string url;
    const char* error;
    DWORD withinMs;
  };
  const Case cases[] = {
      {DeadUrl("/live"), "refuses", 2000},
      {"http://127.0.0.1:" + std::to_string(silentPort) + "/live", "does not answer", 3000},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.url);
    MediaReader reader([] { return false; });
    reader.SetDeadline(1500);
    const DWORD t0 = GetTickCount();
    std::string error;
    try {
      reader.Open(c.url);
    } catch (const playback::MediaError& e) {
      error = e.what();
    }
    EXPECT_LT(GetTickCount() - t0, c.withinMs);
    EXPECT_NE(error.find(c.error), std::string::npos) << error;
  }
  closesocket(silent);
}

// An HLS list from the network names its segments; it must not lead to files on this
// machine, even ones that would play.
TEST(Reader, AnHlsListFromTheNetworkOpensNoLocalFiles) {
  const std::string local = "file:" + MediaPath("seg0.ts");
  const std::string list = "#EXTM3U\n#EXT-X-TARGETDURATION:1\n#EXT-X-MEDIA-SEQUENCE:0\n#EXTINF:1.0,\n" + local +
                           "\n#EXTINF:1.0,\n" + local + "\n#EXT-X-ENDLIST\n";
  LoopbackServer server([&](const std::string&) { return Ok("application/vnd.apple.mpegurl", list); });
  std::vector<std::int16_t> sound;
  int rate = 0;
  EXPECT_NE(Decode(server.Url("/list.m3u8"), 1.5, sound, rate), "");
  EXPECT_EQ(sound.size(), 0u) << "a local segment was played";

  // The same list read from this machine plays; it leads to no other computer and no
  // device either, whatever names them (a device path to the very segment that plays).
  const std::string path = MediaPath("local-" + std::to_string(GetCurrentProcessId()) + ".m3u8");
  const std::pair<std::string, std::string> cases[] = {
      {"", local},
      {"", "\\\\?\\" + MediaPath("seg0.ts")},
      {"", "\\\\host\\share\\a.ts"},
      {"", "file://host/share/a.ts"},
      {"#EXT-X-KEY:METHOD=AES-128,URI=\"//host/share/key.ts\"\n", local},
  };
  for (const auto& [key, segment] : cases) {
    SCOPED_TRACE(segment + " " + key);
    std::ofstream(path, std::ios::binary) << "#EXTM3U\n#EXT-X-TARGETDURATION:1\n"
                                          << key << "#EXTINF:1.0,\n"
                                          << segment << "\n#EXT-X-ENDLIST\n";
    sound.clear();
    const std::string error = Decode(path, 1.5, sound, rate);
    if (segment == local && key.empty()) {
      EXPECT_EQ(error, "");
      EXPECT_NEAR(Measure(sound, rate, 4096).hz, 660, 3);
    } else {
      EXPECT_NE(error.find("is on another computer or is a device"), std::string::npos) << error;
      EXPECT_EQ(sound.size(), 0u);
    }
  }
  DeleteFileA(path.c_str());
}

// An HLS list that a server keeps sending, or that grows past a few MB when a live list
// is reloaded, ends the stream with the reason instead of filling the memory.
TEST(Reader, AnHlsListLargerThanFourMegabytesEndsTheStream) {
  std::string big = "#EXTM3U\n#EXT-X-TARGETDURATION:1\n#EXT-X-MEDIA-SEQUENCE:0\n";
  while (big.size() <= std::size_t(playback::kMaxHlsListBytes)) big += "#EXTINF:1.0,\nseg0.ts\n";
  const std::string live = "#EXTM3U\n#EXT-X-TARGETDURATION:1\n#EXT-X-MEDIA-SEQUENCE:0\n#EXTINF:1.0,\nseg0.ts\n";
  // Three lists of 1.5 MB each, under the cap alone, over it together.
  const std::string variant = big.substr(0, big.rfind("#EXTINF", big.size() * 3 / 8)) + "#EXT-X-ENDLIST\n";
  const std::string master =
      "#EXTM3U\n#EXT-X-STREAM-INF:BANDWIDTH=1\nv1.m3u8\n#EXT-X-STREAM-INF:BANDWIDTH=2\n"
      "v2.m3u8\n#EXT-X-STREAM-INF:BANDWIDTH=3\nv3.m3u8\n";
  std::atomic<int> reloads{0};
  LoopbackServer server([&](const std::string& path) {
    if (path == "/master.m3u8") return Ok("application/vnd.apple.mpegurl", master);
    if (path.rfind("/v", 0) == 0) return Ok("application/vnd.apple.mpegurl", variant);
    if (path == "/big.m3u8") return Ok("application/vnd.apple.mpegurl", big);
    if (path == "/live.m3u8") return Ok("application/vnd.apple.mpegurl", reloads++ == 0 ? live : big);
    return Ok("video/mp2t", ReadMedia(path.substr(1)));
  });
  for (const char* path : {"/big.m3u8", "/live.m3u8", "/master.m3u8"}) {
    SCOPED_TRACE(path);
    std::vector<std::int16_t> sound;
    int rate = 0;
    EXPECT_EQ(Decode(server.Url(path), 30, sound, rate), playback::kHlsListTooLarge);
  }
  EXPECT_GE(reloads, 2) << "the live list was reloaded";
}

// A list of a few megabytes that names a hundred thousand lists ends the stream before
// the lists it names take the memory (each costs the HLS reader about 9 kB unopened).
TEST(Reader, AnHlsListNamingThousandsOfListsEndsBeforeTheirMemoryIsTaken) {
  std::string master = "#EXTM3U\n";
  for (int i = 0; master.size() < 3'500'000; ++i)
    master += "#EXT-X-STREAM-INF:BANDWIDTH=1\nv" + std::to_string(i) + ".m3u8\n";
  LoopbackServer server([&](const std::string&) { return Ok("application/vnd.apple.mpegurl", master); });
  PROCESS_MEMORY_COUNTERS before{}, after{};
  ASSERT_TRUE(GetProcessMemoryInfo(GetCurrentProcess(), &before, sizeof before));
  std::vector<std::int16_t> sound;
  int rate = 0;
  EXPECT_NE(Decode(server.Url("/master.m3u8"), 30, sound, rate), "");
  EXPECT_EQ(sound.size(), 0u);
  ASSERT_TRUE(GetProcessMemoryInfo(GetCurrentProcess(), &after, sizeof after));
  EXPECT_LT(after.PeakWorkingSetSize, before.PeakWorkingSetSize + 200u * 1024 * 1024)
      << "the lists named took " << (after.PeakWorkingSetSize - before.PeakWorkingSetSize) / 1048576 << " MB";
}

// A stream that cannot be played says why, in its own terms: not what the search for a
// playlist found after it, nor a time-out.
TEST(Reader, AStreamThatCannotBePlayedNamesTheCause) {
  const std::string mp2 = ReadMedia("tone.mp2");
  ASSERT_GT(mp2.size(), 16000u) << MediaPath("tone.mp2");
  struct Case {
    const char* path;
    const char* type;
    std::string body;
    const char* error;
  };
  const Case cases[] = {
      {"/mp2", "audio/mpeg", mp2, "no MP3 frames"},                   // layer II under the MP3 type
      {"/mp2-long", "audio/mpeg", mp2 + mp2 + mp2, "no MP3 frames"},  // found out before the stream ends
      {"/aac", "audio/aac", mp2, "no AAC frames"},
      {"/probed", "application/octet-stream", mp2, "cannot be played (mp2)"},
      {"/page", "text/html", "<html><body>Not a station</body></html>", "leads to a web page"},
      // No sound buffer can be made for these rates: 0 samples long, or overflowing.
      {"/slow", "audio/wav", ToneWave(4, 10, 1), "sample rate that cannot be played (10 Hz)"},
      {"/fast", "audio/wav", ToneWave(0.2, 400000, 1000), "sample rate that cannot be played (400000 Hz)"},
  };
  std::map<std::string, Reply> site;
  for (const Case& c : cases) site[c.path] = Ok(c.type, c.body);
  LoopbackServer server([&](const std::string& path) { return site.at(path); });
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    std::vector<std::int16_t> sound;
    int rate = 0;
    const DWORD t0 = GetTickCount();
    const std::string error = Decode(server.Url(c.path), 1.0, sound, rate);
    EXPECT_NE(error.find(c.error), std::string::npos) << error;
    EXPECT_LT(GetTickCount() - t0, 3000u) << "no waiting for a deadline";
  }
}

// Stations splice a mono jingle into a stereo stream, or change the rate: the decoder's
// frames change their layout or rate mid-stream. Each part plays at its own pitch (a
// 48 kHz part played as 44.1 kHz would sound at 808 Hz, not 880), at the rate the media
// opened with, from a server and from a file alike.
TEST(Reader, PlaysOnWhenAStreamChangesItsChannelsOrRate) {
  const std::string stream = ReadMedia("switch.mp3");
  ASSERT_GT(stream.size(), 100000u) << MediaPath("switch.mp3");
  LoopbackServer server([&](const std::string&) { return Ok("audio/mpeg", stream); });
  for (const std::string& url : {server.Url("/live"), MediaPath("switch.mp3")}) {
    SCOPED_TRACE(url);
    std::vector<std::int16_t> sound;
    int rate = 0;
    EXPECT_EQ(Decode(url, 60, sound, rate), "");
    ASSERT_EQ(rate, 44100);
    ASSERT_GT(sound.size(), std::size_t(2 * 8.5 * rate)) << "every part decoded";
    for (const auto& [at, hz] : {std::pair{1.0, 440.0}, {4.0, 660.0}, {7.0, 880.0}}) {
      const auto from = sound.begin() + std::ptrdiff_t(2 * at * rate);
      const Tone t = Measure(std::vector<std::int16_t>(from, from + 2 * rate), rate, 0);
      EXPECT_NEAR(t.hz, hz, 3) << "at " << at << " s";
      EXPECT_GT(t.rms, 1500) << "at " << at << " s";
    }
  }
}
