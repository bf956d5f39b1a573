#include "playback/HlsListCap.h"

#include <cstring>

extern "C" {
#include <libavformat/avformat.h>
}

#include "playback/PlaylistRules.h"

namespace playback {

// A file opened by the HLS reader, read through a counter.
struct HlsListCap::File {
  HlsListCap* cap;
  AVIOContext* inner;
  std::string url;
  long long bytes = 0;
  std::string head;  // the first bytes, until it is known whether this is a list
  bool list = false;
};

void HlsListCap::Attach(AVFormatContext* format) {
  budget_ = {};
  reason_.clear();
  stopped_ = false;
  open_ = format->io_open;
  close_ = format->io_close2;
  format->opaque = this;
  format->io_open = &HlsListCap::Open;
  format->io_close2 = &HlsListCap::Close;
}

bool HlsListCap::Check(const AVFormatContext* format, AVIOContext* connection) {
  if (stopped_ || !format || !format->iformat || std::strcmp(format->iformat->name, "hls") != 0) return stopped_;
  if (!connection) connection = format->pb;
  if (connection && format->url)
    if (const char* over = budget_.Read(format->url, avio_tell(connection))) Stop(over);
  return stopped_;
}

void HlsListCap::Stop(const std::string& reason) {
  if (stopped_) return;
  reason_ = reason;
  stopped_ = true;
}

int HlsListCap::Open(AVFormatContext* s, AVIOContext** pb, const char* url, int flags, AVDictionary** options) {
  auto* cap = static_cast<HlsListCap*>(s->opaque);
  // The media itself (a file opened by name) is closed by FFmpeg without asking this
  // cap: it stays as it is, checked by the reader. Only what a demuxer opens in turn is
  // checked and counted here.
  if (!s->pb) return cap->open_(s, pb, url, flags, options);
  std::string why;
  if (!HlsAddressAllowed(s->url ? s->url : "", url, &why)) {
    cap->Stop(why);
    return AVERROR(EPERM);
  }
  AVIOContext* inner = nullptr;
  const int r = cap->open_(s, &inner, url, flags, options);
  if (r < 0) return r;
  constexpr int kBufferBytes = 4096;
  auto* file = new File{cap, inner, url, 0, {}, false};
  auto* buffer = static_cast<unsigned char*>(av_malloc(kBufferBytes));
  *pb = buffer ? avio_alloc_context(buffer, kBufferBytes, 0, file, &HlsListCap::Read, nullptr, &HlsListCap::Seek)
               : nullptr;
  if (!*pb) {
    av_free(buffer);
    cap->close_(s, inner);
    delete file;
    return AVERROR(ENOMEM);
  }
  (*pb)->seekable = inner->seekable;
  return 0;
}

int HlsListCap::Close(AVFormatContext* s, AVIOContext* pb) {
  auto* cap = static_cast<HlsListCap*>(s->opaque);
  if (pb->read_packet != &HlsListCap::Read) return cap->close_(s, pb);  // not one of the counted files
  auto* file = static_cast<File*>(pb->opaque);
  const int r = cap->close_(s, file->inner);
  av_freep(&pb->buffer);
  avio_context_free(&pb);
  delete file;
  return r;
}

int HlsListCap::Read(void* opaque, unsigned char* buffer, int size) {
  auto* file = static_cast<File*>(opaque);
  const int n = avio_read_partial(file->inner, buffer, size);
  if (n <= 0) return n == 0 ? AVERROR_EOF : n;
  // A list begins with its tag (after a byte-order mark, perhaps).
  if (file->head.size() < 16) {
    file->head.append(reinterpret_cast<const char*>(buffer), std::size_t(n));
    file->list = file->head.substr(0, 16).find("#EXTM3U") != std::string::npos;
  }
  file->bytes += n;
  if (file->list)
    if (const char* over = file->cap->budget_.Read(file->url, file->bytes)) {
      file->cap->Stop(over);
      return AVERROR(EFBIG);
    }
  return n;
}

long long HlsListCap::Seek(void* opaque, long long offset, int whence) {
  auto* file = static_cast<File*>(opaque);
  if (whence == AVSEEK_SIZE) return avio_size(file->inner);
  return avio_seek(file->inner, offset, whence);
}

}  // namespace playback
