// A cap on the size of the HLS lists that FFmpeg reads for a stream: a server that keeps
// sending list lines would otherwise grow the player's memory without end. The first
// list arrives on the connection that the stream reader made itself, and its size is
// what has been read from that connection; every file that the HLS reader opens in turn
// (a list reloaded, a segment, a key) passes through a counter of its own, and one that
// begins as a list fails once it is larger than the cap.
#pragma once

#include <atomic>

struct AVFormatContext;
struct AVIOContext;
struct AVDictionary;

namespace playback {

constexpr long long kMaxHlsListBytes = 4 * 1024 * 1024;
inline constexpr const char* kHlsListTooLarge = "The station's HLS list is larger than 4 MB";

class HlsListCap {
 public:
  // Watches what `format` opens in turn; format must not outlive this.
  void Attach(AVFormatContext* format);
  // Looks at the first list, read from `connection`; true when a list went past the cap.
  bool Check(const AVFormatContext* format, AVIOContext* connection);
  bool Exceeded() const { return exceeded_; }

 private:
  static int Open(AVFormatContext* s, AVIOContext** pb, const char* url, int flags, AVDictionary** options);
  static int Close(AVFormatContext* s, AVIOContext* pb);
  static int Read(void* file, unsigned char* buffer, int size);
  static long long Seek(void* file, long long offset, int whence);

  struct File;
  int (*open_)(AVFormatContext*, AVIOContext**, const char*, int, AVDictionary**) = nullptr;
  int (*close_)(AVFormatContext*, AVIOContext*) = nullptr;
  std::atomic<bool> exceeded_{false};
};

}  // namespace playback
