// The window's outline as rectangles: scanned from a mask picture, and kept as region
// data in the platform's layout (a 32-byte header, then 16 bytes per rectangle), which
// is also how a window's design stores it. Portable.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <vector>

#include "ui/Color.h"

namespace skins {

// Right and bottom are exclusive.
struct RegionRect {
  int left = 0, top = 0, right = 0, bottom = 0;
  friend bool operator==(const RegionRect&, const RegionRect&) = default;
};

// The outline of a picture of width x height pixels (top-down rows of 0x00RRGGBB): every
// pixel whose colour differs from the mask colour, leaving out the last column, as
// one-pixel-high runs from left to right and top to bottom. A row equal to the row
// above it widens that row's rectangles downwards instead of adding its own, as the
// platform's regions do. A mask colour with anything in its top byte (a system colour)
// matches no pixel. Empty when no pixel qualifies.
std::vector<RegionRect> ScanMask(const std::uint32_t* pixels, int width, int height, ui::Color mask);

// The most rectangles a window's outline may have (3.2 MB of region data). A picture
// can need far more (a 4096 x 4096 checkerboard needs 8 million), and the platform
// takes seconds over each copy of such a region, on the thread that runs the windows.
constexpr std::size_t kMaxOutlineRects = 200000;

// How many rectangles ScanMask gives for the picture, counted row by row without making
// them; the counting ends as soon as the count exceeds `most`.
std::size_t CountMaskRects(const std::uint32_t* pixels, int width, int height, ui::Color mask,
                           std::size_t most = SIZE_MAX);

constexpr std::size_t kRegionHeaderSize = 32;
constexpr std::size_t kRegionRectSize = 16;
constexpr std::uint32_t kRegionTypeRectangles = 1;

// The region data of a set of rectangles: header size 32, type 1, the count, the size
// of the rectangles' part, the bounding rectangle, then each rectangle as left, top,
// right, bottom (32-bit little-endian). Empty for no rectangles.
std::vector<std::uint8_t> RegionDataOf(const std::vector<RegionRect>& rects);

class ERegionDataError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The rectangles of region data, after checking every header field against the size
// and every rectangle against the bounds; damaged data raises ERegionDataError.
std::vector<RegionRect> RectsOfRegionData(std::span<const std::uint8_t> data);

// The region data of one outline, owned. Its stored form is a 32-bit little-endian byte
// count followed by that many bytes.
class TVrRgnData {
 public:
  ~TVrRgnData() { SetSize(0); }
  int Size() const { return int(data_.size()); }
  // Resizes the buffer to `size` bytes (0 or less: none); the same size changes nothing.
  void SetSize(int size);
  std::uint8_t* Data() { return data_.data(); }
  const std::vector<std::uint8_t>& Bytes() const { return data_; }
  void Assign(std::vector<std::uint8_t> bytes) { data_ = std::move(bytes); }

  std::vector<std::uint8_t> StoredForm() const;
  // A count of 0 leaves the data as it is; a count beyond the bytes given, or a
  // negative one, raises ERegionDataError and leaves it too. Returns the bytes used.
  std::size_t ReadStoredForm(std::span<const std::uint8_t> stored);

 private:
  std::vector<std::uint8_t> data_;
};

}  // namespace skins
