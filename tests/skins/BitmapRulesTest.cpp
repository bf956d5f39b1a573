#include "skins/BitmapRules.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace skins;
using Bytes = std::vector<std::uint8_t>;

void Put(Bytes& b, std::uint32_t v, int n) {
  for (int i = 0; i < n; ++i) b.push_back(std::uint8_t(v >> (8 * i)));
}

struct BmpShape {
  std::int32_t width = 2, height = 2;
  int bits = 24;
  std::uint32_t compression = 0;
  std::vector<std::uint32_t> palette;  // 0x00RRGGBB
  std::vector<std::uint32_t> masks;    // red, green, blue for bit fields
  Bytes pixels;
  std::uint32_t infoSize = 40;
  int planes = 1;
};

Bytes MakeBmp(const BmpShape& s) {
  Bytes info;
  if (s.infoSize == 12) {
    Put(info, 12, 4);
    Put(info, std::uint32_t(s.width), 2);
    Put(info, std::uint32_t(s.height), 2);
    Put(info, std::uint32_t(s.planes), 2);
    Put(info, std::uint32_t(s.bits), 2);
  } else {
    Put(info, s.infoSize, 4);
    Put(info, std::uint32_t(s.width), 4);
    Put(info, std::uint32_t(s.height), 4);
    Put(info, std::uint32_t(s.planes), 2);
    Put(info, std::uint32_t(s.bits), 2);
    Put(info, s.compression, 4);
    Put(info, std::uint32_t(s.pixels.size()), 4);
    Put(info, 2835, 4);
    Put(info, 2835, 4);
    Put(info, std::uint32_t(s.palette.size()), 4);
    Put(info, 0, 4);
    for (std::uint32_t m : s.masks) Put(info, m, 4);
    while (info.size() < s.infoSize) info.push_back(0);
  }
  Bytes pal;
  for (std::uint32_t c : s.palette) Put(pal, c, s.infoSize == 12 ? 3 : 4);
  Bytes file{'B', 'M'};
  const std::uint32_t offset = std::uint32_t(14 + info.size() + pal.size());
  Put(file, std::uint32_t(offset + s.pixels.size()), 4);
  Put(file, 0, 4);
  Put(file, offset, 4);
  file.insert(file.end(), info.begin(), info.end());
  file.insert(file.end(), pal.begin(), pal.end());
  file.insert(file.end(), s.pixels.begin(), s.pixels.end());
  return file;
}

constexpr std::uint32_t kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF, kWhite = 0xFFFFFF, kBlack = 0;

// The picture every format below encodes, top row first: red green / blue white.
const std::vector<std::uint32_t> kPicture{kRed, kGreen, kBlue, kWhite};

TEST(BitmapDecode, EveryPlainFormatGivesTheSamePixels) {
  const std::vector<std::uint32_t> palette{kBlack, kRed, kGreen, kBlue, kWhite};
  struct Case {
    const char* what;
    BmpShape shape;
  } cases[] = {
      // Rows bottom-up, each padded to 4 bytes.
      {"24 bits", {2, 2, 24, 0, {}, {}, {0xFF, 0, 0, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 0xFF, 0, 0xFF, 0, 0, 0}}},
      {"24 bits top-down", {2, -2, 24, 0, {}, {}, {0, 0, 0xFF, 0, 0xFF, 0, 0, 0, 0xFF, 0, 0, 0xFF, 0xFF, 0xFF, 0, 0}}},
      {"32 bits", {2, 2, 32, 0, {}, {}, {0xFF, 0, 0, 9, 0xFF, 0xFF, 0xFF, 9, 0, 0, 0xFF, 9, 0, 0xFF, 0, 9}}},
      {"32 bits in fields",
       {2,
        2,
        32,
        3,
        {},
        {0xFF000000, 0x00FF0000, 0x0000FF00},
        {0, 0xFF, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0xFF, 0, 0, 0xFF, 0}}},
      {"16 bits, 5-5-5", {2, 2, 16, 0, {}, {}, {0x1F, 0, 0xFF, 0x7F, 0, 0x7C, 0xE0, 0x03}}},
      {"16 bits in 5-6-5 fields",
       {2, 2, 16, 3, {}, {0xF800, 0x07E0, 0x001F}, {0x1F, 0, 0xFF, 0xFF, 0, 0xF8, 0xE0, 0x07}}},
      {"8 bits", {2, 2, 8, 0, palette, {}, {3, 4, 0, 0, 1, 2, 0, 0}}},
      {"4 bits", {2, 2, 4, 0, palette, {}, {0x34, 0, 0, 0, 0x12, 0, 0, 0}}},
      {"1 bit", {2, 2, 1, 0, {kBlack, kWhite}, {}, {0x40, 0, 0, 0, 0x80, 0, 0, 0}}},
      {"core header", {2, 2, 24, 0, {}, {}, {0xFF, 0, 0, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 0xFF, 0, 0xFF, 0, 0, 0}, 12}},
      {"a version 5 header",
       {2, 2, 24, 0, {}, {}, {0xFF, 0, 0, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 0xFF, 0, 0xFF, 0, 0, 0}, 124}},
  };
  for (const Case& c : cases) {
    base::PixelImage img;
    ASSERT_NO_THROW(img = DecodeBitmap(MakeBmp(c.shape))) << c.what;
    EXPECT_EQ(img.width, 2) << c.what;
    EXPECT_EQ(img.height, 2) << c.what;
    if (c.shape.bits == 1)
      EXPECT_EQ(img.pixels, (std::vector<std::uint32_t>{kWhite, kBlack, kBlack, kWhite})) << c.what;
    else
      EXPECT_EQ(img.pixels, kPicture) << c.what;
  }
}

