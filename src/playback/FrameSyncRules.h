// Finding the frames of a stream (ADTS for AAC, MPEG audio layer III for MP3) that was
// joined in the middle of a frame, that begins with a tag, or that arrives damaged. Only
// whole frames are passed on, and only where several headers in a row agree with one
// another and each frame ends where the next header begins: a stray sync word in the
// sound data, with a made-up frame length, would otherwise swallow up to 8 KB of good
// frames, or (MP3) pass for a frame of another layer that the stream is then taken to be.
// Portable.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace playback {

// The fields of an ADTS header that stay the same for the whole of a stream.
struct AdtsHeader {
  int profile = 0;
  int rateIndex = 0;
  int channels = 0;
  bool mpeg2 = false;
  std::size_t length = 0;  // of the whole frame, header included
};

// Reads the header at data (at least 7 bytes); false when they are no ADTS header.
bool ParseAdtsHeader(const unsigned char* data, AdtsHeader& header);

// The fields of an MPEG audio layer III header that stay the same for the whole of a
// stream, and the length of its frame.
struct Mp3Header {
  int version = 0;     // 3 MPEG-1, 2 MPEG-2, 0 MPEG-2.5
  int sampleRate = 0;  // Hz
  bool mono = false;
  bool crc = false;
  int bitRate = 0;         // kb/s, of this frame
  std::size_t length = 0;  // of the whole frame, header included
};

// Reads the header at data (at least 4 bytes); false when they are no header of a layer
// III frame (other layers are not played, and free-format frames have no length).
bool ParseMp3Header(const unsigned char* data, Mp3Header& header);

// The length of the ID3v2 tag at data (at least 10 bytes), footer included; 0 when there
// is none.
std::size_t Id3v2TagLength(const unsigned char* data);

enum class FrameFormat { Adts, Mp3 };

class FrameSync {
 public:
  // Headers in a row that must agree before the first frame is passed on.
  static constexpr int kLockFrames = 3;

  explicit FrameSync(FrameFormat format) : format_(format) {}
  // Adds bytes of the stream.
  void Push(const void* data, std::size_t n);
  // No more bytes will come.
  void End() { ended_ = true; }
  // Appends the frames that are certain by now to out; returns how many bytes it added.
  std::size_t Pull(std::string& out);
  bool Locked() const { return locked_; }
  // Whether frames were ever found.
  bool Found() const { return found_; }
  // Bytes dropped as not belonging to any frame (a tag at the start is no such byte),
  // and how often the lock was lost.
  std::size_t Dropped() const { return dropped_; }
  int Losses() const { return losses_; }

 private:
  std::size_t HeaderBytes() const { return format_ == FrameFormat::Adts ? 7 : 4; }
  // Reads the header at `at`: its length and the fields that must agree, as one key.
  bool Header(std::size_t at, std::uint32_t& key, std::size_t& length) const;
  bool Agrees(std::size_t at, std::size_t& length) const;
  // 1: a lock-on is possible at `at`; 0: it is not; -1: more bytes are needed.
  int CanLockAt(std::size_t at) const;
  void Drop(std::size_t n);

  FrameFormat format_;
  std::string in_;
  bool ended_ = false;
  bool locked_ = false;
  bool found_ = false;
  std::uint32_t key_ = 0;     // of the frames locked on to
  std::size_t skipping_ = 0;  // bytes of a tag still to come
  std::size_t dropped_ = 0;
  int losses_ = 0;
};

class AdtsSync : public FrameSync {
 public:
  AdtsSync() : FrameSync(FrameFormat::Adts) {}
};

}  // namespace playback
