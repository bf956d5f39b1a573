// The skin file: 42 lines of text, one value each, in a fixed order (image path, eight
// colours around the LED text, the positions of sixteen movable parts of the main
// window), and the colour texts it writes. Portable.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "ui/Color.h"
#include "looks/SkinColours.h"

namespace skins {

constexpr int kSkinLineCount = 42;
constexpr const char* kCurrentSkinFileName = "currentskin.skn";
// What a skin file written under an empty name is called.
constexpr const char* kUnnamedSkinFileName = "CurrentSkin.skn";
constexpr const char* kDefaultImagePath = "default";
constexpr const char* kDefaultLedText = "OVEXIA TUNORA ONLINE!";

// The eight skin colours, in the order of their preview panels in the designer.
using looks::kSkinColours;
using looks::SkinColour;
using enum looks::SkinColour;

// The sixteen parts of the main window that the layout moves, in file order (which is
// also the order of the layout menu): display, fader, band, station, record and button
// blocks, stop, record and play buttons, station buttons 1 to 7.
constexpr int kMovableItems = 16;

struct Position {
  int left = 0;
  int top = 0;
  friend bool operator==(const Position&, const Position&) = default;
};

struct SkinValues {
  std::string imagePath = kDefaultImagePath;
  std::array<ui::Color, kSkinColours> colours{};
  std::string ledText = kDefaultLedText;
  std::array<Position, kMovableItems> positions{};
  friend bool operator==(const SkinValues&, const SkinValues&) = default;
};

// The values before any skin is loaded: the designer's initial colours and texts and the
// main window's built-in layout.
SkinValues InitialSkin();

// ---- Colour texts ---------------------------------------------------------------------

struct ColourName {
  const char* name;
  ui::Color value;
};
constexpr int kColourNames = 52;
const std::array<ColourName, kColourNames>& ColourNames();

// The name of the first table entry with this value, else "$" and eight upper-case
// hexadecimal digits.
std::string ColourToText(ui::Color colour);
// A table name in any letter case, else an integer: decimal with an optional sign, or
// "$" and hexadecimal digits, within 32 bits. Anything else raises EConvertError
// ("'%s' is not a valid integer value").
ui::Color TextToColour(const std::string& text);

// ---- The file -------------------------------------------------------------------------

// Where the values of a skin file go, line by line as they are read.
class SkinTarget {
 public:
  virtual ~SkinTarget() = default;
  virtual void SetImagePath(const std::string& path) = 0;
  virtual void SetColour(SkinColour colour, ui::Color value) = 0;
  virtual void SetLedText(const std::string& text) = 0;
  virtual void SetItemLeft(int item, int left) = 0;
  virtual void SetItemTop(int item, int top) = 0;
};

// The most that is read of a skin file: its 42 lines fit many times over. Longer files
// are read up to this size; lines beyond it count as missing.
constexpr std::size_t kMaxSkinFileBytes = 256 * 1024;
// The longest image path or LED text taken from a file; longer lines are cut there.
constexpr std::size_t kMaxSkinTextLine = 4096;
// Positions are kept within this distance of the window's corner, so that a position
// and a size never add up beyond what a window coordinate can hold.
constexpr int kMaxSkinPosition = 30000;

// Applies the 42 lines in order, each as soon as it is read. The first line that is
// not a valid colour or integer (a missing line counts as empty) raises EConvertError;
// what came before it stays applied, nothing after it is. Lines after the 42nd are
// never looked at.
void ReadSkin(const std::vector<std::string>& lines, SkinTarget& target);

// The 42 lines of a skin file (an empty image path is written as "default").
std::vector<std::string> SkinLines(const SkinValues& values);

}  // namespace skins
