// Finding the frames of an ADTS (AAC) stream that was joined in the middle of a frame or
// that arrives damaged. Only whole frames are passed on, and only where several headers
// in a row agree with one another and each frame ends where the next header begins: a
// stray sync word in the sound data, with a made-up frame length, would otherwise swallow
// up to 8 KB of good frames. Portable.
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

class AdtsSync {
 public:
  // Headers in a row that must agree before the first frame is passed on.
  static constexpr int kLockFrames = 3;

  // Adds bytes of the stream; `end` says that no more will come.
  void Push(const void* data, std::size_t n);
  void End() { ended_ = true; }
  // Appends the frames that are certain by now to out; returns how many bytes it added.
  std::size_t Pull(std::string& out);
  bool Locked() const { return locked_; }
  // Bytes dropped as not belonging to any frame, and how often the lock was lost.
  std::size_t Dropped() const { return dropped_; }
  int Losses() const { return losses_; }

 private:
  bool Agrees(std::size_t at, AdtsHeader& h) const;
  // 1: a lock-on is possible at `at`; 0: it is not; -1: more bytes are needed.
  int CanLockAt(std::size_t at) const;
  void Drop(std::size_t n);

  std::string in_;
  bool ended_ = false;
  bool locked_ = false;
  AdtsHeader ref_;
  std::size_t dropped_ = 0;
  int losses_ = 0;
};

}  // namespace playback
