// The JPEG decoding of the program's pictures: damaged and truncated files and made-up
// sizes must end in EJpegError, never in a crash or an allocation beyond the limits.
#include "FuzzInput.h"
#include "base/Jpeg.h"

namespace {

constexpr std::size_t kMaxInput = 256 * 1024;
// Pictures of up to a million pixels: a few bytes of damaged data can otherwise make the
// decoder fill 16 million pixels for every input, and the search would crawl. The size
// check itself is the same code for every limit.
constexpr std::uint64_t kMaxPixels = 1024 * 1024;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > kMaxInput) return 0;
  try {
    const base::PixelImage image = base::DecodeJpeg({data, size}, kMaxPixels);
    FUZZ_CHECK(image.width > 0 && image.height > 0);
    FUZZ_CHECK(image.pixels.size() == std::size_t(image.width) * std::size_t(image.height));
    for (std::uint32_t p : image.pixels) FUZZ_CHECK((p >> 24) == 0);
  } catch (const base::EJpegError&) {
  }
  return 0;
}
