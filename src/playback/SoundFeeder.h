// Keeps the sound device fed: the play's thread writes decoded sound into a ring of a
// few seconds, and a thread of the feeder's own keeps a few hundred milliseconds of it
// queued at the device. That thread does nothing else (no network, no allocation, no
// lock), so a read held up on a busy machine is played from the ring instead of heard
// as a gap. It also owns the device: its volume, its silencing at a stop, and a new
// device when the one in use goes away.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <thread>

#include "playback/DeviceClockRules.h"
#include "playback/SoundRingRules.h"
#include "playback/WaveOutput.h"

namespace playback {

class SoundFeeder {
 public:
  using Cancelled = std::function<bool()>;
  static constexpr unsigned kRingMs = 4000;     // the cushion, at 48 kHz
  static constexpr unsigned kStartMs = 150;     // sound in the ring before the device starts
  static constexpr unsigned kQueueMs = 400;     // sound kept queued at the device
  static constexpr unsigned kRetryMs = 3000;    // a missing device is looked for again
  static constexpr unsigned kBeatMs = 10;       // the feeder looks at the ring at least this often

  // Raises std::system_error when its thread cannot start.
  SoundFeeder();
  // Silences the device at once and closes it.
  ~SoundFeeder();
  SoundFeeder(const SoundFeeder&) = delete;
  SoundFeeder& operator=(const SoundFeeder&) = delete;

  // The play's thread. The sound written from now on has `rate` frames a second; when
  // the sound before had another rate, it is played out first (false: cancelled) and
  // the device opened anew.
  bool Begin(int rate, const Cancelled& cancelled);
  // Queues interleaved stereo, waiting for room while not cancelled; false when cancelled
  // or silenced.
  bool Write(const std::int16_t* samples, std::size_t count, const Cancelled& cancelled);
  // What the ring holds plays although it is less than the start amount: no more comes
  // for a while (the stream ended or dropped).
  void Flush();
  // Waits until everything written has played (or cannot be: no device); false when
  // cancelled first.
  bool Drain(const Cancelled& cancelled);
  // Frames written since the feeder began.
  std::uint64_t WrittenFrames() const { return written_; }

  // Any thread.
  // Frames of the written sound that have left the device (or were lost with one).
  std::uint64_t PlayedFrames() const { return played_; }
  // Milliseconds of sound played since the feeder began.
  long long PositionMs() const { return positionMs_; }
  // Sound queued at the device now, and the least it held while sound was waiting in
  // the ring (-1: not yet measured).
  int QueuedMs() const { return queuedMs_; }
  int LowestQueuedMs() const { return lowestMs_; }
  // No device could be opened: the feeder tries again every few seconds.
  bool DeviceMissing() const { return missing_; }
  // 0..100; applied at the device at once.
  void SetVolume(int percent);
  // Thousandths of the volume (0..1000), applied at the device with it.
  void SetGain(int permille);
  // Stops the sound at once (Stop, another station); what is written after is dropped.
  void Silence();

  // Tests: the next sound handed to a device is refused, as by one that went away.
  static void RefuseNextBufferForTests();
 private:
  void Run();
  // One round: opens the device when due, follows what it played, tops its queue up.
  void Feed(unsigned long long now);
  // The device went away: its queued sound is lost, the default device is tried at once.
  void LoseDevice(unsigned long long now);
  void PublishPosition(std::uint64_t playedHere);

  SoundRing ring_;
  WaveOutput out_;  // the feeder thread's alone
  DeviceWatch watch_;
  HANDLE wake_ = nullptr;  // the thread: something changed
  HANDLE room_ = nullptr;  // the writer: the ring has room again

  // Set by the writer, read by the feeder thread.
  std::atomic<int> rate_{0};
  std::atomic<bool> reopen_{false};
  std::atomic<bool> flush_{false};
  std::atomic<std::uint64_t> written_{0};
  // Set by any thread.
  std::atomic<int> volume_{100};
  std::atomic<int> gain_{1000};
  std::atomic<bool> silenced_{false};
  std::atomic<bool> quit_{false};
  // Published by the feeder thread.
  std::atomic<std::uint64_t> played_{0};
  std::atomic<long long> positionMs_{0};
  std::atomic<int> queuedMs_{0};
  std::atomic<int> lowestMs_{-1};
  std::atomic<bool> missing_{false};

  // The feeder thread's own.
  int openRate_ = 0;
  int appliedLevel_ = -1;  // volume times gain, as the device has it
  bool primed_ = false;
  unsigned long long retryAt_ = 0;
  std::uint64_t playedBefore_ = 0;       // frames at openRate_ played by earlier devices
  std::uint64_t playedTotalBefore_ = 0;  // frames played at earlier rates
  long long baseMs_ = 0;            // the position when openRate_ began

  std::thread thread_;
};

}  // namespace playback
