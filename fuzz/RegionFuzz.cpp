// The window's outline: the scan of a mask picture, the region data made of it, and
// region data as it is stored. The rectangles of a scan must cover exactly the pixels
// that differ from the mask colour (the last column left out), and come back whole from
// their region data.
#include <algorithm>
#include <vector>

#include "FuzzInput.h"
#include "skins/RegionRules.h"

namespace {

constexpr std::size_t kMaxInput = 64 * 1024;

void CheckScan(fuzz::Input& in) {
  // The picture: its width, a mask colour, then pixels from a small palette (so that
  // rows repeat and runs form), as many rows as the input fills.
  const int width = 1 + in.Byte() % 64;
  const std::uint32_t palette[4] = {in.Long() & 0xFFFFFF, in.Long() & 0xFFFFFF, 0, 0xFFFFFF};
  const ui::Color mask = in.Byte() % 5 == 0 ? ui::Color(0xFF000000u | in.Byte()) : ui::Color(in.Long() & 0xFFFFFF);
  std::vector<std::uint32_t> pixels;
  while (in.Size() > 0) {
    const std::uint8_t b = in.Byte();
    for (int k = 0; k < 4; ++k) pixels.push_back(palette[(b >> (2 * k)) & 3] | (k == 3 ? 0xAB000000u : 0));
  }
  const int height = int(pixels.size() / std::size_t(width));
  const std::vector<skins::RegionRect> rects = skins::ScanMask(pixels.data(), width, height, mask);
  // The count that guards the scan is the scan's own, and stops just past its limit.
  FUZZ_CHECK(skins::CountMaskRects(pixels.data(), width, height, mask) == rects.size());
  const std::size_t most = std::size_t(height % 7);
  FUZZ_CHECK(std::min(skins::CountMaskRects(pixels.data(), width, height, mask, most), most + 1) ==
             std::min(rects.size(), most + 1));

  // Every pixel is covered by at most one rectangle, and by one exactly when it shows.
  std::vector<int> covered(std::size_t(width) * std::size_t(height));
  for (const skins::RegionRect& r : rects) {
    FUZZ_CHECK(r.left >= 0 && r.left < r.right && r.right <= width - 1);
    FUZZ_CHECK(r.top >= 0 && r.top < r.bottom && r.bottom <= height);
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x) ++covered[std::size_t(y) * std::size_t(width) + std::size_t(x)];
  }
  const std::uint32_t key = ((mask & 0xFF) << 16) | (mask & 0xFF00) | ((mask >> 16) & 0xFF);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const std::uint32_t p = pixels[std::size_t(y) * std::size_t(width) + std::size_t(x)];
      const bool shows = x < width - 1 && ((mask & 0xFF000000u) != 0 || (p & 0xFFFFFF) != key);
      FUZZ_CHECK(covered[std::size_t(y) * std::size_t(width) + std::size_t(x)] == (shows ? 1 : 0));
    }

  const std::vector<std::uint8_t> data = skins::RegionDataOf(rects);
  if (rects.empty()) {
    FUZZ_CHECK(data.empty());
    return;
  }
  FUZZ_CHECK(skins::RectsOfRegionData(data) == rects);
  skins::TVrRgnData stored;
  stored.Assign(data);
  skins::TVrRgnData back;
  const std::vector<std::uint8_t> form = stored.StoredForm();
  FUZZ_CHECK(back.ReadStoredForm(form) == form.size());
  FUZZ_CHECK(back.Bytes() == data);
}

void CheckRegionData(fuzz::Input& in) {
  const std::span<const std::uint8_t> bytes(in.Data(), in.Size());
  skins::TVrRgnData stored;
  try {
    const std::size_t used = stored.ReadStoredForm(bytes);
    FUZZ_CHECK(used >= 4 && used <= bytes.size());
  } catch (const skins::ERegionDataError&) {
  }
  try {
    const std::vector<skins::RegionRect> rects = skins::RectsOfRegionData(stored.Bytes());
    for (const skins::RegionRect& r : rects) FUZZ_CHECK(r.left <= r.right && r.top <= r.bottom);
  } catch (const skins::ERegionDataError&) {
  }
  try {
    (void)skins::RectsOfRegionData(bytes);
  } catch (const skins::ERegionDataError&) {
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > kMaxInput || size == 0) return 0;
  fuzz::Input in(data + 1, size - 1);
  if (data[0] & 1)
    CheckScan(in);
  else
    CheckRegionData(in);
  return 0;
}
