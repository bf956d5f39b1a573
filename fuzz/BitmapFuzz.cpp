// Windows bitmap files (.bmp) as Load Image reads them: every header, depth and
// compression, with damaged fields and short data.
#include "FuzzInput.h"
#include "skins/BitmapRules.h"

namespace {

constexpr std::size_t kMaxInput = 256 * 1024;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > kMaxInput) return 0;
  try {
    const base::PixelImage image = skins::DecodeBitmap({data, size});
    FUZZ_CHECK(image.width > 0 && image.height > 0);
    FUZZ_CHECK(image.width <= skins::kMaxBitmapSide && image.height <= skins::kMaxBitmapSide);
    FUZZ_CHECK(std::int64_t(image.width) * image.height <= skins::kMaxBitmapPixels);
    FUZZ_CHECK(image.pixels.size() == std::size_t(image.width) * std::size_t(image.height));
    for (std::uint32_t p : image.pixels) FUZZ_CHECK((p >> 24) == 0);
  } catch (const skins::EBitmapError&) {
  }
  return 0;
}