TEST(BitmapDecode, RunLengthPicturesDecodeRunsCopiesMovesAndLineEnds) {
  const std::vector<std::uint32_t> palette{kBlack, kRed, kGreen, kBlue, kWhite};
  // 4 x 3, bottom row first: a run of 3 blue, end of line; a copy of 4 pixels, end of
  // line; a move 2 right, one white, end of picture. Skipped pixels stay black.
  BmpShape rle8{4, 3, 8, 1, palette, {}, {3, 3, 0, 0, 0, 4, 1, 2, 3, 4, 0, 0, 0, 2, 2, 0, 1, 4, 0, 1}};
  EXPECT_EQ(DecodeBitmap(MakeBmp(rle8)).pixels,
            (std::vector<std::uint32_t>{kBlack, kBlack, kWhite, kBlack, kRed, kGreen, kBlue, kWhite, kBlue, kBlue,
                                        kBlue, kBlack}));
  BmpShape rle4{4, 3, 4, 2, palette, {}, {3, 0x33, 0, 0, 0, 4, 0x12, 0x34, 0, 0, 0, 2, 2, 0, 1, 0x40, 0, 1}};
  EXPECT_EQ(DecodeBitmap(MakeBmp(rle4)).pixels, DecodeBitmap(MakeBmp(rle8)).pixels);
  // Runs beyond the right edge and moves beyond the top are dropped; data that ends
  // without an end mark ends the picture there.
  BmpShape wild{2, 2, 8, 1, palette, {}, {200, 1, 0, 2, 255, 255, 5, 2}};
  EXPECT_EQ(DecodeBitmap(MakeBmp(wild)).pixels, (std::vector<std::uint32_t>{kBlack, kBlack, kRed, kRed}));
}

TEST(BitmapDecode, DamagedFilesAreNotValidBitmaps) {
  const BmpShape good{2, 2, 24, 0, {}, {}, Bytes(16, 0x55)};
  std::vector<std::pair<const char*, Bytes>> cases;
  cases.push_back({"empty", {}});
  cases.push_back({"not a bitmap", Bytes{'G', 'I', 'F', '8', '9', 'a', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}});
  Bytes truncated = MakeBmp(good);
  truncated.resize(truncated.size() - 1);
  cases.push_back({"pixels cut short", truncated});
  const auto with = [&](auto change) {
    BmpShape s = good;
    change(s);
    return MakeBmp(s);
  };
  cases.push_back({"header size 64", with([](BmpShape& s) { s.infoSize = 64; })});
  cases.push_back({"two planes", with([](BmpShape& s) { s.planes = 2; })});
  cases.push_back({"width 0", with([](BmpShape& s) { s.width = 0; })});
  cases.push_back({"height 0", with([](BmpShape& s) { s.height = 0; })});
  cases.push_back({"negative width", with([](BmpShape& s) { s.width = -2; })});
  cases.push_back({"7 bits", with([](BmpShape& s) { s.bits = 7; })});
  cases.push_back({"JPEG inside", with([](BmpShape& s) { s.compression = 4; })});
  cases.push_back({"RLE8 on 24 bits", with([](BmpShape& s) { s.compression = 1; })});
  cases.push_back(
      {"top-down RLE8", with([](BmpShape& s) { s.bits = 8, s.compression = 1, s.height = -2, s.palette = {kRed}; })});
  cases.push_back({"a palette larger than the bits allow", with([](BmpShape& s) {
                     s.bits = 1, s.palette = {kRed, kGreen, kBlue};
                   })});
  cases.push_back({"fields that are not one run", with([](BmpShape& s) {
                     s.bits = 32, s.compression = 3, s.masks = {0xF0F00000, 0xFF00, 0xFF};
                   })});
  cases.push_back({"height -2147483648", with([](BmpShape& s) { s.height = INT32_MIN; })});
  for (const auto& [what, file] : cases) {
    try {
      DecodeBitmap(file);
      ADD_FAILURE() << what << " was decoded";
    } catch (const EBitmapError& e) {
      if (std::string(what) != "height -2147483648") {
        EXPECT_STREQ(e.what(), kInvalidBitmapMessage) << what;
      }
    }
  }
}

