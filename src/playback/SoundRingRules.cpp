#include "playback/SoundRingRules.h"

#include <algorithm>
#include <cstring>

namespace playback {

SoundRing::SoundRing(std::size_t capacity)
    : capacity_(std::max<std::size_t>(capacity, 1)), data_(new std::int16_t[capacity_]) {}

std::size_t SoundRing::Queued() const {
  const std::uint64_t read = read_.load(std::memory_order_acquire);
  return std::size_t(written_.load(std::memory_order_acquire) - read);
}

std::size_t SoundRing::Write(const std::int16_t* samples, std::size_t count) {
  const std::uint64_t w = written_.load(std::memory_order_relaxed);
  const std::size_t room = capacity_ - std::size_t(w - read_.load(std::memory_order_acquire));
  const std::size_t n = std::min(count, room);
  const std::size_t at = std::size_t(w % capacity_);
  const std::size_t first = std::min(n, capacity_ - at);
  std::memcpy(data_.get() + at, samples, first * sizeof(std::int16_t));
  std::memcpy(data_.get(), samples + first, (n - first) * sizeof(std::int16_t));
  written_.store(w + n, std::memory_order_release);
  return n;
}

std::size_t SoundRing::Read(std::int16_t* out, std::size_t count) {
  const std::uint64_t r = read_.load(std::memory_order_relaxed);
  const std::size_t n = std::min(count, std::size_t(written_.load(std::memory_order_acquire) - r));
  const std::size_t at = std::size_t(r % capacity_);
  const std::size_t first = std::min(n, capacity_ - at);
  std::memcpy(out, data_.get() + at, first * sizeof(std::int16_t));
  std::memcpy(out + first, data_.get(), (n - first) * sizeof(std::int16_t));
  read_.store(r + n, std::memory_order_release);
  return n;
}

void SoundRing::Discard() { read_.store(written_.load(std::memory_order_acquire), std::memory_order_release); }

}  // namespace playback
