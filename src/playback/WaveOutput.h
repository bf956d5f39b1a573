// The sound device: 16-bit stereo samples played through waveOut, in a ring of buffers.
// Used by one thread only (the player's worker).
#pragma once

#include <windows.h>
#include <mmsystem.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace playback {

class WaveOutput {
 public:
  WaveOutput() = default;
  ~WaveOutput();
  WaveOutput(const WaveOutput&) = delete;
  WaveOutput& operator=(const WaveOutput&) = delete;

  // Opens the default device; false with a reason when it cannot be opened.
  bool Open(int sampleRate, std::string& error);
  bool IsOpen() const { return device_ != nullptr; }
  // Queues samples (interleaved stereo), waiting for a free buffer while cancelled()
  // stays false; returns false when cancelled.
  bool Write(const std::int16_t* samples, std::size_t count, const std::function<bool()>& cancelled);
  // Sends what is queued to the device although the buffer is not full.
  bool Flush(const std::function<bool()>& cancelled);
  // Waits until everything queued has been played.
  void Drain(const std::function<bool()>& cancelled);
  // Sample frames that have left the device since it was opened.
  long long PlayedFrames() const;
  void Close();

 private:
  bool Submit(const std::function<bool()>& cancelled);

  static constexpr int kBuffers = 8;
  static constexpr int kBufferMs = 50;
  HWAVEOUT device_ = nullptr;
  HANDLE done_ = nullptr;
  WAVEHDR headers_[kBuffers]{};
  std::vector<std::int16_t> data_[kBuffers];
  int next_ = 0;
  std::size_t fill_ = 0;  // samples in the buffer being filled
  std::size_t bufferSamples_ = 0;
  int rate_ = 0;
};

}  // namespace playback
