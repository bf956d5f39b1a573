#include "playback/PlaylistRules.h"

#include <gtest/gtest.h>

using namespace playback;

TEST(PlaylistRules, RecognisesPlaylistsByContentTypeAndName) {
  struct Case {
    const char* url;
    const char* type;
    const char* body;
    PlaylistKind kind;
  };
  const Case cases[] = {
      {"http://h/listen", "text/html", "[playlist]\nFile1=http://a/\n", PlaylistKind::Pls},
      {"http://h/x.pls", "", "File1=http://a/\n", PlaylistKind::Pls},
      {"http://h/x", "audio/x-scpls", "File1=http://a/", PlaylistKind::Pls},
      {"http://h/x", "", "  <ASX version=\"3.0\"><entry><ref href=\"mms://a\"/></entry></ASX>", PlaylistKind::Asx},
      {"http://h/x.asx", "video/x-ms-asf", "\x30\x26\xB2\x75 binary asf", PlaylistKind::None},
      {"http://h/x", "", "#EXTM3U\n#EXTINF:-1,Tone\nhttp://a/\n", PlaylistKind::M3u},
      {"http://h/x.m3u?sid=1", "", "http://a/\n", PlaylistKind::M3u},
      {"http://h/live.m3u8", "application/vnd.apple.mpegurl", "#EXTM3U\n#EXT-X-VERSION:3\n", PlaylistKind::None},
      {"http://h/x", "", "#EXTM3U\n#EXT-X-TARGETDURATION:6\nseg1.ts\n", PlaylistKind::None},
      {"http://h/x.m3u", "", "\xFF\xFB\x90\x00mp3 frame", PlaylistKind::None},
      {"http://h/tone.mp3", "audio/mpeg", "\xFF\xFB\x90\x00", PlaylistKind::None},
  };
  for (const Case& c : cases) EXPECT_EQ(DetectPlaylist(c.url, c.type, c.body), c.kind) << c.url << " " << c.body;
}

TEST(PlaylistRules, ReadsEntriesInOrderWithAnyLineEnds) {
  EXPECT_EQ(
      ParsePlaylist(PlaylistKind::Pls,
                    "[playlist]\r\nNumberOfEntries=2\r\nFile2=http://b/\r\nTitle1=x\r\nFile1=http://a/\r\nFilex=y\r\n",
                    "http://h/p.pls"),
      (std::vector<std::string>{"http://a/", "http://b/"}));
  EXPECT_EQ(ParsePlaylist(PlaylistKind::M3u, "#EXTM3U\r#EXTINF:-1,A\rhttp://a/\r\r  http://b/  \n", "http://h/p.m3u"),
            (std::vector<std::string>{"http://a/", "http://b/"}));
  EXPECT_EQ(ParsePlaylist(PlaylistKind::Asx,
                          "<asx version=\"3.0\"><Entry><REF HREF = 'http://a/s?x=1&amp;y=2' /></Entry>"
                          "<entry><ref href=\"http://b/\"></entry></asx>",
                          "http://h/p.asx"),
            (std::vector<std::string>{"http://a/s?x=1&y=2", "http://b/"}));
  EXPECT_TRUE(ParsePlaylist(PlaylistKind::Pls, "[playlist]\nFile1=\n", "http://h/").empty());
}

TEST(PlaylistRules, ResolvesRelativeEntriesAgainstThePlaylist) {
  struct Case {
    const char* base;
    const char* ref;
    const char* expected;
  };
  const Case cases[] = {
      {"http://h:8000/dir/list.pls", "stream.mp3", "http://h:8000/dir/stream.mp3"},
      {"http://h:8000/dir/list.pls", "/root.mp3", "http://h:8000/root.mp3"},
      {"http://h/a/b/list.m3u?x=1", "../c.aac", "http://h/a/c.aac"},
      {"http://h/list.m3u", "./s.ogg", "http://h/s.ogg"},
      {"https://h/list.m3u", "//cdn/s.mp3", "https://cdn/s.mp3"},
      {"http://h", "s.mp3", "http://h/s.mp3"},
      {"http://h/list.m3u", "http://other/s", "http://other/s"},
      {"C:\\lists\\l.m3u", "s.mp3", "s.mp3"},
      // Paths on a machine stay what they are, so that they can be recognised.
      {"http://h/dir/list.m3u", "C:\\music\\s.mp3", "C:\\music\\s.mp3"},
      {"http://h/dir/list.m3u", "d:/s.mp3", "d:/s.mp3"},
      {"http://h/dir/list.m3u", "\\\\server\\share\\s.mp3", "\\\\server\\share\\s.mp3"},
  };
  for (const Case& c : cases) EXPECT_EQ(ResolveUrl(c.base, c.ref), c.expected) << c.base << " + " << c.ref;
}

