#include "skins/RegionRules.h"

#include <algorithm>
#include <limits>

namespace skins {

namespace {

void Put32(std::uint8_t* p, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = std::uint8_t(v >> (8 * i));
}

std::uint32_t Get32(const std::uint8_t* p) {
  return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[3]) << 24);
}

void PutRect(std::uint8_t* p, const RegionRect& r) {
  Put32(p, std::uint32_t(r.left));
  Put32(p + 4, std::uint32_t(r.top));
  Put32(p + 8, std::uint32_t(r.right));
  Put32(p + 12, std::uint32_t(r.bottom));
}

RegionRect GetRect(const std::uint8_t* p) {
  return {std::int32_t(Get32(p)), std::int32_t(Get32(p + 4)), std::int32_t(Get32(p + 8)), std::int32_t(Get32(p + 12))};
}

// Whether a pixel has the mask colour. Pixels are 0x00RRGGBB, colours 0x00BBGGRR; a
// colour with a top byte matches nothing.
class MaskColour {
 public:
  explicit MaskColour(ui::Color mask)
      : matches_((mask & 0xFF000000u) == 0),
        key_((std::uint32_t(ui::RedOf(mask)) << 16) | (std::uint32_t(ui::GreenOf(mask)) << 8) |
             std::uint32_t(ui::BlueOf(mask))) {}
  bool operator()(std::uint32_t pixel) const { return matches_ && (pixel & 0xFFFFFFu) == key_; }

 private:
  bool matches_;
  std::uint32_t key_;
};

}  // namespace

std::vector<RegionRect> ScanMask(const std::uint32_t* pixels, int width, int height, ui::Color mask) {
  std::vector<RegionRect> rects;
  if (!pixels || width < 2 || height < 1) return rects;
  const MaskColour masked(mask);
  const int last = width - 1;  // the last column never belongs to the outline
  std::vector<std::pair<int, int>> runs, previous;
  std::size_t bandBegin = 0;
  int bandBottom = -1;
  for (int y = 0; y < height; ++y) {
    const std::uint32_t* row = pixels + std::size_t(y) * std::size_t(width);
    const auto isMask = [&](int x) { return masked(row[x]); };
    runs.clear();
    int x = 0;
    for (;;) {
      while (x < last && isMask(x)) ++x;
      const int start = x;
      int end = start + 1;
      while (end < last && !isMask(end)) ++end;
      if (start < last) runs.emplace_back(start, end);
      if (end >= last) break;
      x = end;
    }
    if (runs.empty()) continue;
    if (bandBottom == y && runs == previous) {
      // The same runs as the row above: that band grows by one row.
      for (std::size_t i = bandBegin; i < rects.size(); ++i) rects[i].bottom = y + 1;
    } else {
      bandBegin = rects.size();
      for (const auto& [l, r] : runs) rects.push_back({l, y, r, y + 1});
      previous = runs;
    }
    bandBottom = y + 1;
  }
  return rects;
}

std::size_t CountMaskRects(const std::uint32_t* pixels, int width, int height, ui::Color mask, std::size_t most) {
  if (!pixels || width < 2 || height < 1) return 0;
  const MaskColour masked(mask);
  const int last = width - 1;
  std::size_t count = 0;
  // The row above while it had runs: a row masked alike joins its band and adds none.
  const std::uint32_t* above = nullptr;
  for (int y = 0; y < height && count <= most; ++y) {
    const std::uint32_t* row = pixels + std::size_t(y) * std::size_t(width);
    std::size_t runs = 0;
    bool same = above != nullptr;
    bool previousMasked = true;
    for (int x = 0; x < last; ++x) {
      const bool isMask = masked(row[x]);
      runs += !isMask && previousMasked;
      same = same && isMask == masked(above[x]);
      previousMasked = isMask;
    }
    if (!same) count += runs;
    above = runs ? row : nullptr;
  }
  return count;
}

std::vector<std::uint8_t> RegionDataOf(const std::vector<RegionRect>& rects) {
  if (rects.empty()) return {};
  RegionRect bound = rects.front();
  for (const RegionRect& r : rects) {
    bound.left = std::min(bound.left, r.left);
    bound.top = std::min(bound.top, r.top);
    bound.right = std::max(bound.right, r.right);
    bound.bottom = std::max(bound.bottom, r.bottom);
  }
  std::vector<std::uint8_t> data(kRegionHeaderSize + rects.size() * kRegionRectSize);
  std::uint8_t* p = data.data();
  Put32(p, kRegionHeaderSize);
  Put32(p + 4, kRegionTypeRectangles);
  Put32(p + 8, std::uint32_t(rects.size()));
  Put32(p + 12, std::uint32_t(rects.size() * kRegionRectSize));
  PutRect(p + 16, bound);
  p += kRegionHeaderSize;
  for (const RegionRect& r : rects) {
    PutRect(p, r);
    p += kRegionRectSize;
  }
  return data;
}

std::vector<RegionRect> RectsOfRegionData(std::span<const std::uint8_t> data) {
  if (data.size() < kRegionHeaderSize) throw ERegionDataError("The outline data is shorter than its header");
  const std::uint8_t* p = data.data();
  if (Get32(p) != kRegionHeaderSize) throw ERegionDataError("The outline data has a header of a wrong size");
  if (Get32(p + 4) != kRegionTypeRectangles) throw ERegionDataError("The outline data is not made of rectangles");
  const std::uint32_t count = Get32(p + 8);
  const std::uint32_t rectBytes = Get32(p + 12);
  const std::size_t room = (data.size() - kRegionHeaderSize) / kRegionRectSize;
  if (count > room) throw ERegionDataError("The outline data holds fewer rectangles than it counts");
  // The platform writes the size of the rectangles' part; some versions leave it 0.
  if (rectBytes != 0 && rectBytes != count * kRegionRectSize)
    throw ERegionDataError("The outline data's size does not match its rectangles");
  std::vector<RegionRect> rects;
  rects.reserve(count);
  for (std::uint32_t i = 0; i < count; ++i) {
    const RegionRect r = GetRect(p + kRegionHeaderSize + i * kRegionRectSize);
    if (r.left > r.right || r.top > r.bottom) throw ERegionDataError("The outline data holds a reversed rectangle");
    rects.push_back(r);
  }
  return rects;
}

void TVrRgnData::SetSize(int size) {
  const std::size_t wanted = size > 0 ? std::size_t(size) : 0;
  if (wanted == data_.size()) return;
  if (wanted == 0) {
    data_.clear();
    data_.shrink_to_fit();
  } else {
    data_.resize(wanted);
  }
}

std::vector<std::uint8_t> TVrRgnData::StoredForm() const {
  std::vector<std::uint8_t> stored(4 + data_.size());
  Put32(stored.data(), std::uint32_t(data_.size()));
  std::copy(data_.begin(), data_.end(), stored.begin() + 4);
  return stored;
}

std::size_t TVrRgnData::ReadStoredForm(std::span<const std::uint8_t> stored) {
  if (stored.size() < 4) throw ERegionDataError("The stored outline has no byte count");
  const std::int32_t count = std::int32_t(Get32(stored.data()));
  if (count == 0) return 4;
  if (count < 0 || std::size_t(count) > stored.size() - 4)
    throw ERegionDataError("The stored outline is shorter than its byte count");
  SetSize(count);
  std::copy_n(stored.begin() + 4, count, data_.begin());
  return 4 + std::size_t(count);
}

}  // namespace skins
