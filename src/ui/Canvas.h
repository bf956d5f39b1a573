// Drawing on a device context, and 32-bit bitmaps to draw into and from.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

#include "ui/Color.h"
#include "ui/Font.h"
#include "ui/Gdi.h"
#include "ui/Geometry.h"
#include "base/Jpeg.h"

namespace ui {

class Bitmap;

// A thin drawing surface over an HDC it does not own. Colours and the font are applied
// per call, so a canvas carries no GDI selection between calls.
class Canvas {
 public:
  explicit Canvas(HDC dc) : dc_(dc) {}
  HDC Handle() const { return dc_; }

  void FillRect(const Rect& r, Color c);
  void FrameRect(const Rect& r, Color c);
  void Line(Point from, Point to, Color c, int width = 1);
  void SetPixel(int x, int y, Color c);
  Color GetPixel(int x, int y) const;

  // Text in the font's colour on a transparent background.
  void TextOut(int x, int y, std::string_view text, const Font& font);
  // DrawText with the given DT_ flags inside r.
  void DrawText(const Rect& r, std::string_view text, const Font& font, unsigned flags);
  Point TextExtent(std::string_view text, const Font& font) const;

  void Draw(int x, int y, const Bitmap& bmp);
  void Draw(const Rect& dest, const Bitmap& bmp, const Rect& src);
  void StretchDraw(const Rect& dest, const Bitmap& bmp);
  // Copies bmp leaving out every pixel of the colour key.
  void DrawTransparent(const Rect& dest, const Bitmap& bmp, const Rect& src, Color key);
  void CopyFrom(const Rect& dest, const Canvas& src, const Rect& srcRect, DWORD rop = SRCCOPY);

 private:
  HDC dc_;
};

// A top-down 32-bit DIB section with its own memory DC. Pixels are 0x00RRGGBB.
class Bitmap {
 public:
  Bitmap() = default;
  Bitmap(int width, int height, Color fill = clBlack);
  Bitmap(Bitmap&& o) noexcept { *this = std::move(o); }
  Bitmap& operator=(Bitmap&& o) noexcept;
  ~Bitmap();

  static Bitmap FromPixels(const base::PixelImage& img);
  static Bitmap FromJpeg(const void* data, std::size_t size);
  // A JPEG stored in the program's resources (type RCDATA) under the given name.
  static Bitmap FromJpegResource(const char* name);
  // A bitmap stored in the program's resources (type BITMAP).
  static Bitmap FromBitmapResource(const char* name);
  // A Windows bitmap file; throws std::runtime_error naming the file when it cannot be read.
  static Bitmap FromBitmapFile(const std::string& path);
  static Bitmap FromHandle(HBITMAP bmp);

  int Width() const { return width_; }
  int Height() const { return height_; }
  bool Empty() const { return width_ == 0 || height_ == 0; }
  HBITMAP Handle() const { return bitmap_.Get(); }
  HDC Dc() const { return dc_.Get(); }
  Canvas GetCanvas() const { return Canvas(dc_.Get()); }
  std::uint32_t* Pixels() { return bits_; }
  const std::uint32_t* Pixels() const { return bits_; }
  // The pixel as a Color (0x00BBGGRR), GDI having flushed its drawing first.
  Color PixelAt(int x, int y) const;
  void SetSize(int width, int height, Color fill = clBlack);

  // Pixel-level drawing without GDI calls, clipped to this bitmap: for widgets that draw
  // many small pieces per paint (LED dots, digit glyphs).
  void FillPixels(const Rect& r, Color c);
  // Copies src's srcRect to (x, y), leaving out the pixels of the key colour.
  void CopyKeyed(int x, int y, const Bitmap& src, const Rect& srcRect, Color key);

 private:
  int width_ = 0;
  int height_ = 0;
  std::uint32_t* bits_ = nullptr;
  UniqueMemoryDc dc_;
  UniqueBitmap bitmap_;
  HGDIOBJ original_ = nullptr;
};

}  // namespace ui
