// Reading Windows bitmap files (.bmp) from memory into 32-bit pixels. Skin images come
// from anyone, so every header field is checked against the data before it is used.
// Portable.
#pragma once

#include <cstdint>
#include <span>
#include <stdexcept>

#include "base/Jpeg.h"

namespace skins {

// A file that is not a readable Windows bitmap: "Bitmap image is not valid". A picture
// beyond the size limits says so instead.
class EBitmapError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

constexpr const char* kInvalidBitmapMessage = "Bitmap image is not valid";
constexpr int kMaxBitmapSide = 16384;
constexpr std::int64_t kMaxBitmapPixels = 16 * 1024 * 1024;
// The largest file worth reading: the biggest picture allowed, uncompressed, with room
// for its headers and palette.
constexpr std::size_t kMaxBitmapFileBytes = std::size_t(kMaxBitmapPixels) * 4 + 1024 * 1024;

// Decodes a whole .bmp file: core (OS/2 1.x) and Windows headers of 40, 52, 56, 108 and
// 124 bytes; 1, 4 and 8 bits with a palette, 16 bits (5-5-5 or bit fields), 24 and 32
// bits (plain or bit fields); bottom-up or top-down rows; RLE8 and RLE4 compression.
// Pixels are top-down 0x00RRGGBB.
base::PixelImage DecodeBitmap(std::span<const std::uint8_t> file);

}  // namespace skins
