// One file of a station's own frames, written by FFmpeg's muxer for their codec with the
// song's tags: the frames pass unchanged, no decoding and no encoding.
#pragma once

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>

#include "playback/StreamTap.h"

namespace songs {

class SongFileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct SongTags {  // UTF-8
  std::string title, artist, album, date, comment;
};

// Gives the next frame and its length in samples; false after the last.
using NextFrame = std::function<bool(std::string& bytes, std::int64_t& ticks)>;

// Writes a new file at `path` (UTF-8) of the muxer's kind; raises SongFileError with the
// reason, leaving whatever part of the file was written for the caller to remove.
void WriteSongFile(const std::string& path, const char* muxer, const playback::StreamFormat& format,
                   const SongTags& tags, const NextFrame& next);

}  // namespace songs
