// The playing station as a source to record, in real time like a sound card: its sound
// is queued as the player decodes it (already in the recording's format) and handed out
// as the clock makes it due. The station's sound is all handed out, in order: the clock
// only decides where silence goes. While the station plays its sound is never broken
// up: a player held up for a moment leaves the clock owed, and its sound follows on when
// it comes; a sound device slower than the clock is never owed more than that moment (it
// would come out later as a burst of silence), and one faster than the clock, whose
// station runs further and further ahead, has what runs ahead beyond the queue handed
// out at once. Once no sound has come for half a second (before the first station,
// between stations, while one is brought back) what is owed is silence, so that the
// recording keeps its time line; a station the listener is switched away from ends
// there, its sound decoded ahead of the clock unheard. The station's sound waits in the
// queue while the recorder does not read it; silence left unread for longer than a
// second is lost as from a sound card's buffer, and noted where it was; so is a pause of
// the whole machine (sleep, hibernation, a debugger) longer than that: its time is
// told, never made into silence. Portable.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "recording/CaptureRules.h"

namespace recording {

// Bytes in, bytes out, in order.
class ByteQueue {
 public:
  std::size_t Size() const { return data_.size() - head_; }
  void Push(const std::uint8_t* bytes, std::size_t count);
  void PushRepeated(std::uint8_t byte, std::size_t count);
  // Takes up to count bytes into out (nullptr: drops them); returns how many.
  std::size_t Pop(std::uint8_t* out, std::size_t count);
  // Moves up to count bytes to the end of `to`; returns how many.
  std::size_t MoveTo(ByteQueue& to, std::size_t count);

 private:
  std::vector<std::uint8_t> data_;
  std::size_t head_ = 0;
};

class StationSoundPace {
 public:
  // The most sound queued ahead of the clock: more than the player decodes ahead of its
  // device (its ring holds 4 s at 48 kHz, 24 s at 8 kHz). Beyond it sound is handed out
  // at once.
  static constexpr std::uint32_t kQueueMs = 30000;
  // How long captured sound waits to be read before it is lost; also the most silence
  // made at once.
  static constexpr std::uint32_t kReadableMs = 1000;
  // How long the station may send nothing before the clock's time becomes silence.
  static constexpr std::uint32_t kQuietMs = 500;

  // A new capture at nowMs, in a format of these bytes a second and frame size; silence
  // is `silence` in every byte (0x80 for 8-bit sound, else 0).
  void Start(std::uint64_t nowMs, std::uint32_t bytesPerSecond, std::uint32_t blockAlign, std::uint8_t silence);
  // The station's sound at nowMs, in the capture's format, whole frames. The time before
  // it is settled first: a quiet spell before the sound is silence before it.
  void Push(const std::uint8_t* bytes, std::size_t count, std::uint64_t nowMs);
  // The listener was switched away from the station: its sound still queued ahead of
  // the clock was never heard, and is not recorded.
  void Cut() { queued_.Pop(nullptr, queued_.Size()); }
  // Sound of the station that never reached the capture: told as lost.
  void Lose(std::uint64_t bytes) { lostUnread_ += std::int64_t(bytes); }
  // Hands out what the clock says is due by nowMs: the station's queued sound, or
  // silence once it has sent nothing for kQuietMs (or at once, at the capture's end).
  void Advance(std::uint64_t nowMs, bool end = false);
  std::size_t Readable() const { return readable_.Size(); }
  // All the bytes held, queued and readable.
  std::size_t Held() const { return queued_.Size() + readable_.Size(); }
  // Reads up to count bytes; a loss since the last read is noted first.
  std::size_t Read(std::uint8_t* out, std::size_t count);
  const std::vector<CaptureGap>& Gaps() const { return gaps_; }

 private:
  std::uint64_t startMs_ = 0;
  std::uint32_t bytesPerSecond_ = 0;
  std::uint32_t blockAlign_ = 1;
  std::uint8_t silence_ = 0;
  std::uint64_t due_ = 0;        // bytes the clock has made due since Start
  std::uint64_t owed_ = 0;       // of those, not yet handed out
  std::uint64_t lastSoundMs_ = 0;  // when the station last sent sound (0: never)
  std::int64_t read_ = 0;        // bytes read since Start
  std::int64_t lostUnread_ = 0;  // lost since the last read
  ByteQueue queued_;
  ByteQueue readable_;
  std::vector<CaptureGap> gaps_;

  // Bytes that may still be made readable within its second.
  std::size_t Room() const;
  // Silence of `bytes`, as much of it as may wait to be read; the rest is told as lost.
  void Silence(std::uint64_t bytes);
  // Hands out what runs ahead of the queue and keeps the readable within its second.
  void Bound();
};

}  // namespace recording