TEST(PlaylistRules, OnlyTheStreamSchemesAreAllowed) {
  std::string why;
  for (const char* ok : {"http://h/", "HTTPS://h/", "tls://h:1", "file:x.wav", "C:\\rec\\webfile.wav", "/tmp/x.wav",
                         "webfile.wav", "C:\\My Music\\x.wav", "file:C:/COM1/x.wav"})
    EXPECT_TRUE(StationUrlAllowed(ok, &why)) << ok;
  // Exactly what is opened is checked: nothing around the address is left out, and no
  // path that reaches another computer or a device passes.
  const auto refused = [&why](const std::string& bad) {
    why.clear();
    EXPECT_FALSE(StationUrlAllowed(bad, &why)) << PrintableAddress(bad);
    EXPECT_FALSE(why.empty());
    EXPECT_LT(why.size(), 200u) << why;
  };
  for (const char* bad :
       {"mms://h/x", "rtsp://h/x", "subfile,,0,10,:/etc/passwd", "concat:a|b", "data:x", "  ", " http://h/\r\n ",
        "http://h/x\t", "http://h/x\v", "http://h/x\f", "http://h/x\r\nHost: y", "http://h/a b", "x\x01.wav"})
    refused(bad);
  for (const char* bad :
       {"\\\\.\\COM1", "\\\\?\\C:\\x.wav", "\\\\host\\share\\x.mp3", "file://host/share/x.mp3", "file:///C:/x.mp3",
        "\\??\\UNC\\host\\s\\x.mp3", "COM1", "C:\\x\\LPT1.mp3", "CON", "NUL", "C:\\x\\com\xB9.mp3", "file:nul.mp3"})
    refused(bad);
  // NULs after the address: a C function would see it end before them.
  refused(std::string("http://radio.example/toj") + std::string(60, '\0') + "\xE8");
  EXPECT_EQ(StationAddress(" \thttp://h/x \v\f\r\n"), "http://h/x");
}

TEST(PlaylistRules, TheContentTypeNamesTheDemuxer) {
  const std::pair<const char*, const char*> cases[] = {
      {"audio/mpeg", "mp3"},     {"Audio/MPEG; charset=x", "mp3"},
      {"audio/aacp", "aac"},     {"application/ogg", "ogg"},
      {"audio/ogg", "ogg"},      {"audio/x-flac", "flac"},
      {"audio/x-ms-wma", "asf"}, {"video/x-ms-asf", ""},
      {"text/html", ""},         {"", ""},
      {"audio/x-mpegurl", ""},
  };
  for (const auto& [type, demuxer] : cases) EXPECT_EQ(DemuxerForContentType(type), demuxer) << type;
}

TEST(PlaylistRules, FindsTheHostAndPortToConnectTo) {
  struct Case {
    const char* url;
    const char* host;  // nullptr: no host and port to connect to
    int port;
  };
  const Case cases[] = {
      {"http://radio.example:8000/live.mp3", "radio.example", 8000},
      {"HTTPS://radio.example/live?x=1:2", "radio.example", 443},
      {"http://user:pw@127.0.0.1/", "127.0.0.1", 80},
      {"http://h#frag", "h", 80},
      {"http://[::1]:8443/s", "::1", 8443},
      {"http://[::1]/s", "::1", 80},
      {"http://h:/s", "h", 80},
      {"http://h:0/", nullptr, 0},
      {"http://h:65536/", nullptr, 0},
      {"http://h:80x/", nullptr, 0},
      {"http://[::1/", nullptr, 0},
      {"http:///path", nullptr, 0},
      {"http:h", nullptr, 0},
      {"tls://h:1", nullptr, 0},
      {"C:\\rec\\webfile.wav", nullptr, 0},
  };
  for (const Case& c : cases) {
    std::string host;
    int port = 0;
    EXPECT_EQ(HostAndPort(c.url, host, port), c.host != nullptr) << c.url;
    if (!c.host) continue;
    EXPECT_EQ(host, c.host) << c.url;
    EXPECT_EQ(port, c.port) << c.url;
  }
}

