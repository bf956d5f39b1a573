#include "recording/StationCaptureRules.h"

#include <algorithm>
#include <cstring>

namespace recording {

void ByteQueue::Push(const std::uint8_t* bytes, std::size_t count) {
  data_.insert(data_.end(), bytes, bytes + count);
}

void ByteQueue::PushRepeated(std::uint8_t byte, std::size_t count) {
  data_.insert(data_.end(), count, byte);
}

std::size_t ByteQueue::Pop(std::uint8_t* out, std::size_t count) {
  const std::size_t n = std::min(count, Size());
  if (out && n) std::memcpy(out, data_.data() + head_, n);
  head_ += n;
  // Moving the rest to the front costs its size; doing it once half is read keeps the
  // cost per byte constant.
  if (head_ == data_.size()) {
    data_.clear();
    head_ = 0;
  } else if (head_ > data_.size() / 2) {
    data_.erase(data_.begin(), data_.begin() + std::ptrdiff_t(head_));
    head_ = 0;
  }
  return n;
}

std::size_t ByteQueue::MoveTo(ByteQueue& to, std::size_t count) {
  const std::size_t n = std::min(count, Size());
  to.Push(data_.data() + head_, n);
  return Pop(nullptr, n);
}

namespace {

std::size_t Frames(std::uint64_t ms, std::uint32_t bytesPerSecond, std::uint32_t blockAlign) {
  return std::size_t(ms * bytesPerSecond / 1000 / blockAlign * blockAlign);
}

}  // namespace

void StationSoundPace::Start(std::uint64_t nowMs, std::uint32_t bytesPerSecond, std::uint32_t blockAlign,
                             std::uint8_t silence) {
  *this = StationSoundPace();
  startMs_ = nowMs;
  bytesPerSecond_ = bytesPerSecond;
  blockAlign_ = std::max<std::uint32_t>(blockAlign, 1);
  silence_ = silence;
}

void StationSoundPace::Push(const std::uint8_t* bytes, std::size_t count, std::uint64_t nowMs) {
  Advance(nowMs);
  queued_.Push(bytes, count);
  lastSoundMs_ = std::max<std::uint64_t>(nowMs, 1);
  Bound();
}

void StationSoundPace::Advance(std::uint64_t nowMs, bool end) {
  if (nowMs < startMs_ || bytesPerSecond_ == 0) return;
  // Frames due since the start, by the clock: rounding never adds up over a long capture.
  const std::uint64_t due = (nowMs - startMs_) * bytesPerSecond_ / 1000 / blockAlign_ * blockAlign_;
  if (due > due_) owed_ += due - due_;
  due_ = std::max(due_, due);
  // Sound waits in the queue, not lost, while the recorder does not read it: the machine
  // slept, or the program was held up.
  owed_ -= queued_.MoveTo(readable_, std::size_t(std::min<std::uint64_t>(owed_, Room())));
  if (end || lastSoundMs_ == 0 || nowMs - lastSoundMs_ >= kQuietMs) {
    // The station has gone quiet: its time is silence.
    Silence(owed_);
    owed_ = 0;
  } else {
    // It sounds: what the clock is owed beyond a moment is the device's clock running
    // slower than this one, never silence to come.
    owed_ = std::min<std::uint64_t>(owed_, Frames(kQuietMs, bytesPerSecond_, blockAlign_));
  }
  Bound();
}

std::size_t StationSoundPace::Room() const {
  const std::size_t most = Frames(kReadableMs, bytesPerSecond_, blockAlign_);
  return most - std::min(most, readable_.Size());
}

void StationSoundPace::Silence(std::uint64_t bytes) {
  const std::uint64_t made = std::min<std::uint64_t>(bytes, Room());
  readable_.PushRepeated(silence_, std::size_t(made));
  lostUnread_ += std::int64_t(bytes - made);
}

void StationSoundPace::Bound() {
  const std::size_t most = Frames(kQueueMs, bytesPerSecond_, blockAlign_);
  if (queued_.Size() > most) queued_.MoveTo(readable_, queued_.Size() - most);
  const std::size_t readable = Frames(kReadableMs, bytesPerSecond_, blockAlign_);
  if (readable_.Size() > readable) lostUnread_ += std::int64_t(readable_.Pop(nullptr, readable_.Size() - readable));
}

std::size_t StationSoundPace::Read(std::uint8_t* out, std::size_t count) {
  if (lostUnread_ > 0) {
    gaps_.push_back({read_, lostUnread_});
    lostUnread_ = 0;
  }
  const std::size_t n = readable_.Pop(out, count);
  read_ += std::int64_t(n);
  return n;
}

}  // namespace recording
