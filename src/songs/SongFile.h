// One file of a station's own frames, written by FFmpeg's muxer for their codec with the
// song's tags: the frames pass unchanged, no decoding and no encoding. The file is written
// as the frames come, so that nothing large is left to do when the song ends, and a run
// that ends unexpectedly leaves a file that plays up to its last flush.
#pragma once

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>

#include "playback/StreamTap.h"

namespace songs {

class SongFileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct SongTags {  // UTF-8
  std::string title, artist, album, date;
};

class SongFileWriter {
 public:
  // Nothing is made before the first frame. `path` is UTF-8.
  SongFileWriter(std::string path, const char* muxer, playback::StreamFormat format, SongTags tags);
  // Closes the file; one that was not finished keeps what was flushed, without its trailer.
  ~SongFileWriter();
  SongFileWriter(const SongFileWriter&) = delete;
  SongFileWriter& operator=(const SongFileWriter&) = delete;

  // One frame, lasting `ticks` samples; the first makes the file and writes its header.
  // Raises SongFileError with the reason.
  void Write(const std::string& bytes, std::int64_t ticks);
  // Hands what the muxer holds to the system.
  void Flush();
  // The trailer, and the file closed; raises SongFileError, the file then left for the
  // caller to remove.
  void Finish();
  bool Started() const;

 private:
  struct Output;
  std::string path_;
  const char* muxer_;
  playback::StreamFormat format_;
  SongTags tags_;
  std::unique_ptr<Output> out_;
};

}  // namespace songs