// A playlist from the network leads to streams on the network only; a local one may name
// local files as well.
TEST(PlaylistRules, APlaylistFromTheNetworkLeadsOnlyToHttpStreams) {
  struct Case {
    const char* list;
    const char* entry;
    bool allowed;
  };
  const Case cases[] = {
      {"http://h/l.pls", "http://a/live", true},
      {"HTTPS://h/l.pls", "https://a/live", true},
      {"http://h/l.pls", "HTTP://a/live", true},
      {"http://h/l.pls", " HTTP://a/live ", false},
      {"http://h/l.pls", "file:///C:/secret.wav", false},
      {"http://h/l.pls", "FILE:C:\\secret.wav", false},
      {"https://h/l.pls", "C:\\secret.wav", false},
      {"http://h/l.pls", "c:/secret.wav", false},
      {"http://h/l.pls", "\\\\server\\share\\x.mp3", false},
      {"http://h/l.pls", "/etc/x.mp3", false},  // a path left unresolved
      {"http://h/l.pls", "tcp://a:80", false},
      {"http://h/l.pls", "hls+http://a/x.m3u8", false},
      {"http://h/l.pls", "crypto:file:///x", false},
      {"http://h/l.pls", "mms://a/x", false},
      {"tls://h:443/l.pls", "file:///x.wav", false},
      {"C:\\lists\\l.m3u", "C:\\music\\s.mp3", true},
      {"/home/l.m3u", "s.mp3", true},
      {"file:///C:/l.m3u", "file:C:/s.mp3", true},
      {"\\\\server\\l.m3u", "http://a/live", true},
      {"C:\\lists\\l.m3u", "mms://a/x", false},
      // A local playlist, too, leads to no share or device.
      {"C:\\lists\\l.m3u", "\\\\server\\share\\x.mp3", false},
      {"C:\\lists\\l.m3u", "//server/share/x.mp3", false},
      {"C:\\lists\\l.m3u", "file://server/share/x.mp3", false},
      {"C:\\lists\\l.m3u", "\\\\?\\C:\\x.mp3", false},
      {"C:\\lists\\l.m3u", "file:///\\\\.\\COM1", false},
      {"C:\\lists\\l.m3u", "COM1", false},
      {"C:\\lists\\l.m3u", "C:\\x\\LPT1.mp3", false},
      {"C:\\lists\\l.m3u", "\\??\\UNC\\host\\s\\x.mp3", false},
      // Nothing that would add lines or words to the request that carries the address.
      {"http://h/l.asx", "http://a/live\r\nHost: other", false},
      {"http://h/l.asx", "http://a/li ve", false},
      {"http://h/l.asx", "http://a/live\x7F", false},
      {"C:\\lists\\l.m3u", "C:\\My Music\\s.mp3", true},
      {"C:\\lists\\l.m3u", "C:\\music\\s\t.mp3", false},
  };
  for (const Case& c : cases) {
    std::string why;
    EXPECT_EQ(PlaylistEntryAllowed(c.list, c.entry, &why), c.allowed) << c.list << " -> " << c.entry;
    // The refusal names the entry, its control characters spelled out.
    if (!c.allowed) {
      EXPECT_NE(why.find(PrintableAddress(c.entry)), std::string::npos) << why;
    }
    EXPECT_EQ(why.find_first_of("\r\n"), std::string::npos) << why;
  }
  // What an HLS list opens in turn is judged alike; an encrypted segment by what it opens.
  EXPECT_TRUE(HlsAddressAllowed("http://h/l.m3u8", "crypto+http://h/a.ts"));
  EXPECT_TRUE(HlsAddressAllowed("C:\\l.m3u8", "crypto:C:\\a.ts"));
  EXPECT_FALSE(HlsAddressAllowed("C:\\l.m3u8", "crypto+\\\\host\\share\\a.ts"));
  EXPECT_FALSE(HlsAddressAllowed("http://h/l.m3u8", "crypto+file:C:/a.ts"));
  EXPECT_EQ(PrintableAddress("http://a/\r\n\x01x"), "http://a/\\r\\n\\x01x");
  // At most 80 characters, cut between the spelled-out ones: 20 NULs of 30, then "...".
  std::string twenty;
  for (int i = 0; i < 20; ++i) twenty += "\\x00";
  EXPECT_EQ(PrintableAddress(std::string(30, '\0')), twenty + "...");

  // The local entries of a playlist from the network come out as they are, to be refused.
  const std::string body = "file:///C:/a.wav\r\nC:\\b.wav\r\n\\\\srv\\c.mp3\r\nlive\r\n";
  const std::vector<std::string> entries = ParsePlaylist(PlaylistKind::M3u, body, "http://h/d/l.m3u");
  EXPECT_EQ(entries, (std::vector<std::string>{"file:///C:/a.wav", "C:\\b.wav", "\\\\srv\\c.mp3", "http://h/d/live"}));
  std::vector<bool> allowed;
  for (const std::string& e : entries) allowed.push_back(PlaylistEntryAllowed("http://h/d/l.m3u", e));
  EXPECT_EQ(allowed, (std::vector<bool>{false, false, false, true}));
}

TEST(PlaylistRules, TellsAWebPageByItsTypeOrItsStart) {
  EXPECT_TRUE(LooksLikeWebPage("text/html; charset=utf-8", ""));
  EXPECT_TRUE(LooksLikeWebPage("TEXT/HTML", "anything"));
  EXPECT_TRUE(LooksLikeWebPage("application/xhtml+xml", ""));
  EXPECT_TRUE(LooksLikeWebPage("", "\r\n  <!DOCTYPE HTML>\n<html><body>Moved</body></html>"));
  EXPECT_TRUE(LooksLikeWebPage("application/octet-stream", "<html><head>"));
  EXPECT_FALSE(LooksLikeWebPage("audio/mpeg", "\xFF\xFB\x90\x64"));
  EXPECT_FALSE(LooksLikeWebPage("text/plain", "http://a/stream\n"));
  EXPECT_FALSE(LooksLikeWebPage("", "<asx version=\"3.0\">"));
  EXPECT_FALSE(LooksLikeWebPage("", ""));
}