TEST(BitmapDecode, PicturesBeyondTheLimitsAreRefusedBeforeAnyPixelIsRead) {
  for (auto [w, h] : {std::pair{10000, 10000}, std::pair{kMaxBitmapSide + 1, 1}, std::pair{1, -(kMaxBitmapSide + 1)}}) {
    const Bytes header = MakeBmp({w, h, 1, 0, {kBlack, kWhite}, {}, {}});
    try {
      DecodeBitmap(header);
      ADD_FAILURE() << w << " x " << h;
    } catch (const EBitmapError& e) {
      EXPECT_NE(std::string(e.what()).find("too large"), std::string::npos) << e.what();
    }
  }
  // One pixel is a picture.
  const base::PixelImage one = DecodeBitmap(MakeBmp({1, 1, 24, 0, {}, {}, {1, 2, 3, 0}}));
  EXPECT_EQ(one.pixels, std::vector<std::uint32_t>{0x030201});
}

// A file cut short: plain rows are refused until the last byte is there; run-length data
// decodes from its first byte on, each pixel either as the whole file gives it or black
// where the cut data never reached.
TEST(BitmapDecode, EveryCutOfAValidFileIsRefusedOrDecodedAsFarAsItGoes) {
  const std::vector<std::uint32_t> palette{kBlack, kRed, kGreen, kBlue, kWhite};
  const struct {
    Bytes file;
    bool runLength;
  } files[] = {{MakeBmp({4, 3, 8, 1, palette, {}, {3, 3, 0, 0, 0, 4, 1, 2, 3, 4, 0, 0, 0, 2, 2, 0, 1, 4, 0, 1}}), true},
               {MakeBmp({3, -2, 16, 3, {}, {0xF800, 0x07E0, 0x001F}, Bytes(16, 0xA5)}), false},
               {MakeBmp({5, 2, 4, 0, palette, {}, Bytes(8, 0x41)}), false}};
  for (const auto& [file, runLength] : files) {
    const base::PixelImage whole = DecodeBitmap(file);
    const std::size_t pixelData = file[10] | (file[11] << 8);
    const std::size_t firstDecoded = runLength ? pixelData + 1 : file.size();
    for (std::size_t n = 0; n <= file.size(); ++n) {
      SCOPED_TRACE(testing::Message() << file.size() << " bytes cut to " << n);
      const Bytes cut(file.begin(), file.begin() + std::ptrdiff_t(n));
      if (n < firstDecoded) {
        try {
          DecodeBitmap(cut);
          ADD_FAILURE() << "a cut file was decoded";
        } catch (const EBitmapError& e) {
          EXPECT_STREQ(e.what(), "Bitmap image is not valid");
        }
        continue;
      }
      const base::PixelImage img = DecodeBitmap(cut);
      ASSERT_EQ(img.width, whole.width);
      ASSERT_EQ(img.height, whole.height);
      for (std::size_t i = 0; i < img.pixels.size(); ++i)
        EXPECT_TRUE(img.pixels[i] == whole.pixels[i] || img.pixels[i] == kBlack) << "pixel " << i;
      if (n == file.size()) {
        EXPECT_EQ(img.pixels, whole.pixels);
      }
    }
  }
}

}  // namespace
