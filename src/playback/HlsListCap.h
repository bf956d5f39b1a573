// The HLS lists that FFmpeg reads for a stream, held within bounds, and what they lead
// to held to the rule of playlists. A server that keeps sending list lines, or a master
// list naming many large lists, would otherwise grow the player's memory without end; a
// list that names a network share or a device would make Windows offer the user's
// credentials to a foreign server, or block the player on a port. The first list arrives
// on the connection that the stream reader made itself (or the file it opened), and its
// size is what has been read from it; every file that the HLS reader opens in turn (a list
// reloaded, a segment, a key) is first checked, then read through a counter of its own,
// and the lists among them count against one budget (HlsListBudget).
#pragma once

#include <atomic>
#include <string>

#include "playback/HlsListRules.h"

struct AVFormatContext;
struct AVIOContext;
struct AVDictionary;

namespace playback {

class HlsListCap {
 public:
  // Watches what `format` opens in turn; format must not outlive this.
  void Attach(AVFormatContext* format);
  // Looks at the first list, read from `connection` (or the format's own file when it is
  // null); true once the stream has to stop.
  bool Check(const AVFormatContext* format, AVIOContext* connection);
  // A list went past the budget, or named what may not be opened: the stream stops.
  bool Stopped() const { return stopped_; }
  // Why it stopped, for the user.
  const std::string& Reason() const { return reason_; }

 private:
  static int Open(AVFormatContext* s, AVIOContext** pb, const char* url, int flags, AVDictionary** options);
  static int Close(AVFormatContext* s, AVIOContext* pb);
  static int Read(void* file, unsigned char* buffer, int size);
  static long long Seek(void* file, long long offset, int whence);
  void Stop(const std::string& reason);

  struct File;
  int (*open_)(AVFormatContext*, AVIOContext**, const char*, int, AVDictionary**) = nullptr;
  int (*close_)(AVFormatContext*, AVIOContext*) = nullptr;
  // Used on the reading thread only (FFmpeg's callbacks and Check run there).
  HlsListBudget budget_;
  std::string reason_;
  std::atomic<bool> stopped_{false};
};

}  // namespace playback
