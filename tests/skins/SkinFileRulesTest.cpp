#include "skins/SkinFileRules.h"

#include <gtest/gtest.h>

#include "skins/LayoutRules.h"
#include "base/LineRules.h"
#include "support/BuiltInSkin.h"

namespace {

using namespace skins;

// Keeps what a read applied, in order.
class Recorder : public SkinTarget {
 public:
  SkinValues values;
  int applied = 0;
  void SetImagePath(const std::string& path) override { values.imagePath = path, ++applied; }
  void SetColour(SkinColour c, ui::Color v) override { values.colours[c] = v, ++applied; }
  void SetLedText(const std::string& text) override { values.ledText = text, ++applied; }
  void SetItemLeft(int item, int left) override { values.positions.at(std::size_t(item)).left = left, ++applied; }
  void SetItemTop(int item, int top) override { values.positions.at(std::size_t(item)).top = top, ++applied; }
};

TEST(SkinColourText, EveryNamedColourIsWrittenByItsFirstNameAndReadBackInAnyCase) {
  for (const ColourName& n : ColourNames()) {
    // The first entry with the value names it.
    const ColourName* first = nullptr;
    for (const ColourName& m : ColourNames())
      if (m.value == n.value) {
        first = &m;
        break;
      }
    EXPECT_EQ(ColourToText(n.value), first->name);
    std::string upper = n.name, lower = n.name;
    for (char& c : upper) c = char(std::toupper(static_cast<unsigned char>(c)));
    for (char& c : lower) c = char(std::tolower(static_cast<unsigned char>(c)));
    EXPECT_EQ(TextToColour(n.name), n.value) << n.name;
    EXPECT_EQ(TextToColour(upper), n.value) << upper;
    EXPECT_EQ(TextToColour(lower), n.value) << lower;
  }
}

TEST(SkinColourText, ValuesWithoutANameAreWrittenAsEightUpperCaseHexDigits) {
  struct Case {
    ui::Color value;
    const char* text;
  } cases[] = {{0x004080FF, "$004080FF"},
               {0x00000001, "$00000001"},
               {0xFF0000FF, "$FF0000FF"},
               {0x00ABCDEF, "$00ABCDEF"},
               {0xFFFFFFFF, "$FFFFFFFF"}};
  for (const Case& c : cases) {
    EXPECT_EQ(ColourToText(c.value), c.text);
    EXPECT_EQ(TextToColour(c.text), c.value);
  }
  EXPECT_EQ(ColourToText(0x00FFFF00), "clAqua") << "not $00FFFF00";
}

TEST(SkinColourText, AquaReadsTheSameFromItsNameHexAndDecimal) {
  for (const char* text : {"CLAQUA", "clAqua", "claqua", "$00FFFF00", "$ffff00", "16776960", "+16776960"})
    EXPECT_EQ(TextToColour(text), ui::clAqua) << text;
  EXPECT_EQ(TextToColour("-16777211"), 0xFF000005u) << "a system colour written in decimal";
  EXPECT_EQ(TextToColour("-1"), 0xFFFFFFFFu);
}

TEST(SkinColourText, AnythingElseIsNotAValidIntegerValue) {
  for (const char* text :
       {"", "clAquamarine", "aqua", "$", "$G0", "$123456789", "0x10", "4294967296", "12 34", "$-1", "--1"}) {
    try {
      TextToColour(text);
      ADD_FAILURE() << "accepted " << text;
    } catch (const base::EConvertError& e) {
      EXPECT_EQ(e.what(), "'" + std::string(text) + "' is not a valid integer value");
    }
  }
}

TEST(SkinColourText, ALongBadLineIsQuotedShortened) {
  const std::string line(5000, 'x');
  try {
    TextToColour(line);
    FAIL();
  } catch (const base::EConvertError& e) {
    EXPECT_EQ(e.what(), "'" + std::string(80, 'x') + "...' is not a valid integer value");
  }
}

TEST(SkinFile, TheInitialSkinIsWrittenAsItsFortyTwoLines) {
  EXPECT_EQ(SkinLines(InitialSkin()), BuiltInSkinLines());
  SkinValues empty = InitialSkin();
  empty.imagePath.clear();
  EXPECT_EQ(SkinLines(empty)[0], "default");
}

TEST(SkinFile, WrittenLinesReadBackToEveryValueNegativePositionsIncluded) {
  SkinValues v = InitialSkin();
  v.imagePath = "C:\\Skins\\Blue Night.bmp";
  v.ledText = "  spaced  text ";
  v.colours = {0x004080FF, ui::clNavy, 0xFF000005, 0x1FFFFFFF, 0x20000000, 0, 0x00C0DCC0, 0x00123456};
  for (int i = 0; i < kMovableItems; ++i) v.positions[std::size_t(i)] = {-i * 7, i * 13 - 40};
  std::vector<std::string> lines = SkinLines(v);
  ASSERT_EQ(lines.size(), std::size_t(kSkinLineCount));
  EXPECT_EQ(lines[2], "clNavy");
  EXPECT_EQ(lines[4], "clWindow");
  EXPECT_EQ(lines[10], "0");
  EXPECT_EQ(lines[11], "-40");
  // Lines after the 42nd are never read, whatever they hold.
  lines.insert(lines.end(), {"clBogus", "", "\x01\x02"});
  Recorder r;
  ReadSkin(lines, r);
  EXPECT_EQ(r.values, v);
  EXPECT_EQ(r.applied, 1 + kSkinColours + 1 + 2 * kMovableItems);
}

TEST(SkinFile, ABadLineStopsTheReadingAndKeepsWhatCameBefore) {
  struct Case {
    const char* what;
    std::size_t line;  // 0-based
    const char* text;
    int applied;  // values applied before the bad line
  } cases[] = {{"a colour before the text", 2, "clTeel", 2},
               {"the transparent colour", 9, "", 9},
               {"a position", 20, "48.5", 20},
               {"the last position", 41, "1e3", 41}};
  for (const Case& c : cases) {
    std::vector<std::string> lines = BuiltInSkinLines();
    lines[c.line] = c.text;
    Recorder r;
    r.values.ledText = "before";
    EXPECT_THROW(ReadSkin(lines, r), base::EConvertError) << c.what;
    EXPECT_EQ(r.applied, c.applied) << c.what;
    if (c.line < 3) {
      EXPECT_EQ(r.values.ledText, "before") << c.what;
    }
  }
  // A file that ends early stops at its first missing colour or position.
  for (std::size_t length : {0u, 1u, 3u, 10u, 41u}) {
    std::vector<std::string> lines = BuiltInSkinLines();
    lines.resize(length);
    Recorder r;
    try {
      ReadSkin(lines, r);
      ADD_FAILURE() << length << " lines were accepted";
    } catch (const base::EConvertError& e) {
      EXPECT_STREQ(e.what(), "'' is not a valid integer value");
    }
  }
}

TEST(SkinFile, AbsurdPositionsAreKeptWithinReachAndLongTextsAreCut) {
  std::vector<std::string> lines = BuiltInSkinLines();
  lines[0] = std::string(10000, 'p');
  lines[3] = std::string(10000, 't');
  lines[10] = "2000000000";
  lines[11] = "-2000000000";
  lines[12] = "2147483647";
  lines[13] = "-2147483648";
  Recorder r;
  ReadSkin(lines, r);
  EXPECT_EQ(r.values.imagePath.size(), kMaxSkinTextLine);
  EXPECT_EQ(r.values.ledText.size(), kMaxSkinTextLine);
  EXPECT_EQ(r.values.positions[0], (Position{kMaxSkinPosition, -kMaxSkinPosition}));
  EXPECT_EQ(r.values.positions[1], (Position{kMaxSkinPosition, -kMaxSkinPosition}));
  lines[10] = "2147483648";
  EXPECT_THROW(ReadSkin(lines, r), base::EConvertError) << "beyond 32 bits";
}

TEST(Layout, TheCarriedPartFollowsThePointerWithinTheWindowsLeftAndRightEdges) {
  struct Case {
    int x, y, width;
    Position expected;
  } cases[] = {{120, 45, 601, {121, 46}}, {-5, 10, 601, {0, 11}},    {-1, -1, 601, {0, 0}},
               {700, 20, 601, {601, 21}}, {600, 20, 601, {601, 21}}, {10, 5000, 601, {11, 5001}}};
  for (const Case& c : cases) EXPECT_EQ(CarriedPosition(c.x, c.y, c.width), c.expected) << c.x << "," << c.y;
  EXPECT_EQ(PointerCaption(120, 45), "120x45");
  EXPECT_EQ(PointerCaption(-3, 0), "-3x0");
}

TEST(Layout, TheMenuEntriesAreInCodeOrderWithButtonTwosTrailingBlank) {
  const char* captions[kMovableItems]{
      "Drag and Drop Display",          "Drag and Drop Fader Block",       "Drag and Drop Band Block",
      "Drag and Drop Station Block",    "Drag and Drop Record Block",      "Drag and Drop Button Block",
      "Drag and Drop Stop Button",      "Drag and Drop Record Button",     "Drag and Drop Play Button",
      "Drag and Drop Station Button 1", "Drag and Drop Station Button 2 ", "Drag and Drop Station Button 3",
      "Drag and Drop Station Button 4", "Drag and Drop Station Button 5",  "Drag and Drop Station Button 6",
      "Drag and Drop Station Button 7"};
  for (int item = 1; item <= kMovableItems; ++item) EXPECT_STREQ(LayoutEntryCaption(item), captions[item - 1]);
  for (int item : {-1, 0, 17}) EXPECT_STREQ(LayoutEntryCaption(item), "");
}

}  // namespace
