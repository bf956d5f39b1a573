#include "skins/RegionRules.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>

namespace {

using namespace skins;

constexpr ui::Color kPurple = 0x800080;  // as a colour: 0x00BBGGRR

// A mask drawn as text: '#' is the mask colour (purple), '.' any other colour, 'g'
// a colour that differs from purple in blue only.
std::vector<std::uint32_t> Mask(const std::vector<std::string>& rows) {
  std::vector<std::uint32_t> pixels;
  for (const std::string& row : rows)
    for (char c : row) pixels.push_back(c == '#' ? 0x800080u : c == 'g' ? 0x800081u : 0x102030u);
  return pixels;
}

std::vector<RegionRect> Scan(const std::vector<std::string>& rows, ui::Color mask = kPurple) {
  const std::vector<std::uint32_t> pixels = Mask(rows);
  return ScanMask(pixels.data(), int(rows[0].size()), int(rows.size()), mask);
}

TEST(RegionScan, SmallMasksGiveTheirRuns) {
  struct Case {
    const char* what;
    std::vector<std::string> rows;
    std::vector<RegionRect> expected;
  } cases[] = {
      {"no mask pixel: one rectangle without the last column", {"....", "....", "...."}, {{0, 0, 3, 3}}},
      {"a row of the mask colour only adds nothing", {"....", "####", "...."}, {{0, 0, 3, 1}, {0, 2, 3, 3}}},
      {"two stretches in one row", {".##..#"}, {{0, 0, 1, 1}, {3, 0, 5, 1}}},
      {"the last column never belongs, mask or not", {"...#", "....", "###."}, {{0, 0, 3, 2}}},
      {"a run starting at the last but one column", {"##.."}, {{2, 0, 3, 1}}},
      {"equal rows widen one band; a different row starts another",
       {"#..#.", "#..#.", "..#..", "..#.."},
       {{1, 0, 3, 2}, {0, 2, 2, 4}, {3, 2, 4, 4}}},
      {"a colour one step from the mask colour is not the mask colour", {"#g#."}, {{1, 0, 2, 1}}},
      {"one pixel wide: nothing", {".", "."}, {}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Scan(c.rows), c.expected) << c.what;
    const std::vector<std::uint32_t> pixels = Mask(c.rows);
    EXPECT_EQ(CountMaskRects(pixels.data(), int(c.rows[0].size()), int(c.rows.size()), kPurple), c.expected.size())
        << c.what;
  }
}

// The guard against outlines the platform cannot handle in time: the count of a huge
// checkerboard's 8 million rectangles, made without a single one of them.
TEST(RegionScan, TheOutlineIsCountedQuicklyWithoutMakingItsRectangles) {
  constexpr int kSide = 4096;
  std::vector<std::uint32_t> board(std::size_t(kSide) * kSide);
  for (int y = 0; y < kSide; ++y)
    for (int x = 0; x < kSide; ++x)
      board[std::size_t(y) * kSide + std::size_t(x)] = (x + y) % 2 ? 0x800080u : 0x102030u;
  const std::vector<std::uint32_t> plain(board.size(), 0x102030u);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_GT(CountMaskRects(board.data(), kSide, kSide, kPurple, kMaxOutlineRects), kMaxOutlineRects);
  EXPECT_EQ(CountMaskRects(board.data(), kSide, kSide, kPurple), 2048u * 4095u)
      << "every row, the last column left out";
  EXPECT_EQ(CountMaskRects(plain.data(), kSide, kSide, kPurple, kMaxOutlineRects), 1u);
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
  EXPECT_LT(ms.count(), 3000) << "two whole scans of 16 million pixels and one cut short";
}

TEST(RegionScan, AMaskWithNoPixelAtAllGivesNothing) {
  EXPECT_TRUE(Scan({"####", "####"}).empty());
  EXPECT_TRUE(ScanMask(nullptr, 0, 0, kPurple).empty());
}

TEST(RegionScan, ASystemColourAsMaskMatchesNoPixel) {
  // clScrollBar is 0xFF000000: its low bytes are black, yet no black pixel is cut out.
  const std::vector<std::uint32_t> black(12, 0);
  EXPECT_EQ(ScanMask(black.data(), 4, 3, 0xFF000000u), (std::vector<RegionRect>{{0, 0, 3, 3}}));
  EXPECT_EQ(ScanMask(black.data(), 4, 3, 0x1FFFFFFFu), (std::vector<RegionRect>{{0, 0, 3, 3}})) << "clNone";
  EXPECT_TRUE(ScanMask(black.data(), 4, 3, ui::clBlack).empty());
}

TEST(RegionScan, TheBuiltInSizeWithoutMaskPixelsIsOneRectangle) {
  const std::vector<std::uint32_t> picture(600 * 350, 0x203040u);
  EXPECT_EQ(ScanMask(picture.data(), 600, 350, kPurple), (std::vector<RegionRect>{{0, 0, 599, 350}}));
}

TEST(RegionData, HasThePlatformsLayout) {
  const std::vector<std::uint8_t> data = RegionDataOf({{0, 0, 599, 350}, {-2, 400, 10, 401}});
  ASSERT_EQ(data.size(), 32u + 2 * 16u);
  const auto at = [&](std::size_t i) {
    return std::int32_t(data[i] | (data[i + 1] << 8) | (data[i + 2] << 16) | (std::uint32_t(data[i + 3]) << 24));
  };
  const std::int32_t expected[] = {32, 1, 2, 32, -2, 0, 599, 401, 0, 0, 599, 350, -2, 400, 10, 401};
  for (std::size_t i = 0; i < std::size(expected); ++i) EXPECT_EQ(at(4 * i), expected[i]) << "field " << i;
  EXPECT_EQ(RectsOfRegionData(data), (std::vector<RegionRect>{{0, 0, 599, 350}, {-2, 400, 10, 401}}));
  EXPECT_TRUE(RegionDataOf({}).empty());
}

TEST(RegionData, DamagedDataIsRefused) {
  const std::vector<std::uint8_t> good = RegionDataOf({{0, 0, 5, 5}, {1, 6, 4, 7}});
  const auto damaged = [&](std::size_t at, std::uint8_t value) {
    std::vector<std::uint8_t> d = good;
    d[at] = value;
    return d;
  };
  const std::vector<std::uint8_t> cases[] = {
      {},
      std::vector<std::uint8_t>(good.begin(), good.begin() + 31),
      std::vector<std::uint8_t>(good.begin(), good.end() - 1),  // the last rectangle cut
      damaged(0, 40),                                           // header size
      damaged(4, 2),                                            // type
      damaged(8, 9),                                            // count beyond the data
      damaged(11, 0x80),                                        // a huge count
      damaged(12, 48),                                          // rectangles' size
      damaged(32 + 11, 0x80),                                   // right far left of left
  };
  for (const auto& d : cases) EXPECT_THROW(RectsOfRegionData(d), ERegionDataError) << d.size();
}

TEST(RgnData, SizeResizesTheBufferAndTheStoredFormCarriesAByteCount) {
  TVrRgnData r;
  EXPECT_EQ(r.Size(), 0);
  r.SetSize(48);
  EXPECT_EQ(r.Size(), 48);
  r.Data()[0] = 7;
  r.SetSize(48);
  EXPECT_EQ(r.Data()[0], 7) << "the same size keeps the data";
  r.SetSize(-3);
  EXPECT_EQ(r.Size(), 0);

  r.Assign(RegionDataOf({{0, 0, 599, 350}}));
  const std::vector<std::uint8_t> stored = r.StoredForm();
  ASSERT_EQ(stored.size(), 4u + 48u);
  EXPECT_EQ(stored[0], 48);
  EXPECT_EQ(stored[1] | stored[2] | stored[3], 0);

  TVrRgnData read;
  EXPECT_EQ(read.ReadStoredForm(stored), stored.size());
  EXPECT_EQ(read.Bytes(), r.Bytes());
  // A count of 0 leaves the data as it is.
  const std::uint8_t zero[] = {0, 0, 0, 0};
  EXPECT_EQ(read.ReadStoredForm(zero), 4u);
  EXPECT_EQ(read.Bytes(), r.Bytes());
  // A count beyond the bytes, or a negative one, is refused and changes nothing.
  std::vector<std::uint8_t> shortened(stored.begin(), stored.end() - 1);
  EXPECT_THROW(read.ReadStoredForm(shortened), ERegionDataError);
  const std::uint8_t negative[] = {0xFF, 0xFF, 0xFF, 0xFF, 1, 2};
  EXPECT_THROW(read.ReadStoredForm(negative), ERegionDataError);
  EXPECT_EQ(read.Bytes(), r.Bytes());
}

}  // namespace
