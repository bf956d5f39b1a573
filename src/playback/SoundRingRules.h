// The decoded sound between the thread that reads a station and the thread that feeds
// the sound device: a ring of interleaved 16-bit samples of a fixed size, written by one
// thread and read by one other, without a lock, so that neither ever waits for the
// other. Its few seconds are the cushion that a held-up read of the network is played
// from. Portable.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>

namespace playback {

class SoundRing {
 public:
  // Room for `capacity` samples, allocated here and never again.
  explicit SoundRing(std::size_t capacity);

  std::size_t Capacity() const { return capacity_; }
  // Samples waiting to be read; either side may ask.
  std::size_t Queued() const;

  // The writer: copies as many of the samples as there is room for; returns how many.
  std::size_t Write(const std::int16_t* samples, std::size_t count);

  // The reader: copies up to `count` samples out; returns how many.
  std::size_t Read(std::int16_t* out, std::size_t count);
  // The reader: forgets everything written so far (a stop or a new station).
  void Discard();

 private:
  std::size_t capacity_;
  std::unique_ptr<std::int16_t[]> data_;
  // Positions count up without bound (64 bits do not wrap in any lifetime); the index in
  // the ring is the position modulo the capacity.
  std::atomic<std::uint64_t> written_{0};
  std::atomic<std::uint64_t> read_{0};
};

}  // namespace playback
