// Titles from ICY metadata and tags, their charsets and clean-up, and the notification
// rate.
#include <gtest/gtest.h>

#include "playback/TitleRules.h"

using namespace playback;

namespace {

std::optional<std::string> Icy(std::string_view block) {
  return IcyStreamTitle(block);
}

TEST(IcyTitle, WellFormedBlocksAndTheirPadding) {
  EXPECT_EQ(Icy(std::string("StreamTitle='Artist - Song';StreamUrl='http://x/';\0\0\0", 52)), "Artist - Song");
  EXPECT_EQ(Icy("StreamTitle='';"), "");
  EXPECT_EQ(Icy("StreamUrl='http://x/';"), std::nullopt);
  EXPECT_EQ(Icy(""), std::nullopt);
  // The field need not come first.
  EXPECT_EQ(Icy("StreamUrl='u';StreamTitle='B';"), "B");
  // Padding ends the text, even when something follows it.
  EXPECT_EQ(Icy(std::string("StreamTitle='A';\0StreamTitle='B';", 34)), "A");
}

TEST(IcyTitle, QuotesInsideTheTitleStay) {
  EXPECT_EQ(Icy("StreamTitle='Guns N' Roses - Don't Cry';"), "Guns N' Roses - Don't Cry");
  EXPECT_EQ(Icy("StreamTitle='It';s here';StreamUrl='';"), "It';s here");
  EXPECT_EQ(Icy("StreamTitle=\"Double\";"), "Double");
}

TEST(IcyTitle, BlocksCutShortOrWithoutQuotes) {
  // A length byte that promised more than came: the block ends inside the title.
  EXPECT_EQ(Icy("StreamTitle='Half a tit"), "Half a tit");
  EXPECT_EQ(Icy("StreamTitle='Closed'"), "Closed");
  // A length byte that promised more than the server meant: sound bytes follow.
  EXPECT_EQ(Icy("StreamTitle='Short';\xff\xfb\x90'x';'y"), "Short");
  EXPECT_EQ(Icy("StreamTitle='"), "");
  EXPECT_EQ(Icy("StreamTitle="), "");
  EXPECT_EQ(Icy("StreamTitle=Bare words;StreamUrl='';"), "Bare words");
  EXPECT_EQ(Icy("StreamTitle=Bare to the end"), "Bare to the end");
}

TEST(TitleTags, ArtistAndTitleMakeOneLine) {
  EXPECT_EQ(TitleFromTags("Artist", "Song", ""), "Artist - Song");
  EXPECT_EQ(TitleFromTags("", "Song", ""), "Song");
  EXPECT_EQ(TitleFromTags("Artist", "", ""), "Artist");
  EXPECT_EQ(TitleFromTags("", "", ""), "");
  EXPECT_EQ(TitleFromTags("A", "S", "Raw ICY title"), "Raw ICY title");
}

TEST(TitleCharset, ValidUtf8IsReadAsUtf8) {
  EXPECT_EQ(DecodeTitle("Caf\xC3\xA9 \xE2\x82\xAC"), u"Caf\u00E9 \u20AC");
  EXPECT_EQ(DecodeTitle("\xD0\x9C\xD1\x83\xD0\xB7"), u"\u041C\u0443\u0437");
  EXPECT_TRUE(IsValidUtf8("plain ASCII"));
  EXPECT_TRUE(IsValidUtf8("\xF0\x9F\x8E\xB5"));
}

TEST(TitleCharset, AnythingElseIsWindows1252) {
  // A lone Latin-1 byte, a truncated sequence, an overlong form, a surrogate, a code
  // point above U+10FFFF: none is UTF-8.
  EXPECT_EQ(DecodeTitle("Caf\xE9"), u"Caf\u00E9");
  EXPECT_EQ(DecodeTitle("\x80 \x93quoted\x94 \x99"), u"\u20AC \u201Cquoted\u201D \u2122");
  EXPECT_EQ(DecodeTitle("end\xC3"), u"end\u00C3");
  EXPECT_FALSE(IsValidUtf8("\xC0\xAF"));
  EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));
  EXPECT_FALSE(IsValidUtf8("\xF4\x90\x80\x80"));
  EXPECT_FALSE(IsValidUtf8("\xE2\x82"));
  // Bytes that Windows-1252 leaves undefined show nothing.
  EXPECT_EQ(DecodeTitle("a\x81\x8D\x8F\x90\x9D"
                        "b"),
            u"ab");
}

