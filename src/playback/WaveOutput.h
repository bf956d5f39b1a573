// The sound device: 16-bit stereo through waveOut, from a ring of buffers. Nothing here
// waits: the feeder claims a free buffer, fills it and commits it, and learns from the
// results whether the device is still there. Used by one thread only (the feeder's).
// (WASAPI in shared mode was measured beside it under Wine 8: its longest silences on a
// busy machine were ten times waveOut's, and a stream ended by the sound server went on
// counting as if it played. waveOut it is.)
#pragma once

#include <windows.h>
#include <mmsystem.h>

#include <cstdint>
#include <string>
#include <vector>

#include "playback/DeviceClockRules.h"

namespace playback {

class WaveOutput {
 public:
  static constexpr int kBuffers = 32;
  static constexpr int kBufferMs = 20;

  WaveOutput() = default;
  ~WaveOutput();
  WaveOutput(const WaveOutput&) = delete;
  WaveOutput& operator=(const WaveOutput&) = delete;

  // Opens the system's default device; false with a reason when it cannot be opened.
  bool Open(int sampleRate, std::string& error);
  bool IsOpen() const { return device_ != nullptr; }
  // Signalled whenever the device is done with a buffer.
  HANDLE DoneEvent() const { return done_; }
  // The next buffer to fill, room for `frames`, when the device is done with it;
  // nullptr while all are queued.
  std::int16_t* Claim(std::size_t& frames);
  // Plays `frames` of the buffer Claim gave; false with a reason when the device refuses
  // it (it has gone away).
  bool Commit(std::size_t frames, std::string& error);
  // Sample frames the device has played, and those handed to it, since it was opened
  // or reset.
  std::uint64_t PlayedFrames();
  std::uint64_t SubmittedFrames() const { return submitted_; }
  // The stream's own volume, 0..1; false when the device refuses it.
  bool SetVolume(double level);
  // Silences the device at once: everything queued is dropped, the counts start at 0.
  void Reset();
  void Close();

  // Tests: the device's counter reads `frames` ahead of what it played, so that its
  // 32-bit wrap comes within moments instead of after a day.
  static void OffsetCountForTests(std::uint32_t frames);

 private:
  HWAVEOUT device_ = nullptr;
  HANDLE done_ = nullptr;
  WAVEHDR headers_[kBuffers]{};
  std::vector<std::int16_t> data_[kBuffers];
  int next_ = 0;
  std::size_t bufferSamples_ = 0;
  std::uint64_t submitted_ = 0;
  WideCount count_;
  std::uint32_t offset_ = 0;  // what the counter read when it started
  std::uint64_t played_ = 0;
};

}  // namespace playback
