// The skin file (.skn) and its colour texts. A skin that reads without error must come
// back the same after it is written out and read again, and every colour must survive
// its text.
#include "FuzzInput.h"
#include "skins/SkinFileRules.h"
#include "stations/StationFilesRules.h"

namespace {

constexpr std::size_t kMaxInput = 64 * 1024;

class Collect : public skins::SkinTarget {
 public:
  skins::SkinValues values;
  void SetImagePath(const std::string& path) override {
    FUZZ_CHECK(path.size() <= skins::kMaxSkinTextLine);
    values.imagePath = path;
  }
  void SetColour(skins::SkinColour colour, ui::Color value) override {
    FUZZ_CHECK(int(colour) >= 0 && int(colour) < skins::kSkinColours);
    values.colours[std::size_t(colour)] = value;
  }
  void SetLedText(const std::string& text) override {
    FUZZ_CHECK(text.size() <= skins::kMaxSkinTextLine);
    values.ledText = text;
  }
  void SetItemLeft(int item, int left) override { Item(item).left = Place(left); }
  void SetItemTop(int item, int top) override { Item(item).top = Place(top); }

 private:
  skins::Position& Item(int item) {
    FUZZ_CHECK(item >= 0 && item < skins::kMovableItems);
    return values.positions[std::size_t(item)];
  }
  static int Place(int v) {
    FUZZ_CHECK(v >= -skins::kMaxSkinPosition && v <= skins::kMaxSkinPosition);
    return v;
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > kMaxInput) return 0;
  fuzz::Input in(data, size);
  // A colour as a number, and the first line as a colour text.
  const ui::Color colour = in.Long();
  FUZZ_CHECK(skins::TextToColour(skins::ColourToText(colour)) == colour);
  const std::vector<std::string> lines = base::SplitLines(in.Rest());
  if (!lines.empty()) {
    try {
      const ui::Color read = skins::TextToColour(lines[0]);
      FUZZ_CHECK(skins::TextToColour(skins::ColourToText(read)) == read);
    } catch (const base::EConvertError& e) {
      FUZZ_CHECK(std::string(e.what()).size() < 200);  // a damaged line is quoted short
    }
  }

  Collect first;
  try {
    skins::ReadSkin(lines, first);
  } catch (const base::EConvertError& e) {
    FUZZ_CHECK(std::string(e.what()).size() < 200);
    return 0;
  }
  const std::vector<std::string> written = skins::SkinLines(first.values);
  FUZZ_CHECK(written.size() == std::size_t(skins::kSkinLineCount));
  Collect second;
  skins::ReadSkin(base::SplitLines(base::JoinLines(written)), second);
  if (first.values.imagePath.empty()) first.values.imagePath = skins::kDefaultImagePath;
  FUZZ_CHECK(second.values == first.values);
  return 0;
}
