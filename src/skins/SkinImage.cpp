#include "skins/SkinImage.h"

#include <vector>

#include "skins/BitmapRules.h"
#include "base/TextFile.h"
#include "ui/Gdi.h"

namespace skins {

ui::Bitmap LoadSkinImage(const std::string& path) {
  ui::UniqueKernelHandle file(
      CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) throw base::EInOutError(GetLastError(), path);
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.Get(), &size)) throw base::EInOutError(GetLastError(), path);
  // Nothing larger than the largest picture allowed is worth reading.
  if (std::uint64_t(size.QuadPart) > kMaxBitmapFileBytes)
    throw EBitmapError("The picture is too large: its file holds " + std::to_string(size.QuadPart) + " bytes");
  std::vector<std::uint8_t> bytes(std::size_t(size.QuadPart));
  std::size_t done = 0;
  while (done < bytes.size()) {
    DWORD got = 0;
    const DWORD want = DWORD(std::min<std::size_t>(bytes.size() - done, 1u << 24));
    if (!ReadFile(file.Get(), bytes.data() + done, want, &got, nullptr))
      throw base::EInOutError(GetLastError(), path);
    if (got == 0) break;  // the file shrank meanwhile: the decoder finds it short
    done += got;
  }
  bytes.resize(done);
  return ui::Bitmap::FromPixels(DecodeBitmap(bytes));
}

}  // namespace skins
