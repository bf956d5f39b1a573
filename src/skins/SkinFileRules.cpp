#include "skins/SkinFileRules.h"

#include <algorithm>
#include <charconv>

#include "base/LineRules.h"
#include "base/TextRules.h"

namespace skins {

namespace {

constexpr std::array<ColourName, kColourNames> kNames{{
    {"clBlack", 0x00000000},
    {"clMaroon", 0x00000080},
    {"clGreen", 0x00008000},
    {"clOlive", 0x00008080},
    {"clNavy", 0x00800000},
    {"clPurple", 0x00800080},
    {"clTeal", 0x00808000},
    {"clGray", 0x00808080},
    {"clSilver", 0x00C0C0C0},
    {"clRed", 0x000000FF},
    {"clLime", 0x0000FF00},
    {"clYellow", 0x0000FFFF},
    {"clBlue", 0x00FF0000},
    {"clFuchsia", 0x00FF00FF},
    {"clAqua", 0x00FFFF00},
    {"clWhite", 0x00FFFFFF},
    {"clMoneyGreen", 0x00C0DCC0},
    {"clSkyBlue", 0x00F0CAA6},
    {"clCream", 0x00F0FBFF},
    {"clMedGray", 0x00A4A0A0},
    {"clActiveBorder", 0xFF00000A},
    {"clActiveCaption", 0xFF000002},
    {"clAppWorkSpace", 0xFF00000C},
    {"clBackground", 0xFF000001},
    {"clBtnFace", 0xFF00000F},
    {"clBtnHighlight", 0xFF000014},
    {"clBtnShadow", 0xFF000010},
    {"clBtnText", 0xFF000012},
    {"clCaptionText", 0xFF000009},
    {"clDefault", 0x20000000},
    {"clGradientActiveCaption", 0xFF00001B},
    {"clGradientInactiveCaption", 0xFF00001C},
    {"clGrayText", 0xFF000011},
    {"clHighlight", 0xFF00000D},
    {"clHighlightText", 0xFF00000E},
    {"clHotLight", 0xFF00001A},
    {"clInactiveBorder", 0xFF00000B},
    {"clInactiveCaption", 0xFF000003},
    {"clInactiveCaptionText", 0xFF000013},
    {"clInfoBk", 0xFF000018},
    {"clInfoText", 0xFF000017},
    {"clMenu", 0xFF000004},
    {"clMenuBar", 0xFF00001E},
    {"clMenuHighlight", 0xFF00001D},
    {"clMenuText", 0xFF000007},
    {"clNone", 0x1FFFFFFF},
    {"clScrollBar", 0xFF000000},
    {"cl3DDkShadow", 0xFF000015},
    {"cl3DLight", 0xFF000016},
    {"clWindow", 0xFF000005},
    {"clWindowFrame", 0xFF000006},
    {"clWindowText", 0xFF000008},
}};

// The offending text as an error message quotes it: a damaged file may hold a line of
// thousands of characters, which no message box should repeat in full.
std::string Quoted(const std::string& text) {
  constexpr std::size_t kShown = 80;
  return text.size() <= kShown ? text : text.substr(0, kShown) + "...";
}

[[noreturn]] void NotAnInteger(const std::string& text) {
  throw base::EConvertError("'" + Quoted(text) + "' is not a valid integer value");
}

int ParseInteger(const std::string& text) {
  try {
    return base::ParseSettingsInteger(text);
  } catch (const base::EConvertError&) {
    NotAnInteger(text);
  }
}

int ClampPosition(int v) {
  return std::clamp(v, -kMaxSkinPosition, kMaxSkinPosition);
}

const std::string& LineAt(const std::vector<std::string>& lines, std::size_t i) {
  static const std::string empty;
  return i < lines.size() ? lines[i] : empty;
}

std::string TextLine(const std::string& line) {
  return line.substr(0, kMaxSkinTextLine);
}

}  // namespace

const std::array<ColourName, kColourNames>& ColourNames() {
  return kNames;
}

SkinValues InitialSkin() {
  SkinValues v;
  v.colours = {ui::clAqua, ui::clTeal, ui::clAqua, ui::clTeal, ui::clBlack, ui::clSilver, ui::clWhite, ui::clMaroon};
  v.positions = {{{327, 16},
                  {469, 9},
                  {290, 60},
                  {290, 136},
                  {290, 215},
                  {480, 204},
                  {288, 285},
                  {350, 285},
                  {412, 285},
                  {48, 66},
                  {48, 108},
                  {48, 150},
                  {48, 192},
                  {48, 235},
                  {48, 277},
                  {48, 319}}};
  return v;
}

std::string ColourToText(ui::Color colour) {
  for (const ColourName& n : kNames)
    if (n.value == colour) return n.name;
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string text = "$";
  for (int shift = 28; shift >= 0; shift -= 4) text += kHex[(colour >> shift) & 0xF];
  return text;
}

ui::Color TextToColour(const std::string& text) {
  for (const ColourName& n : kNames)
    if (base::CompareTextNoCase(text, n.name) == 0) return n.value;
  if (!text.empty() && text[0] == '$') {
    // Up to eight hexadecimal digits: every 32-bit value, system colours included.
    const char* first = text.data() + 1;
    const char* last = text.data() + text.size();
    std::uint32_t value = 0;
    const auto [ptr, ec] = std::from_chars(first, last, value, 16);
    if (first == last || ec != std::errc() || ptr != last) NotAnInteger(text);
    return value;
  }
  return ui::Color(ParseInteger(text));
}

void ReadSkin(const std::vector<std::string>& lines, SkinTarget& target) {
  static constexpr SkinColour kBeforeText[] = {scWActive, scWPassive};
  static constexpr SkinColour kAfterText[] = {scActive, scPassive, scPopup, scButtonText, scMouseOver, scTrans};
  std::size_t i = 0;
  target.SetImagePath(TextLine(LineAt(lines, i++)));
  for (SkinColour c : kBeforeText) target.SetColour(c, TextToColour(LineAt(lines, i++)));
  target.SetLedText(TextLine(LineAt(lines, i++)));
  for (SkinColour c : kAfterText) target.SetColour(c, TextToColour(LineAt(lines, i++)));
  for (int item = 0; item < kMovableItems; ++item) {
    target.SetItemLeft(item, ClampPosition(ParseInteger(LineAt(lines, i++))));
    target.SetItemTop(item, ClampPosition(ParseInteger(LineAt(lines, i++))));
  }
}

std::vector<std::string> SkinLines(const SkinValues& v) {
  std::vector<std::string> lines;
  lines.reserve(kSkinLineCount);
  lines.push_back(v.imagePath.empty() ? kDefaultImagePath : v.imagePath);
  lines.push_back(ColourToText(v.colours[scWActive]));
  lines.push_back(ColourToText(v.colours[scWPassive]));
  lines.push_back(v.ledText);
  for (SkinColour c : {scActive, scPassive, scPopup, scButtonText, scMouseOver, scTrans})
    lines.push_back(ColourToText(v.colours[c]));
  for (const Position& p : v.positions) {
    lines.push_back(std::to_string(p.left));
    lines.push_back(std::to_string(p.top));
  }
  return lines;
}

}  // namespace skins
