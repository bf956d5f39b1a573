// A listener to what a station sends before it is decoded: its compressed frames as they
// arrived, its titles, and the decoded sound for judging where it is quiet. What keeps
// the station's past and writes its songs is made from it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

struct AVCodecParameters;

namespace playback {

// The codec of a connection's frames: what a file of them needs to be written.
struct StreamFormat {
  std::string codec;  // FFmpeg's codec name: "mp3", "aac", "vorbis", "opus", ...
  int sampleRate = 0;
  int channels = 0;
  std::string headers;  // the codec's own set-up (FFmpeg's extradata): Vorbis and Opus headers, ...
  std::shared_ptr<const AVCodecParameters> parameters;
};

class StreamTap {
 public:
  virtual ~StreamTap() = default;
  // A connection opened. `resumed`: the same stream again after a drop the player is
  // bridging; otherwise a new stream begins.
  virtual void Connected(const StreamFormat& format, bool resumed) = 0;
  // The stream goes on in a new format without a new connection: a new Ogg chain, whose
  // headers the frames from here on need.
  virtual void NewFormat(const StreamFormat& format) = 0;
  // One frame as the station sent it, lasting `ticks` samples at the format's rate.
  virtual void Frame(const std::uint8_t* data, std::size_t size, std::int64_t ticks) = 0;
  // Interleaved 16-bit stereo decoded from the frames, at `rate` frames a second.
  virtual void Sound(int rate, const std::int16_t* samples, std::size_t count) = 0;
  // The station announced a title (in UTF-8, with every character it has; empty: none).
  virtual void Title(const std::string& title) = 0;
  // The stream is over: stopped, replaced, failed, or a drop that was not bridged.
  virtual void Ended() = 0;
};

}  // namespace playback