TEST(TitleCharset, ControlCharactersNeverPass) {
  EXPECT_EQ(DecodeTitle("Line one\r\nLine two\tend"), u"Line one Line two end");
  EXPECT_EQ(DecodeTitle(std::string("a\0b\x1b[31mc\x7f", 11)), u"ab[31mc");
  // C1 controls arrive through UTF-8 too.
  EXPECT_EQ(DecodeTitle("x\xC2\x85y\xC2\x9Bz"), u"xyz");
  EXPECT_EQ(DecodeTitle("  \t spaced   out \n"), u"spaced out");
  EXPECT_EQ(DecodeTitle("\r\n\t"), u"");
}

TEST(TitleCharset, LongTitlesAreCutAtTheLimitInCharacters) {
  const std::u16string ascii = DecodeTitle(std::string(1000, 'x'));
  EXPECT_EQ(ascii.size(), kMaxTitleChars);
  // 300 two-byte characters: 256 characters, not 256 bytes.
  std::string accents;
  for (int i = 0; i < 300; ++i) accents += "\xC3\xA9";
  EXPECT_EQ(DecodeTitle(accents), std::u16string(kMaxTitleChars, u'\u00E9'));
  // Characters outside the BMP count once and keep both halves of their pair.
  EXPECT_EQ(DecodeTitle("note \xF0\x9F\x8E\xB5!"), u"note \U0001F3B5!");
  std::string spaced;
  for (int i = 0; i < 200; ++i) spaced += "ab  ";
  const std::u16string cut = DecodeTitle(spaced);
  EXPECT_EQ(cut.size(), kMaxTitleChars);
  EXPECT_NE(cut.back(), u' ');
  // The limit falls on a blank: the title ends before it.
  EXPECT_EQ(DecodeTitle(std::string(255, 'y') + " z"), std::u16string(255, u'y'));
}

TEST(TitleCharset, NumericCharacterReferencesAreDecodedWhenWhole) {
  const std::pair<std::string_view, std::u16string_view> cases[] = {
      {"&#1050;&#x438;&#X6771; - &#954;&#128512;", u"\u041A\u0438\u6771 - \u03BA\U0001F600"},
      {"Caf\xE9 &#1082;&#0000000065;", u"Caf\u00E9 \u043AA"},  // in Windows-1252 too
      // Not whole, or more digits than any character needs: left as they are.
      {"&amp; &# &#; &#x; &#12 &#1a; &#00000000065;", u"&amp; &# &#; &#x; &#12 &#1a; &#00000000065;"},
      // Surrogates and what lies beyond Unicode stand for nothing; controls never pass.
      {"a&#55357;&#xDE00;&#1114112;b&#10;c&#0;&#27;&#x85;&#32;", u"a\uFFFD\uFFFD\uFFFDb c"}};
  for (const auto& [sent, shown] : cases) EXPECT_EQ(DecodeTitle(sent), shown) << sent;
  std::string many;  // the limit counts the characters shown, not the references sent
  for (int i = 0; i < 300; ++i) many += "&#1044;";
  EXPECT_EQ(DecodeTitle(many), std::u16string(kMaxTitleChars, u'\u0414'));
}

TEST(TitleNotification, AtMostOnePerIntervalAndOnlyTheNewestWaiting) {
  NotificationGate gate(10000);
  EXPECT_EQ(gate.Due(0), std::nullopt);
  gate.Offer("one");
  EXPECT_EQ(gate.Due(500), "one");
  EXPECT_EQ(gate.Due(600), std::nullopt);  // given out once
  gate.Offer("two");
  gate.Offer("three");
  EXPECT_EQ(gate.Due(9000), std::nullopt);
  EXPECT_EQ(gate.Due(10500), "three");
  gate.Offer("four");
  EXPECT_EQ(gate.Due(30000), "four");
}

}  // namespace
