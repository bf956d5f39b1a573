#include "skins/BitmapRules.h"

#include <algorithm>
#include <string>
#include <vector>

namespace skins {

namespace {

constexpr std::uint32_t kRgb = 0, kRle8 = 1, kRle4 = 2, kBitFields = 3;

[[noreturn]] void Invalid() {
  throw EBitmapError(kInvalidBitmapMessage);
}

// Reads little-endian fields; any read beyond the data makes the bitmap invalid.
class Reader {
 public:
  explicit Reader(std::span<const std::uint8_t> data) : data_(data) {}
  std::size_t Size() const { return data_.size(); }
  std::uint32_t U8(std::size_t at) const {
    Need(at, 1);
    return data_[at];
  }
  std::uint32_t U16(std::size_t at) const {
    Need(at, 2);
    return std::uint32_t(data_[at]) | (std::uint32_t(data_[at + 1]) << 8);
  }
  std::uint32_t U32(std::size_t at) const {
    Need(at, 4);
    return U16(at) | (U16(at + 2) << 16);
  }
  const std::uint8_t* At(std::size_t at, std::size_t n) const {
    Need(at, n);
    return data_.data() + at;
  }

 private:
  void Need(std::size_t at, std::size_t n) const {
    if (at > data_.size() || n > data_.size() - at) Invalid();
  }
  std::span<const std::uint8_t> data_;
};

// One channel of a bit-fields pixel: where it sits and how wide it is.
struct Channel {
  std::uint32_t mask = 0;
  int shift = 0;
  int bits = 0;
  explicit Channel(std::uint32_t m = 0) : mask(m) {
    if (!m) return;
    while (!((m >> shift) & 1)) ++shift;
    while (shift + bits < 32 && ((m >> (shift + bits)) & 1)) ++bits;
    if ((m >> shift) != ((bits == 32 ? 0 : (1u << bits)) - 1u)) Invalid();  // not one contiguous run
  }
  std::uint32_t Of(std::uint32_t v) const {
    if (!bits) return 0;
    const std::uint32_t c = (v & mask) >> shift;
    if (bits >= 8) return c >> (bits - 8);
    return c * 255u / ((1u << bits) - 1u);
  }
};

struct Header {
  std::int64_t width = 0;
  std::int64_t height = 0;  // negative: top-down
  std::uint32_t bits = 0;
  std::uint32_t compression = kRgb;
  std::uint32_t colorsUsed = 0;
  std::size_t paletteAt = 0;
  std::size_t paletteEntrySize = 4;
  Channel red, green, blue;
};

Header ReadHeader(const Reader& r) {
  if (r.Size() < 14 || r.U8(0) != 'B' || r.U8(1) != 'M') Invalid();
  Header h;
  const std::uint32_t infoSize = r.U32(14);
  if (infoSize == 12) {
    h.width = r.U16(18);
    h.height = std::int16_t(r.U16(20));
    if (r.U16(22) != 1) Invalid();
    h.bits = r.U16(24);
    if (h.bits != 1 && h.bits != 4 && h.bits != 8 && h.bits != 24) Invalid();
    h.paletteEntrySize = 3;
    h.paletteAt = 14 + 12;
    return h;
  }
  if (infoSize != 40 && infoSize != 52 && infoSize != 56 && infoSize != 108 && infoSize != 124) Invalid();
  h.width = std::int32_t(r.U32(18));
  h.height = std::int32_t(r.U32(22));
  if (r.U16(26) != 1) Invalid();
  h.bits = r.U16(28);
  h.compression = r.U32(30);
  h.colorsUsed = r.U32(46);
  h.paletteAt = 14 + infoSize;
  switch (h.compression) {
    case kRgb:
      if (h.bits != 1 && h.bits != 4 && h.bits != 8 && h.bits != 16 && h.bits != 24 && h.bits != 32) Invalid();
      break;
    case kRle8:
      if (h.bits != 8 || h.height < 0) Invalid();
      break;
    case kRle4:
      if (h.bits != 4 || h.height < 0) Invalid();
      break;
    case kBitFields: {
      if (h.bits != 16 && h.bits != 32) Invalid();
      // The three masks follow a 40-byte header; the larger headers hold them.
      const std::size_t masksAt = 14 + 40;
      h.red = Channel(r.U32(masksAt));
      h.green = Channel(r.U32(masksAt + 4));
      h.blue = Channel(r.U32(masksAt + 8));
      if (infoSize == 40) h.paletteAt += 12;
      break;
    }
    default:
      Invalid();
  }
  if (h.compression == kRgb && h.bits == 16) {
    h.red = Channel(0x7C00);
    h.green = Channel(0x03E0);
    h.blue = Channel(0x001F);
  }
  if (h.compression == kRgb && h.bits == 32) {
    h.red = Channel(0xFF0000);
    h.green = Channel(0x00FF00);
    h.blue = Channel(0x0000FF);
  }
  return h;
}

std::vector<std::uint32_t> ReadPalette(const Reader& r, const Header& h) {
  if (h.bits > 8) return {};
  const std::uint32_t most = 1u << h.bits;
  const std::uint32_t count = h.colorsUsed == 0 ? most : h.colorsUsed;
  if (count > most) Invalid();
  const std::uint8_t* p = r.At(h.paletteAt, std::size_t(count) * h.paletteEntrySize);
  std::vector<std::uint32_t> palette(most, 0);  // indices beyond the palette show black
  for (std::uint32_t i = 0; i < count; ++i, p += h.paletteEntrySize)
    palette[i] = (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[1]) << 8) | p[0];
  return palette;
}

void DecodeRows(const Reader& r, std::size_t offset, const Header& h, const std::vector<std::uint32_t>& palette,
                base::PixelImage& img) {
  const std::size_t stride = ((std::size_t(img.width) * h.bits + 31) / 32) * 4;
  const std::uint8_t* data = r.At(offset, stride * std::size_t(img.height));
  const bool topDown = h.height < 0;
  for (int row = 0; row < img.height; ++row) {
    const std::uint8_t* in = data + std::size_t(row) * stride;
    const int y = topDown ? row : img.height - 1 - row;
    std::uint32_t* out = img.pixels.data() + std::size_t(y) * std::size_t(img.width);
    for (int x = 0; x < img.width; ++x) {
      switch (h.bits) {
        case 1:
          out[x] = palette[(in[x >> 3] >> (7 - (x & 7))) & 1];
          break;
        case 4:
          out[x] = palette[(in[x >> 1] >> ((x & 1) ? 0 : 4)) & 0xF];
          break;
        case 8:
          out[x] = palette[in[x]];
          break;
        case 16: {
          const std::uint32_t v = std::uint32_t(in[2 * x]) | (std::uint32_t(in[2 * x + 1]) << 8);
          out[x] = (h.red.Of(v) << 16) | (h.green.Of(v) << 8) | h.blue.Of(v);
          break;
        }
        case 24:
          out[x] = (std::uint32_t(in[3 * x + 2]) << 16) | (std::uint32_t(in[3 * x + 1]) << 8) | in[3 * x];
          break;
        default: {
          const std::uint8_t* q = in + 4 * std::size_t(x);
          const std::uint32_t v = std::uint32_t(q[0]) | (std::uint32_t(q[1]) << 8) | (std::uint32_t(q[2]) << 16) |
                                  (std::uint32_t(q[3]) << 24);
          out[x] = (h.red.Of(v) << 16) | (h.green.Of(v) << 8) | h.blue.Of(v);
          break;
        }
      }
    }
  }
}

// Run-length data, bottom-up. Pixels it never reaches stay black; pixels it puts
// outside the picture are dropped; data that ends early ends the picture there.
void DecodeRle(const Reader& r, std::size_t offset, const Header& h, const std::vector<std::uint32_t>& palette,
               base::PixelImage& img) {
  const bool four = h.compression == kRle4;
  std::size_t at = offset;
  std::int64_t x = 0, y = 0;  // y counts rows from the bottom
  const auto put = [&](std::uint32_t index) {
    if (x < img.width && y < img.height)
      img.pixels[std::size_t(img.height - 1 - y) * std::size_t(img.width) + std::size_t(x)] = palette[index];
    ++x;
  };
  while (at + 2 <= r.Size() && y < img.height) {
    const std::uint32_t count = r.U8(at), value = r.U8(at + 1);
    at += 2;
    if (count > 0) {
      for (std::uint32_t i = 0; i < count && x < img.width; ++i)
        put(four ? ((i & 1) ? value & 0xF : value >> 4) : value);
      continue;
    }
    if (value == 0) {  // end of line
      x = 0;
      ++y;
    } else if (value == 1) {  // end of picture
      break;
    } else if (value == 2) {  // move right and up
      if (at + 2 > r.Size()) break;
      x += r.U8(at);
      y += r.U8(at + 1);
      at += 2;
    } else {  // `value` pixels as they are, padded to an even number of bytes
      const std::size_t bytes = four ? (value + 1) / 2 : value;
      if (at + bytes > r.Size()) break;
      for (std::uint32_t i = 0; i < value; ++i) {
        const std::uint32_t b = r.U8(at + (four ? i / 2 : i));
        put(four ? ((i & 1) ? b & 0xF : b >> 4) : b);
      }
      at += bytes + (bytes & 1);
    }
  }
}

}  // namespace

base::PixelImage DecodeBitmap(std::span<const std::uint8_t> file) {
  const Reader r(file);
  const Header h = ReadHeader(r);
  const std::int64_t width = h.width, height = h.height < 0 ? -h.height : h.height;
  if (width < 1 || height < 1) Invalid();
  if (width > kMaxBitmapSide || height > kMaxBitmapSide || width * height > kMaxBitmapPixels)
    throw EBitmapError("The picture is too large: " + std::to_string(width) + " x " + std::to_string(height) +
                       " pixels (at most " + std::to_string(kMaxBitmapSide) + " on a side and " +
                       std::to_string(kMaxBitmapPixels) + " in all)");
  const std::vector<std::uint32_t> palette = ReadPalette(r, h);
  const std::size_t offset = r.U32(10);
  base::PixelImage img;
  img.width = int(width);
  img.height = int(height);
  img.pixels.assign(std::size_t(width * height), 0);
  if (h.compression == kRle8 || h.compression == kRle4) {
    if (offset >= r.Size()) Invalid();
    DecodeRle(r, offset, h, palette, img);
  } else {
    DecodeRows(r, offset, h, palette, img);
  }
  return img;
}

}  // namespace skins
