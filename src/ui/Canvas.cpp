#include "ui/Canvas.h"

#include <algorithm>
#include <stdexcept>
#include <vector>

namespace ui {

void Canvas::FillRect(const Rect& r, Color c) {
  UniqueBrush brush(CreateSolidBrush(ToColorRef(c)));
  RECT rc{r.left, r.top, r.right, r.bottom};
  ::FillRect(dc_, &rc, brush.Get());
}

void Canvas::FrameRect(const Rect& r, Color c) {
  UniqueBrush brush(CreateSolidBrush(ToColorRef(c)));
  RECT rc{r.left, r.top, r.right, r.bottom};
  ::FrameRect(dc_, &rc, brush.Get());
}

void Canvas::Line(Point from, Point to, Color c, int width) {
  UniqueHandle<HGDIOBJ, GdiObjectTraits> pen(CreatePen(PS_SOLID, width, ToColorRef(c)));
  SelectGuard sel(dc_, pen.Get());
  MoveToEx(dc_, from.x, from.y, nullptr);
  LineTo(dc_, to.x, to.y);
}

void Canvas::SetPixel(int x, int y, Color c) { ::SetPixelV(dc_, x, y, ToColorRef(c)); }

Color Canvas::GetPixel(int x, int y) const { return ::GetPixel(dc_, x, y); }

void Canvas::TextOut(int x, int y, std::string_view text, const Font& font) {
  SelectGuard sel(dc_, font.Handle());
  const int oldMode = SetBkMode(dc_, TRANSPARENT);
  const COLORREF oldColor = SetTextColor(dc_, ToColorRef(font.color));
  ::TextOutA(dc_, x, y, text.data(), int(text.size()));
  SetTextColor(dc_, oldColor);
  SetBkMode(dc_, oldMode);
}

void Canvas::DrawText(const Rect& r, std::string_view text, const Font& font, unsigned flags) {
  SelectGuard sel(dc_, font.Handle());
  const int oldMode = SetBkMode(dc_, TRANSPARENT);
  const COLORREF oldColor = SetTextColor(dc_, ToColorRef(font.color));
  RECT rc{r.left, r.top, r.right, r.bottom};
  ::DrawTextA(dc_, text.data(), int(text.size()), &rc, flags);
  SetTextColor(dc_, oldColor);
  SetBkMode(dc_, oldMode);
}

Point Canvas::TextExtent(std::string_view text, const Font& font) const {
  SelectGuard sel(dc_, font.Handle());
  SIZE size{};
  GetTextExtentPoint32A(dc_, text.data(), int(text.size()), &size);
  return {size.cx, size.cy};
}

void Canvas::Draw(int x, int y, const Bitmap& bmp) {
  if (!bmp.Empty()) BitBlt(dc_, x, y, bmp.Width(), bmp.Height(), bmp.Dc(), 0, 0, SRCCOPY);
}

void Canvas::Draw(const Rect& dest, const Bitmap& bmp, const Rect& src) {
  if (bmp.Empty()) return;
  if (dest.Width() == src.Width() && dest.Height() == src.Height())
    BitBlt(dc_, dest.left, dest.top, dest.Width(), dest.Height(), bmp.Dc(), src.left, src.top, SRCCOPY);
  else
    StretchBlt(dc_, dest.left, dest.top, dest.Width(), dest.Height(), bmp.Dc(), src.left, src.top, src.Width(),
               src.Height(), SRCCOPY);
}

void Canvas::StretchDraw(const Rect& dest, const Bitmap& bmp) {
  Draw(dest, bmp, Rect{0, 0, bmp.Width(), bmp.Height()});
}

void Canvas::DrawTransparent(const Rect& dest, const Bitmap& bmp, const Rect& src, Color key) {
  if (bmp.Empty()) return;
  TransparentBlt(dc_, dest.left, dest.top, dest.Width(), dest.Height(), bmp.Dc(), src.left, src.top, src.Width(),
                 src.Height(), ToColorRef(key));
}

void Canvas::CopyFrom(const Rect& dest, const Canvas& src, const Rect& srcRect, DWORD rop) {
  if (dest.Width() == srcRect.Width() && dest.Height() == srcRect.Height())
    BitBlt(dc_, dest.left, dest.top, dest.Width(), dest.Height(), src.dc_, srcRect.left, srcRect.top, rop);
  else
    StretchBlt(dc_, dest.left, dest.top, dest.Width(), dest.Height(), src.dc_, srcRect.left, srcRect.top,
               srcRect.Width(), srcRect.Height(), rop);
}

Bitmap::Bitmap(int width, int height, Color fill) { SetSize(width, height, fill); }

Bitmap& Bitmap::operator=(Bitmap&& o) noexcept {
  if (this == &o) return *this;
  if (dc_ && original_) SelectObject(dc_.Get(), original_);
  bitmap_ = std::move(o.bitmap_);
  dc_ = std::move(o.dc_);
  width_ = std::exchange(o.width_, 0);
  height_ = std::exchange(o.height_, 0);
  bits_ = std::exchange(o.bits_, nullptr);
  original_ = std::exchange(o.original_, nullptr);
  return *this;
}

Bitmap::~Bitmap() {
  // The bitmap must leave the DC before either is deleted.
  if (dc_ && original_) SelectObject(dc_.Get(), original_);
}

void Bitmap::SetSize(int width, int height, Color fill) {
  if (dc_ && original_) SelectObject(dc_.Get(), original_);
  bitmap_.Reset();
  bits_ = nullptr;
  width_ = height_ = 0;
  if (!dc_) dc_.Reset(CreateCompatibleDC(nullptr));
  if (width <= 0 || height <= 0) return;
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
  bi.bmiHeader.biWidth = width;
  bi.bmiHeader.biHeight = -height;  // top-down
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP h = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!h) throw std::runtime_error("Out of memory for a bitmap of " + std::to_string(width) + " x " +
                                   std::to_string(height) + " pixels");
  bitmap_.Reset(h);
  bits_ = static_cast<std::uint32_t*>(bits);
  width_ = width;
  height_ = height;
  HGDIOBJ old = SelectObject(dc_.Get(), h);
  if (!original_) original_ = old;
  if (fill != clNone) GetCanvas().FillRect({0, 0, width, height}, fill);
}

