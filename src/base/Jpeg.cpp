#include "base/Jpeg.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <memory>
#include <string>

#include <jpeglib.h>
#include <jerror.h>

namespace base {

namespace {

constexpr int kMaxSide = 16384;

struct ErrorManager {
  jpeg_error_mgr base;
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
};

void OnError(j_common_ptr cinfo) {
  auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
  (*cinfo->err->format_message)(cinfo, err->message);
  std::longjmp(err->jump, 1);
}

// Warnings of damaged data are not shown anywhere, but data that ends before the picture
// does is an error: the decoder would fill the rest with grey, and a few hundred bytes
// could pass for a picture of millions of pixels.
void OnMessage(j_common_ptr cinfo, int level) {
  if (level < 0 && cinfo->err->msg_code == JWRN_JPEG_EOF) OnError(cinfo);
}

}  // namespace

PixelImage DecodeJpeg(std::span<const std::uint8_t> data, std::uint64_t maxPixels) {
  if (data.size() < 4) throw EJpegError("The JPEG picture is empty or truncated");
  // Everything the decoder fills lives behind a pointer that is set before setjmp and
  // never changed after it, so its value is sound when an error jumps back.
  struct Work {
    jpeg_decompress_struct cinfo{};
    ErrorManager err{};
    PixelImage image;
    std::vector<std::uint8_t> row;
  };
  const auto work = std::make_unique<Work>();
  jpeg_decompress_struct& cinfo = work->cinfo;
  cinfo.err = jpeg_std_error(&work->err.base);
  work->err.base.error_exit = OnError;
  work->err.base.emit_message = OnMessage;
  if (setjmp(work->err.jump)) {
    jpeg_destroy_decompress(&cinfo);
    throw EJpegError(std::string("The JPEG picture cannot be read: ") + work->err.message);
  }
  jpeg_create_decompress(&cinfo);
  jpeg_mem_src(&cinfo, data.data(), static_cast<unsigned long>(data.size()));
  jpeg_read_header(&cinfo, TRUE);
  // The size is checked before the decoder allocates for it (a progressive picture's
  // whole coefficients).
  if (cinfo.image_width == 0 || cinfo.image_height == 0 || cinfo.image_width > kMaxSide ||
      cinfo.image_height > kMaxSide || std::uint64_t(cinfo.image_width) * cinfo.image_height > std::min(maxPixels, kJpegMaxPixels)) {
    jpeg_destroy_decompress(&cinfo);
    throw EJpegError("The JPEG picture has an unsupported size: " + std::to_string(cinfo.image_width) + " x " +
                     std::to_string(cinfo.image_height) + " pixels");
  }
  cinfo.out_color_space = JCS_RGB;
  jpeg_start_decompress(&cinfo);
  if (cinfo.output_width != cinfo.image_width || cinfo.output_height != cinfo.image_height ||
      cinfo.output_components != 3) {
    jpeg_destroy_decompress(&cinfo);
    throw EJpegError("The JPEG picture has an unsupported size or colour layout");
  }
  PixelImage& image = work->image;
  image.width = int(cinfo.output_width);
  image.height = int(cinfo.output_height);
  image.pixels.resize(std::size_t(cinfo.output_width) * cinfo.output_height);
  work->row.resize(std::size_t(cinfo.output_width) * 3);
  while (cinfo.output_scanline < cinfo.output_height) {
    JSAMPROW rows[1] = {work->row.data()};
    const std::size_t y = cinfo.output_scanline;
    jpeg_read_scanlines(&cinfo, rows, 1);
    const std::uint8_t* in = work->row.data();
    std::uint32_t* out = &image.pixels[y * cinfo.output_width];
    for (std::size_t x = 0; x < cinfo.output_width; ++x)
      out[x] = (std::uint32_t(in[3 * x]) << 16) | (std::uint32_t(in[3 * x + 1]) << 8) | in[3 * x + 2];
  }
  jpeg_finish_decompress(&cinfo);
  jpeg_destroy_decompress(&cinfo);
  return std::move(image);
}

}  // namespace base
