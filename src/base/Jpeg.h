// Decoding JPEG pictures into 32-bit pixels. Portable (libjpeg API).
#pragma once

#include <cstdint>
#include <span>
#include <stdexcept>
#include <vector>

namespace base {

struct PixelImage {
  int width = 0;
  int height = 0;
  // Top-down rows of 0x00RRGGBB pixels (the memory order B, G, R, 0 of a 32-bit DIB).
  std::vector<std::uint32_t> pixels;
  std::uint32_t At(int x, int y) const { return pixels[std::size_t(y) * std::size_t(width) + std::size_t(x)]; }
};

class EJpegError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Decodes a whole JPEG file held in memory. Damaged or truncated data (data that ends
// before the picture does), and pictures larger than 16384 pixels on a side or 16.7
// million pixels in all, raise EJpegError with a message; the size is refused before
// anything is allocated for it. maxPixels lowers the limit on the pixel count (a fuzzer
// keeps each input cheap with it).
constexpr std::uint64_t kJpegMaxPixels = 16 * 1024 * 1024;
PixelImage DecodeJpeg(std::span<const std::uint8_t> data, std::uint64_t maxPixels = kJpegMaxPixels);

}  // namespace base