Color Bitmap::PixelAt(int x, int y) const {
  GdiFlush();
  const std::uint32_t p = bits_[std::size_t(y) * std::size_t(width_) + std::size_t(x)];
  return Rgb(int((p >> 16) & 0xFF), int((p >> 8) & 0xFF), int(p & 0xFF));
}

namespace {
std::uint32_t ToPixel(Color c) {
  const Color rgb = ToColorRef(c);
  return (std::uint32_t(RedOf(rgb)) << 16) | (std::uint32_t(GreenOf(rgb)) << 8) | std::uint32_t(BlueOf(rgb));
}
}  // namespace

void Bitmap::FillPixels(const Rect& r, Color c) {
  const Rect clip = r.Intersect({0, 0, width_, height_});
  if (clip.Empty()) return;
  GdiFlush();  // GDI's pending drawing lands first
  const std::uint32_t p = ToPixel(c);
  for (int y = clip.top; y < clip.bottom; ++y)
    std::fill_n(bits_ + std::size_t(y) * std::size_t(width_) + std::size_t(clip.left), clip.Width(), p);
}

void Bitmap::CopyKeyed(int x, int y, const Bitmap& src, const Rect& srcRect, Color key) {
  const Rect from = srcRect.Intersect({0, 0, src.width_, src.height_});
  if (from.Empty()) return;
  const Rect to = Rect::FromBounds(x, y, from.Width(), from.Height()).Intersect({0, 0, width_, height_});
  if (to.Empty()) return;
  GdiFlush();
  const std::uint32_t k = ToPixel(key);
  for (int ty = to.top; ty < to.bottom; ++ty) {
    const std::uint32_t* in = src.bits_ + std::size_t(from.top + ty - y) * std::size_t(src.width_) +
                              std::size_t(from.left + to.left - x);
    std::uint32_t* out = bits_ + std::size_t(ty) * std::size_t(width_) + std::size_t(to.left);
    for (int i = 0; i < to.Width(); ++i)
      if ((in[i] & 0xFFFFFF) != k) out[i] = in[i];
  }
}

Bitmap Bitmap::FromPixels(const base::PixelImage& img) {
  Bitmap b(img.width, img.height, clNone);
  GdiFlush();
  std::copy(img.pixels.begin(), img.pixels.end(), b.bits_);
  return b;
}

Bitmap Bitmap::FromJpeg(const void* data, std::size_t size) {
  return FromPixels(base::DecodeJpeg({static_cast<const std::uint8_t*>(data), size}));
}

Bitmap Bitmap::FromJpegResource(const char* name) {
  HMODULE module = GetModuleHandleA(nullptr);
  HRSRC res = FindResourceA(module, name, MAKEINTRESOURCEA(10));  // RT_RCDATA
  if (!res) throw std::runtime_error(std::string("The picture resource ") + name + " is missing");
  HGLOBAL mem = LoadResource(module, res);
  return FromJpeg(LockResource(mem), SizeofResource(module, res));
}

Bitmap Bitmap::FromHandle(HBITMAP h) {
  BITMAP info{};
  if (!h || !GetObjectA(h, sizeof(info), &info)) throw std::runtime_error("The bitmap cannot be read");
  Bitmap b(info.bmWidth, info.bmHeight, clNone);
  UniqueMemoryDc src(CreateCompatibleDC(nullptr));
  {
    SelectGuard sel(src.Get(), h);
    BitBlt(b.Dc(), 0, 0, b.Width(), b.Height(), src.Get(), 0, 0, SRCCOPY);
  }
  DeleteObject(h);
  return b;
}

Bitmap Bitmap::FromBitmapResource(const char* name) {
  HBITMAP h = static_cast<HBITMAP>(LoadImageA(GetModuleHandleA(nullptr), name, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  if (!h) throw std::runtime_error(std::string("The bitmap resource ") + name + " is missing");
  return FromHandle(h);
}

Bitmap Bitmap::FromBitmapFile(const std::string& path) {
  HBITMAP h = static_cast<HBITMAP>(LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
  if (!h) throw std::runtime_error("The picture " + path + " is not a readable Windows bitmap");
  return FromHandle(h);
}

}  // namespace ui
