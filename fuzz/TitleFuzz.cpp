// Now-playing titles: the StreamTitle of an ICY metadata block, and the text shown of any
// bytes (UTF-8 or Windows-1252, numeric character references decoded). What is shown
// has no control character and no half of a surrogate pair, no blank at either end nor two
// in a row, and at most kMaxTitleChars characters.
#include "FuzzInput.h"
#include "playback/TitleRules.h"

namespace {

// An ICY block is at most 255 * 16 bytes; tags may be longer.
constexpr std::size_t kMaxInput = 16 * 1024;

void CheckShown(const std::u16string& shown) {
  std::size_t chars = 0;
  for (std::size_t i = 0; i < shown.size(); ++i, ++chars) {
    const char16_t c = shown[i];
    FUZZ_CHECK(c >= 0x20 && !(c >= 0x7F && c <= 0x9F));
    FUZZ_CHECK(!(c >= 0xDC00 && c <= 0xDFFF));
    if (c >= 0xD800 && c <= 0xDBFF) {
      FUZZ_CHECK(i + 1 < shown.size() && shown[i + 1] >= 0xDC00 && shown[i + 1] <= 0xDFFF);
      ++i;
    }
    if (c == u' ') FUZZ_CHECK(i > 0 && i + 1 < shown.size() && shown[i + 1] != u' ');
  }
  FUZZ_CHECK(chars <= playback::kMaxTitleChars);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > kMaxInput) return 0;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  if (const std::optional<std::string> title = playback::IcyStreamTitle(bytes)) {
    FUZZ_CHECK(bytes.find(*title) != std::string_view::npos);
    CheckShown(playback::DecodeTitle(*title));
  }
  CheckShown(playback::DecodeTitle(bytes));
  return 0;
}
