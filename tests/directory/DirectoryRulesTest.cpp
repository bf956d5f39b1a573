#include <gtest/gtest.h>

#include "directory/AnswerRules.h"
#include "directory/DirectoryFileRules.h"
#include "directory/SearchRules.h"
#include "directory/ServerRules.h"

using namespace directory;

TEST(DirectorySearch, PathEscapesFiltersAndLeavesOutEmptyOnes) {
  SearchQuery q;
  q.name = " Jazz & Blues ";
  q.tag = "r\xC3\xA9";
  q.limit = 100000;
  EXPECT_EQ(SearchPath(q), "/json/stations/search?name=Jazz%20%26%20Blues&tag=r%C3%A9&hidebroken=true"
                           "&order=votes&reverse=true&limit=500");
  q = {};
  q.countryCode = "DE";
  q.codec = "MP3";
  q.showBroken = true;
  EXPECT_EQ(SearchPath(q), "/json/stations/search?countrycode=DE&codec=MP3&hidebroken=false&order=votes&reverse=true"
                           "&limit=200");
  EXPECT_EQ(ClickPath("96062a7b-0601-11e8-ae97-52543be04c81"), "/json/url/96062a7b-0601-11e8-ae97-52543be04c81");
  for (const char* bad : {"", "../stations", "abc?x=1", "a b"}) EXPECT_EQ(ClickPath(bad), "") << bad;
  EXPECT_EQ(RequestUrl("http://127.0.0.1:8400/", "/json/x"), "http://127.0.0.1:8400/json/x");
}

TEST(DirectoryAnswer, ReadsFieldsOfAnyTypeFiltersBrokenAndKeepsOneEntryPerStream) {
  const std::string answer = R"([
    {"stationuuid":"aa-1","name":"Low","url":"http://a/low","votes":3,"codec":"MP3","bitrate":128,"countrycode":"DE"},
    {"stationuuid":"aa-2","name":"Top","url":"http://x/pls","url_resolved":"HTTP://Host:80/","votes":"90","lastcheckok":1},
    {"stationuuid":"aa-3","name":"Same stream","url_resolved":"http://host:80","votes":50},
    {"stationuuid":"aa-4","name":"Broken","url":"http://b/","votes":99,"lastcheckok":0},
    {"stationuuid":"../x","name":"No id\nline","url":"http://c/","votes":{"n":1},"bitrate":-5,"hls":"true"},
    {"name":"No address","votes":1000}, 42, null, [1,[2,[3]]]
  ])";
  const std::vector<Station> found = ParseAnswer(answer, false);
  ASSERT_EQ(found.size(), 3u);
  EXPECT_EQ(found[0].name, "Top");
  EXPECT_EQ(found[0].url, "HTTP://Host:80/");  // url_resolved is played
  EXPECT_EQ(found[0].votes, 90);
  EXPECT_EQ(found[1].name, "Low");
  EXPECT_EQ(found[1].bitrate, 128);
  EXPECT_EQ(found[2].id, "");  // an id that is not one is never sent back
  EXPECT_EQ(found[2].name, "No id line");
  EXPECT_EQ(found[2].bitrate, 0);
  EXPECT_TRUE(found[2].hls);
  const std::vector<Station> all = ParseAnswer(answer, true);
  ASSERT_EQ(all.size(), 4u);
  EXPECT_EQ(all[0].name, "Broken");
  EXPECT_TRUE(all[0].broken);
}

TEST(DirectoryAnswer, RefusesWhatIsNoListOfStations) {
  for (const char* bad : {"", "<html><body>Bad gateway</body></html>", "{\"error\":1}", "[{\"name\":\"cut", "\"[]\""})
    EXPECT_THROW(ParseAnswer(bad, false), AnswerError) << bad;
  EXPECT_THROW(ParseAnswer(std::string(kMaxAnswerBytes + 1, ' '), false), AnswerError);
  EXPECT_TRUE(ParseAnswer(std::string(100000, '[') + std::string(100000, ']'), false).empty());
}

TEST(DirectoryAnswer, RowsAndAddresses) {
  Station s;
  s.countryCode = "GB";
  s.codec = "AAC+";
  s.bitrate = 64;
  s.votes = 1234;
  EXPECT_EQ(ResultRow(s, "A long station name", 10), "A long ...  GB  AAC+     64     1234");
  s.bitrate = 0;
  EXPECT_EQ(ResultRow(s, "Short", 6), "Short   GB  AAC+      -     1234");
  EXPECT_EQ(AsciiUrl("http://h/caf\xC3\xA9 x"), "http://h/caf%C3%A9 x");
}

TEST(DirectoryServers, NamedServersAndLookedUpNames) {
  EXPECT_EQ(ParseServers(" https://de1.api.example/  http://127.0.0.1:8400\tftp://x  HTTPS://b https://de1.api.example"),
            (std::vector<std::string>{"https://de1.api.example", "http://127.0.0.1:8400", "HTTPS://b"}));
  std::vector<std::string> servers =
      ServersFromNames({"de1.api.radio-browser.info.", "", "10.0.0.1", "NL1.api.radio-browser.info", "a b", "de1.api.radio-browser.info"}, 7);
  std::sort(servers.begin(), servers.end());
  EXPECT_EQ(servers, (std::vector<std::string>{"https://de1.api.radio-browser.info", "https://nl1.api.radio-browser.info"}));
}

TEST(DirectoryFile, RoundTripsPresetsAndCountsAClickOnceADay) {
  DirectoryFile file = ParseDirectoryFile(
      "[Directory]\r\nServers=http://a http://b\r\n[Presets]\r\nPreset=Jazz=1|3|2|ab-12|http://s/x|y\r\n"
      "Preset=Jazz|101|1|ab|http://s\r\nPreset=Jazz|1|1|not id|http://s\r\n[Clicks]\r\nClick=ab-12|2026-12-09\r\n"
      "Click=ab|yesterday\r\n");
  EXPECT_EQ(file.servers, "http://a http://b");
  ASSERT_EQ(file.presets.size(), 1u);
  EXPECT_EQ(file.presets[0], (PresetStation{"Jazz=1", 3, 2, "ab-12", "http://s/x|y"}));
  EXPECT_EQ(ParseDirectoryFile(DirectoryFileText(file)), file);

  EXPECT_EQ(PresetStationId(file, "Jazz=1", 3, 2, "http://s/x|y"), "ab-12");
  EXPECT_EQ(PresetStationId(file, "Jazz=1", 3, 2, "http://edited"), std::nullopt);
  KeepPresetStation(file, "Jazz=1", 3, 2, "", "http://own");  // the user's own station now
  EXPECT_TRUE(file.presets.empty());

  EXPECT_FALSE(TakeClick(file, "ab-12", "2026-12-09"));
  EXPECT_TRUE(TakeClick(file, "cd-34", "2026-12-09"));
  EXPECT_TRUE(TakeClick(file, "ab-12", "2026-12-10"));
  EXPECT_EQ(file.clicks.size(), 1u);
  EXPECT_FALSE(TakeClick(file, "../x", "2026-12-10"));
}
