#include "base/Jpeg.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <random>

#include <jpeglib.h>

namespace {

// A JPEG of four colour quarters, encoded here so the test needs no sample file.
std::vector<std::uint8_t> EncodeQuarters(int w, int h) {
  jpeg_compress_struct c{};
  jpeg_error_mgr err{};
  c.err = jpeg_std_error(&err);
  jpeg_create_compress(&c);
  unsigned char* out = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&c, &out, &size);
  c.image_width = JDIMENSION(w);
  c.image_height = JDIMENSION(h);
  c.input_components = 3;
  c.in_color_space = JCS_RGB;
  jpeg_set_defaults(&c);
  jpeg_set_quality(&c, 95, TRUE);
  jpeg_start_compress(&c, TRUE);
  std::vector<std::uint8_t> row(std::size_t(w) * 3);
  while (c.next_scanline < c.image_height) {
    const int y = int(c.next_scanline);
    for (int x = 0; x < w; ++x) {
      const bool right = x >= w / 2, bottom = y >= h / 2;
      row[std::size_t(x) * 3 + 0] = right ? 255 : 0;
      row[std::size_t(x) * 3 + 1] = bottom ? 255 : 0;
      row[std::size_t(x) * 3 + 2] = (right && bottom) ? 0 : 128;
    }
    JSAMPROW r[1] = {row.data()};
    jpeg_write_scanlines(&c, r, 1);
  }
  jpeg_finish_compress(&c);
  std::vector<std::uint8_t> data(out, out + size);
  jpeg_destroy_compress(&c);
  std::free(out);
  return data;
}

// The picture's size as its frame header (baseline or progressive) states it.
void SetStatedSize(std::vector<std::uint8_t>& jpeg, int w, int h) {
  for (std::size_t i = 0; i + 8 < jpeg.size(); ++i)
    if (jpeg[i] == 0xFF && (jpeg[i + 1] == 0xC0 || jpeg[i + 1] == 0xC2)) {
      jpeg[i + 5] = std::uint8_t(h >> 8), jpeg[i + 6] = std::uint8_t(h);
      jpeg[i + 7] = std::uint8_t(w >> 8), jpeg[i + 8] = std::uint8_t(w);
      return;
    }
  FAIL() << "no frame header";
}

bool Near(std::uint32_t pixel, int r, int g, int b) {
  const int pr = int((pixel >> 16) & 0xFF), pg = int((pixel >> 8) & 0xFF), pb = int(pixel & 0xFF);
  return std::abs(pr - r) < 12 && std::abs(pg - g) < 12 && std::abs(pb - b) < 12;
}

}  // namespace

TEST(Jpeg, DecodesSizeAndColours) {
  const auto data = EncodeQuarters(488, 232);
  const base::PixelImage img = base::DecodeJpeg(data);
  ASSERT_EQ(img.width, 488);
  ASSERT_EQ(img.height, 232);
  EXPECT_TRUE(Near(img.At(10, 10), 0, 0, 128));
  EXPECT_TRUE(Near(img.At(400, 10), 255, 0, 128));
  EXPECT_TRUE(Near(img.At(10, 200), 0, 255, 128));
  EXPECT_TRUE(Near(img.At(400, 200), 255, 255, 0));
}

TEST(Jpeg, DamagedDataRaisesAnErrorWithAMessage) {
  const auto good = EncodeQuarters(64, 32);
  const std::vector<std::vector<std::uint8_t>> bad{
      {},
      {0xFF, 0xD8},
      {'<', 'h', 't', 'm', 'l', '>', 'n', 'o'},
      std::vector<std::uint8_t>(good.begin(), good.begin() + 20),
  };
  for (const auto& data : bad) {
    try {
      base::DecodeJpeg(data);
      ADD_FAILURE() << "accepted " << data.size() << " bytes";
    } catch (const base::EJpegError& e) {
      EXPECT_NE(std::string(e.what()).find("JPEG"), std::string::npos);
    }
  }
}

// Truncated and corrupted pictures either decode or raise the error; nothing else
// (the sanitizers watch the memory).
TEST(Jpeg, CorruptedBytesNeverCrash) {
  const auto good = EncodeQuarters(96, 48);
  std::mt19937 rng(11);
  for (int round = 0; round < 300; ++round) {
    auto data = good;
    data.resize(std::size_t(rng() % data.size()) + 1);
    for (int k = 0; k < 8 && !data.empty(); ++k) data[rng() % data.size()] = std::uint8_t(rng());
    try {
      const base::PixelImage img = base::DecodeJpeg(data);
      EXPECT_EQ(img.pixels.size(), std::size_t(img.width) * std::size_t(img.height));
    } catch (const base::EJpegError&) {
    }
  }
}

// A picture cut off in its data is damaged, not a picture padded with grey: a few hundred
// bytes would otherwise pass for millions of pixels.
TEST(Jpeg, DataEndingBeforeThePictureRaisesAnError) {
  const auto good = EncodeQuarters(64, 32);
  for (std::size_t keep : {good.size() / 2, good.size() - 40}) {
    const std::vector<std::uint8_t> cut(good.begin(), good.begin() + std::ptrdiff_t(keep));
    try {
      base::DecodeJpeg(cut);
      ADD_FAILURE() << "accepted the first " << keep << " of " << good.size() << " bytes";
    } catch (const base::EJpegError& e) {
      EXPECT_NE(std::string(e.what()).find("Premature end"), std::string::npos) << e.what();
    }
  }
}

// A header stating a size beyond the limits (each side within 16384, but 33.5 million
// pixels in all; or 16384 on both sides) is refused at once, with the size in words.
TEST(Jpeg, AStatedSizeBeyondTheLimitsIsRefusedBeforeDecoding) {
  for (auto [w, h] : {std::pair{8192, 4096}, std::pair{16384, 16384}, std::pair{16385, 8}}) {
    auto data = EncodeQuarters(16, 16);
    SetStatedSize(data, w, h);
    try {
      base::DecodeJpeg(data);
      ADD_FAILURE() << "accepted " << w << " x " << h;
    } catch (const base::EJpegError& e) {
      EXPECT_NE(std::string(e.what()).find(std::to_string(w) + " x " + std::to_string(h)), std::string::npos)
          << e.what();
    }
  }
}

// A lower limit (the fuzzer's) refuses a picture one pixel above it and no other.
TEST(Jpeg, ALowerPixelLimitRefusesOnlyLargerPictures) {
  const auto data = EncodeQuarters(64, 32);
  EXPECT_EQ(base::DecodeJpeg(data, 64 * 32).pixels.size(), 64u * 32u);
  EXPECT_THROW(base::DecodeJpeg(data, 64 * 32 - 1), base::EJpegError);
}
