// The sound card's capture input as a source to record: the formats the default (or a
// given) capture device accepts and a looping one-second capture buffer. The stream
// notices when the looping buffer overwrote sound that was never read.
#pragma once

#include <windows.h>

#include <mmsystem.h>

#include <dsound.h>  // after mmsystem.h, whose wave format types it uses

#include <cstdint>

#include "base/Lock.h"
#include "recording/CaptureRules.h"
#include "recording/CaptureSource.h"

namespace recording {

inline constexpr const char* kCaptureStoppedMessage =
    "The sound card stopped delivering sound (was its input unplugged?).";

class TSoundCaptureStream : public CaptureSource {
 public:
  // Opens the device (nullptr: the system's default capture device) and probes the 56
  // formats.
  explicit TSoundCaptureStream(const GUID* device = nullptr);
  ~TSoundCaptureStream() override;

  std::uint32_t BufferSize() const { return bufferSize_; }
  // Bytes captured and not yet read; 0 when the position cannot be read. A capture that
  // has delivered nothing for kStartWaitMs since it started is made anew, twice at
  // most; then ESoundCaptureStreamError is raised as for a device that stopped.
  std::int64_t GetAvailable() override;
  static constexpr unsigned kStartWaitMs = 3000;

 protected:
  // Blocks until count bytes are read; starts capturing first if need be. Raises
  // ESoundCaptureStreamError when the device stops delivering sound (after at most a
  // second's wait).
  std::int64_t ReadData(void* buffer, std::int64_t count) override;
  void StartCapture(const CaptureFormat& format) override;
  void StopCapture() override;
  // Looks at the capture's position and counts what it wrote.
  void Look() override;

 private:
  void ReleaseBuffer();
  // Makes the capture buffer and starts it.
  void StartBuffer();

  IDirectSoundCapture* device_ = nullptr;
  IDirectSoundCaptureBuffer* buffer_ = nullptr;
  std::uint32_t readOffset_ = 0;
  std::uint32_t bufferSize_ = 0;
  base::Mutex lapsMutex_;
  CaptureLapCounter laps_;
  std::int64_t handedOut_ = 0;  // bytes read since Start
  std::int64_t consumed_ = 0;   // bytes read, or lost, since Start
  unsigned long long startedMs_ = 0;  // when the buffer last started (GetTickCount64)
  int restarts_ = 0;                  // buffers made anew since Start
};

// Probes the default capture device's formats now, on the calling thread, for the next
// TSoundCaptureStream of that device to take instead of probing again: a start loads
// DirectSound and the device on a thread of its own while its windows are made. Quiet
// when there is no DirectSound or no device (the stream then reports it as ever).
void PrefetchDefaultCaptureFormats();

}  // namespace recording
