// A chained Ogg stream begins a new chain, with headers of its own, for each song. FFmpeg's
// Ogg reader hands a new Vorbis chain's three headers on as packets (identification,
// comments, set-up); they are collected here into the headers a file of the chain's
// frames needs, in the laced form FFmpeg's Ogg writer takes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace playback {

enum class VorbisPacket { Audio, Identification, Comment, Setup };

VorbisPacket VorbisPacketKind(const std::uint8_t* data, std::size_t size);

class VorbisChain {
 public:
  // Takes a header packet; true when it completed a chain's headers (the set-up header
  // after an identification and a comment header, each checked).
  bool Add(const std::uint8_t* data, std::size_t size);
  // The three headers, laced: a 2, the first two headers' sizes in 255-steps, the headers.
  std::string Headers() const;
  int SampleRate() const { return rate_; }
  int Channels() const { return channels_; }

 private:
  std::string identification_, comment_, setup_;
  int rate_ = 0, channels_ = 0;
};

}  // namespace playback
